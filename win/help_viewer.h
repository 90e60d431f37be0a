// Opening the launcher's help: WinHelp for the WinHelp files where that
// viewer still runs, else the HTML help file in the system's HTML help
// viewer, at the topic of a help context number.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace kb::win {

// One help request.  WinHelp: the file's full path, the command and, for
// HELP_CONTEXT, the topic; HELP_KEY carries no keyword.  HTML help: the
// help file's full path, HH_DISPLAY_TOPIC and the page inside it (`page`,
// never empty), with the context number it was asked for.
struct HelpRequest {
  std::string file;
  UINT command = 0;
  DWORD context = 0;
  std::string page;
  bool operator==(const HelpRequest&) const = default;
};

// Replaces the opening of the viewers (tests); the default opens them.
using HelpCall = std::function<void(HWND owner, const HelpRequest&)>;

// Where the help files are and whether WinHelp runs on this system.
class HelpFiles {
 public:
  HelpFiles(std::string exeDir, bool winHelpAvailable)
      : exeDir_(std::move(exeDir)), winHelpAvailable_(winHelpAvailable) {}

  // F1: `winHelpFile` ("Pelkan2.hlp") at HELP_CONTEXT `context` (HELP_CONTENTS
  // for 0), or the HTML help file at the page of the number (the contents
  // for a number without one).  nullopt when neither file can be shown.
  std::optional<HelpRequest> ForContext(const char* winHelpFile, DWORD context) const;
  // A help button: `winHelpFile` by HELP_KEY without a keyword, or the HTML
  // help file at the page of `context`.
  std::optional<HelpRequest> ForKeyword(const char* winHelpFile, DWORD context) const;

 private:
  std::optional<HelpRequest> Choose(const char* winHelpFile, UINT command, DWORD context) const;

  std::string exeDir_;
  bool winHelpAvailable_;
};

// Whether this system runs WinHelp files: Windows before Vista (later ones
// ship no viewer for them).
bool SystemHasWinHelp();

// The nearest help context number from `window` up its parents and owners;
// 0 when none carries one.
DWORD ContextOf(HWND window);

// Shows the request (or, where `call` is set, hands it there), or, when
// there is none, the message that the help file `missingName` is missing,
// owned by `owner`.
void ShowHelp(HWND owner, const std::optional<HelpRequest>& request, const std::string& missingName,
              const HelpCall& call = {});

// Opens the viewer for the request.  The HTML help viewer runs on a thread
// of its own, so it stays usable while a dialog of the launcher is modal.
void OpenHelpViewer(HWND owner, const HelpRequest& request);

// Closes the HTML help viewer's windows and ends its thread (the
// launcher's end); nothing when it was never opened.
void CloseHelpViewer();

// The text shown when a help file is not beside the launcher.
std::string MissingHelpText(const std::string& fileName);

}  // namespace kb::win
