// TSelectFolderDialog: the shell's folder browser.  The caller picks the top
// of the browsed tree and the item selected at opening among the shell's
// special folders, a title, a status line and the browser's flags, and can
// follow the selection while the browser is open.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>

namespace kb {

// Each value is the shell's CSIDL number of the same meaning.
enum class TSpecialFolder : int {
  sfDesktop = 0, sfPrograms = 2, sfControls = 3, sfPrinters = 4, sfPersonal = 5,
  sfFavorites = 6, sfStartup = 7, sfRecent = 8, sfSendTo = 9, sfBitnucket = 10,
  sfStartMenu = 11, sfDesktopDirectory = 16, sfDrives = 17, sfNetWork = 18, sfNetHood = 19,
  sfFonts = 20, sfTemplates = 21, sfCommon_StartMenu = 22, sfCommon_Programs = 23,
  sfCommon_Startup = 24, sfCommon_DesktopDirectory = 25, sfAppData = 26, sfPrintHood = 27,
};

// The browser's options; each value is the shell's BIF flag.  A set of them
// is their bitwise OR.
enum TSelectFolderOption : UINT {
  bifReturnOnlyFSDIRs = 0x0001,
  bifDontGoBelowDomain = 0x0002,
  bifStatusText = 0x0004,
  bifReturnFSAncestors = 0x0008,
  bifBrowseForComputer = 0x1000,
  bifBrowseForPrinter = 0x2000,
  bifBrowseIncludeFiles = 0x4000,
};
using TSelectFolderOptions = UINT;

class TSelectFolderDialog {
 public:
  using TNotifyEvent = std::function<void(TSelectFolderDialog& sender)>;
  // Path: the selected item's folder (Shift-JIS); empty for items that are
  // no file-system folder, or whose name Shift-JIS cannot hold.
  using TSelChangedEvent = std::function<void(TSelectFolderDialog& sender, const std::string& path)>;

  // `owner`: the window the browser is modal to (disabled while it runs).
  explicit TSelectFolderDialog(HWND owner);

  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }

  // Runs the browser; true when the user chose a folder, whose path is then
  // FolderName().  False when the user cancelled or chose an item that is no
  // file-system folder, and (with nothing shown) when the root folder has no
  // item list.  Throws win::UnrepresentableName when the chosen path has a
  // character Shift-JIS cannot hold.
  bool Execute();

  // The flags handed to the browser: the OR of Options' members.
  UINT BrowseFlags() const;

  const std::string& FolderName() const { return folderName_; }
  const std::string& DisplayName() const { return displayName_; }
  // The open browser's window while Execute runs; null otherwise.
  HWND BrowserWindow() const { return browser_; }

  const std::string& StatusText() const { return statusText_; }
  // Also changes the status line at once while the browser is open.
  void SetStatusText(const std::string& sjisText);

  TSpecialFolder RootFolder = TSpecialFolder::sfDesktop;
  TSpecialFolder InitialFolder = TSpecialFolder::sfDrives;
  std::string Title;
  TSelectFolderOptions Options = bifReturnOnlyFSDIRs;
  TNotifyEvent OnInitialized;
  TSelChangedEvent OnSelChanged;

 private:
  static int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data);
  void Initialized();
  void SelectionChanged(LPCITEMIDLIST item);

  HWND owner_;
  HWND browser_ = nullptr;
  std::string folderName_;
  std::string displayName_;
  std::string statusText_;
};

}  // namespace kb
