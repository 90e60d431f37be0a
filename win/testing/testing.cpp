#include "win/testing/testing.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>

#include "win/text.h"
#include "win/window.h"

namespace kb::win::testing {
namespace {

struct FindRequest {
  const wchar_t* className;  // nullptr: any
  std::wstring caption;      // empty: any
  bool titled = false;       // only windows with a title bar
  HWND found = nullptr;
};

std::wstring ClassOf(HWND hwnd) {
  wchar_t cls[64] = L"";
  GetClassNameW(hwnd, cls, 64);
  return cls;
}

// The watcher thread reads texts of the test thread's windows: a plain
// GetWindowText would send WM_GETTEXT and wait for ever if that thread is
// not pumping at that moment (e.g. waiting to join the watcher).
std::wstring TextWithTimeout(HWND hwnd) {
  wchar_t text[512] = L"";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &copied)) {
    return {};
  }
  return std::wstring(text, copied);
}

BOOL CALLBACK FindInProcess(HWND hwnd, LPARAM param) {
  return GuardCallback(FALSE, [&]() -> BOOL {
    auto* request = reinterpret_cast<FindRequest*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
    if (request->className && ClassOf(hwnd) != request->className) return TRUE;
    if (request->titled && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) {
      return TRUE;
    }
    if (!request->caption.empty() && request->caption != TextWithTimeout(hwnd)) return TRUE;
    request->found = hwnd;
    return FALSE;
  });
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  return GuardCallback(FALSE, [&] {
    auto* seen = reinterpret_cast<SeenDialog*>(param);
    const std::wstring cls = ClassOf(child);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
      if (!(GetWindowLongPtrW(child, GWL_STYLE) & SS_ICON)) {
        seen->texts.push_back(Narrow(TextWithTimeout(child)).value_or(""));
      }
    } else if (_wcsicmp(cls.c_str(), L"Button") == 0 || cls == L"TGlyphButton") {
      seen->buttons.emplace_back(GetDlgCtrlID(child), Narrow(TextWithTimeout(child)).value_or(""));
    }
    return TRUE;
  });
}

WPARAM KeysFor(Button button) {
  switch (button) {
    case Button::Left: return MK_LBUTTON;
    case Button::Right: return MK_RBUTTON;
    case Button::Middle: return MK_MBUTTON;
  }
  return 0;
}

}  // namespace

DialogWatch::DialogWatch(std::string sjisCaption, Action action, DWORD timeoutMs)
    : caption_(std::move(sjisCaption)), action_(std::move(action)) {
  thread_ = std::thread([this, timeoutMs] { GuardCallback([&] { Run(timeoutMs); }); });
}

DialogWatch::~DialogWatch() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void DialogWatch::Run(DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!stop_ && GetTickCount64() < deadline) {
    HWND dialog = FindOwnWindow(L"TMessageForm", caption_);
    if (!dialog) dialog = FindOwnWindow(L"#32770", caption_);
    // Any other class only with a title bar: the launcher's application
    // window and bar carry the caption "Kobarune" too, untitled.
    if (!dialog) {
      FindRequest request{nullptr, Widen(caption_), true};
      EnumWindows(&FindInProcess, reinterpret_cast<LPARAM>(&request));
      dialog = request.found;
    }
    if (dialog && IsWindowEnabled(dialog)) {
      SeenDialog seen;
      seen.caption = Narrow(TextWithTimeout(dialog)).value_or("");
      seen.className = Narrow(ClassOf(dialog)).value_or("");
      EnumChildWindows(dialog, &CollectChild, reinterpret_cast<LPARAM>(&seen));
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_ = std::move(seen);
      }
      action_(dialog);
      fired_ = true;
      return;
    }
    Sleep(20);
  }
}

SeenDialog DialogWatch::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

std::string DialogWatch::ShownText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string joined;
  for (size_t i = 0; i < seen_.texts.size(); ++i) {
    if (i) joined += '\r';
    joined += seen_.texts[i];
  }
  return joined;
}

std::string DialogWatch::ButtonCaption(int id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [buttonId, text] : seen_.buttons) {
    if (buttonId == id) return text;
  }
  return {};
}

std::unique_ptr<DialogWatch> AnswerDialogLater(const std::string& sjisCaption, int buttonId,
                                               DWORD timeoutMs) {
  return std::make_unique<DialogWatch>(
      sjisCaption,
      [buttonId](HWND dialog) {
        // Posted, so this thread never waits on the dialog's.
        if (HWND button = GetDlgItem(dialog, buttonId)) PostMessageW(button, BM_CLICK, 0, 0);
      },
      timeoutMs);
}

std::unique_ptr<DialogWatch> PressKeyInDialogLater(const std::string& sjisCaption, UINT virtualKey,
                                                   int focusId, DWORD timeoutMs) {
  return std::make_unique<DialogWatch>(
      sjisCaption,
      [virtualKey, focusId](HWND dialog) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        HWND target = nullptr;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus &&
            IsChild(dialog, info.hwndFocus)) {
          target = info.hwndFocus;
        }
        if (!target) target = GetDlgItem(dialog, focusId);
        if (!target) target = dialog;
        PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
        PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
      },
      timeoutMs);
}

void PumpMessagesFor(DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!predicate()) {
    if (GetTickCount64() >= deadline) return false;
    PumpMessagesFor(10);
  }
  return true;
}

HDROP MakeDropHandle(const std::vector<std::string>& sjisPaths, POINT point) {
  std::wstring list;
  for (const auto& path : sjisPaths) {
    list += Widen(path);
    list += L'\0';
  }
  list += L'\0';
  const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!memory) return nullptr;
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = point;
  drop->fNC = FALSE;
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

void PostDrop(HWND hwnd, const std::vector<std::string>& sjisPaths, POINT point) {
  HDROP drop = MakeDropHandle(sjisPaths, point);
  if (drop && !PostMessageW(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
    GlobalFree(drop);
  }
}

void PostClick(HWND hwnd, Button button, POINT down, POINT up, WPARAM extraKeys) {
  UINT downMsg = WM_LBUTTONDOWN, upMsg = WM_LBUTTONUP;
  if (button == Button::Right) downMsg = WM_RBUTTONDOWN, upMsg = WM_RBUTTONUP;
  if (button == Button::Middle) downMsg = WM_MBUTTONDOWN, upMsg = WM_MBUTTONUP;
  PostMessageW(hwnd, downMsg, KeysFor(button) | extraKeys, MAKELPARAM(down.x, down.y));
  PostMessageW(hwnd, upMsg, extraKeys, MAKELPARAM(up.x, up.y));
}

std::string ReadWindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return Narrow(text).value_or("");
}

HWND FindOwnWindow(const wchar_t* className, const std::string& sjisCaption) {
  FindRequest request{className, Widen(sjisCaption)};
  EnumWindows(&FindInProcess, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

}  // namespace kb::win::testing
