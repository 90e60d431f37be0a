#include "win/window.h"

#include <exception>
#include <set>

#include "win/text.h"

namespace kb::win {
namespace {

ErrorReporter& Reporter() {
  static ErrorReporter reporter;
  return reporter;
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
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
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
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
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
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
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

  LRESULT result = 0;
  try {
    result = self->HandleMessage(msg, wParam, lParam);
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("unknown error");
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->modalDone_ = true;
    self->OnNcDestroy();
  }
  return result;
}

}  // namespace kb::win
