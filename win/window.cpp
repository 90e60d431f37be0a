#include "win/window.h"

#include <algorithm>
#include <exception>
#include <set>

#include "win/hints.h"
#include "win/text.h"

namespace kb::win {
namespace {

ErrorReporter& Reporter() {
  static ErrorReporter reporter;
  return reporter;
}

// Set while Windows asks whether the session may end (see SessionEnding).
bool& SessionEndingFlag() {
  static bool ending = false;
  return ending;
}

// Whether `window` is `modal` or owned by it, directly or further up.
bool BelongsTo(HWND window, HWND modal) {
  for (HWND w = window; w; w = GetWindow(w, GW_OWNER)) {
    if (w == modal) return true;
  }
  return false;
}

struct WindowSearch {
  HWND modal;
  std::vector<HWND>* found;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM param) {
  return GuardCallback(FALSE, [&] {
    const auto* search = reinterpret_cast<const WindowSearch*>(param);
    if (IsWindowVisible(window) && IsWindowEnabled(window) &&
        !(search->modal && BelongsTo(window, search->modal))) {
      search->found->push_back(window);
    }
    return TRUE;
  });
}

}  // namespace

void SetErrorReporter(ErrorReporter reporter) { Reporter() = std::move(reporter); }

void ReportError(const std::string& sjisText) {
  if (Reporter()) {
    Reporter()(sjisText);
    return;
  }
  MessageBoxW(nullptr, Widen(sjisText).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

void ReportCaughtException() noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      ReportError(e.what());
    } catch (...) {
      ReportError("unknown error");
    }
  } catch (...) {
    // The report itself failed (no memory): nothing more can be done here.
  }
}

bool SessionEnding() { return SessionEndingFlag(); }

OtherWindowsDisabled::OtherWindowsDisabled(HWND modal, HWND owner) : modal_(modal) {
  // Hidden windows are left alone: among them are the system's own windows
  // of the thread (the input method's), which must keep working for the
  // dialog's fields.
  WindowSearch search{modal, &disabled_};
  EnumThreadWindows(GetCurrentThreadId(), &CollectEnabledWindow, reinterpret_cast<LPARAM>(&search));
  if (owner && owner != modal && IsWindowEnabled(owner) &&
      std::find(disabled_.begin(), disabled_.end(), owner) == disabled_.end()) {
    disabled_.push_back(owner);
  }
  for (HWND window : disabled_) EnableWindow(window, FALSE);
}

OtherWindowsDisabled::~OtherWindowsDisabled() { Restore(); }

void OtherWindowsDisabled::Restore() {
  for (HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  disabled_.clear();
}

Window::~Window() { Destroy(); }

bool Window::Create(const wchar_t* className, DWORD exStyle, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, UINT classStyle, HCURSOR cursor) {
  static std::set<std::wstring> registered;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registered.count(className)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    // Only top-level windows show an icon; a child's class needs none, nor
    // does a tool window's (no taskbar button, no caption icon).  The small
    // icon is the file's own 16 × 16 image: without it the system makes one
    // by scaling the large one, which under Wine costs more than the whole
    // rest of a class's registration.
    if (!(style & WS_CHILD) && !(exStyle & WS_EX_TOOLWINDOW)) {
      wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
      wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    registered.insert(className);
  }
  return CreateWindowExW(exStyle, className, L"", style, x, y, width, height, parent, menuOrId,
                         instance, this) != nullptr;
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

int Window::ShowModal() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  OtherWindowsDisabled others(hwnd_, owner);
  inModal_ = true;
  modalDone_ = false;
  modalResult_ = mrNone;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  MSG msg;
  while (!modalDone_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: hand it back to the outer loop
      PostQuitMessage(static_cast<int>(msg.wParam));
      modalResult_ = mrCancel;
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  inModal_ = false;
  // Enabled before the window hides, so the activation goes back to the
  // launcher and not to some other program's window.
  others.Restore();
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  if (owner) SetForegroundWindow(owner);
  return modalResult_;
}

void Window::EndModal(int result) {
  modalResult_ = result;
  modalDone_ = true;
  PostMessageW(hwnd_, WM_NULL, 0, 0);  // wake the loop
}

RECT Window::Bounds() const {
  RECT r{};
  if (!hwnd_) return r;
  GetWindowRect(hwnd_, &r);
  if (HWND parent = GetParent(hwnd_); parent && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

void Window::SetBounds(int x, int y, int width, int height) {
  SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefaultHandling(msg, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);

  if (msg == WM_QUERYENDSESSION) SessionEndingFlag() = true;
  if (msg == WM_ENDSESSION && !wParam) SessionEndingFlag() = false;
  const LRESULT result =
      GuardCallback(LRESULT{0}, [&] { return self->HandleMessage(msg, wParam, lParam); });
  if (msg == WM_NCDESTROY) {
    ForgetHintWindow(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->modalDone_ = true;
    GuardCallback([&] { self->OnNcDestroy(); });
  }
  return result;
}

bool IsOwnProcessWindow(HWND window) {
  DWORD process = 0;
  return window && GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId();
}

}  // namespace kb::win
