#include "win/help_viewer.h"

#include <htmlhelp.h>
#include <ole2.h>

#include <memory>
#include <thread>

#include "common/file_io.h"
#include "common/help_topics.h"
#include "win/message_dlg.h"
#include "win/text.h"
#include "win/window.h"

namespace kb::win {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// The HTML help viewer's thread.  hhctrl.ocx is loaded there at the first
// request (LoadLibrary, so the launcher imports nothing of it and starts
// without it); its windows belong to that thread, so a modal dialog of the
// launcher, which disables the windows of its own thread, leaves them
// usable.  One per process, as the viewer itself is.
class ViewerThread {
 public:
  static ViewerThread& Instance() {
    static ViewerThread viewer;
    return viewer;
  }

  void Show(std::wstring url) {
    if (!thread_.joinable()) Start();
    auto* text = new std::wstring(std::move(url));
    if (!PostThreadMessageW(threadId_, kShowMessage, 0, reinterpret_cast<LPARAM>(text))) delete text;
  }

  void Stop() {
    if (!thread_.joinable()) return;
    PostThreadMessageW(threadId_, kStopMessage, 0, 0);
    thread_.join();
  }

 private:
  static constexpr UINT kShowMessage = WM_APP + 1, kStopMessage = WM_APP + 2;

  ~ViewerThread() {
    // A thread left running at the process's end is ended with it.
    if (thread_.joinable()) thread_.detach();
  }

  void Start() {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] { GuardCallback([&] { Run(ready); }); });
    // The thread's queue exists once it has signalled: posts before are lost.
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
  }

  void Run(HANDLE ready) {
    threadId_ = GetCurrentThreadId();
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
    // The viewer's page is an OLE control: the thread is a single-threaded
    // apartment of its own.
    const HRESULT ole = OleInitialize(nullptr);
    SetEvent(ready);
    HtmlHelpFunction htmlHelp = nullptr;
    if (HMODULE library = LoadLibraryW(L"hhctrl.ocx")) {
      htmlHelp = reinterpret_cast<HtmlHelpFunction>(
          reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
    }
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.hwnd == nullptr && msg.message == kShowMessage) {
        std::unique_ptr<std::wstring> url(reinterpret_cast<std::wstring*>(msg.lParam));
        if (htmlHelp) {
          if (HWND viewer = htmlHelp(nullptr, url->c_str(), HH_DISPLAY_TOPIC, 0)) {
            SetForegroundWindow(viewer);
          }
        }
        continue;
      }
      if (msg.hwnd == nullptr && msg.message == kStopMessage) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (htmlHelp) htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    if (SUCCEEDED(ole)) OleUninitialize();
  }

  std::thread thread_;
  DWORD threadId_ = 0;
};

}  // namespace

std::optional<HelpRequest> HelpFiles::Choose(const char* winHelpFile, UINT command,
                                             DWORD context) const {
  const std::string winHelpPath = exeDir_ + winHelpFile;
  const std::string htmlPath = exeDir_ + help::kHtmlHelpFileName;
  switch (help::ChooseViewer(FileExists(winHelpPath), winHelpAvailable_, FileExists(htmlPath))) {
    case help::Viewer::WinHelp:
      return HelpRequest{winHelpPath, command, command == HELP_CONTEXT ? context : 0, {}};
    case help::Viewer::HtmlHelp: {
      const char* page = help::PageOf(context);
      return HelpRequest{htmlPath, HH_DISPLAY_TOPIC, context, page ? page : help::kContentsPage};
    }
    case help::Viewer::None: break;
  }
  return std::nullopt;
}

std::optional<HelpRequest> HelpFiles::ForContext(const char* winHelpFile, DWORD context) const {
  return Choose(winHelpFile, context ? HELP_CONTEXT : HELP_CONTENTS, context);
}

std::optional<HelpRequest> HelpFiles::ForKeyword(const char* winHelpFile, DWORD context) const {
  return Choose(winHelpFile, HELP_KEY, context);
}

bool SystemHasWinHelp() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  // Deprecated but present on every system; a program without a manifest
  // naming newer systems is told 6.2 on them, still "Vista or later".
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const bool known = GetVersionExW(&version) != FALSE;
#pragma GCC diagnostic pop
  return known && version.dwMajorVersion < 6;
}

DWORD ContextOf(HWND window) {
  // GetParent gives a child's parent and a top-level window's owner, the
  // way F1's WM_HELP travels.
  for (HWND w = window; w; w = GetParent(w)) {
    if (const DWORD context = GetWindowContextHelpId(w)) return context;
  }
  return 0;
}

void ShowHelp(HWND owner, const std::optional<HelpRequest>& request, const std::string& missingName,
              const HelpCall& call) {
  // WinHelp shows its own error for a missing file, or nothing at all where
  // there is no help viewer: the launcher says what is missing.
  if (!request) {
    MessageDlg(owner, MissingHelpText(missingName), MsgKind::Information, MsgButtons::Ok);
    return;
  }
  if (call) {
    call(owner, *request);
  } else {
    OpenHelpViewer(owner, *request);
  }
}

void OpenHelpViewer(HWND owner, const HelpRequest& request) {
  const std::wstring file = Widen(request.file);
  if (!request.page.empty()) {
    ViewerThread::Instance().Show(file + L"::/" + Widen(request.page));
    return;
  }
  // HELP_KEY without a keyword: an empty one opens the viewer's index.
  static const wchar_t kNoKeyword[] = L"";
  const ULONG_PTR data = request.command == HELP_KEY ? reinterpret_cast<ULONG_PTR>(kNoKeyword)
                                                     : request.context;
  WinHelpW(owner, file.c_str(), request.command, data);
}

void CloseHelpViewer() { ViewerThread::Instance().Stop(); }

std::string MissingHelpText(const std::string& fileName) {
  return "ﾍﾙﾌﾟﾌｧｲﾙ\"" + fileName + "\"が見つかりません。\rﾍﾙﾌﾟを表示できません。";
}

}  // namespace kb::win
