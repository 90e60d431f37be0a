// The launcher program and its composition root: the one owner of every
// program-wide value (ProgramState: the settings, the launcher's folder, the
// group and slot being addressed, the copy state), of the icon store and of
// the long-lived windows, and the one place that connects their events.
//
// A test constructs an App in-process with an exe folder of its choosing (the
// data folder is that folder + "data\") and, when it checks geometry, a
// screen size of its choosing.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "model/program_state.h"
#include "win/com_apartment.h"
#include "win/help_viewer.h"
#include "win/icon_store.h"

namespace kb {

class TMainForm;
class TEditWindow;
class TSubForm;
class ApplicationWindow;
class GroupButtonActions;
class GroupWindowOfApp;
class TIconTray;
class BarShell;
class SettingsWiring;
class ProfileReader;
class BackupWiring;
class BackupClock;
class LhaLibrary;
class TStartNote;
namespace win {
class ShellAccess;
}

// The id of the launcher's hot key on its application window (WM_HOTKEY).
inline constexpr int kLauncherHotKeyId = 1;

struct AppOptions {
  // The launcher's folder with a trailing backslash (Shift-JIS).
  std::string exeDir;
  // The screen's size in pixels; 0 means the monitors the system lists.
  // A size given is one monitor of that size at (0, 0).
  int screenWidth = 0;
  int screenHeight = 0;
  // The bar's calls to the shell for its edge and the screen-saver hold
  // (not owned; nullptr: the real ones).  Tests watch or answer them.
  BarShell* barShell = nullptr;
  // The clocks the backup workers read; nullptr means the system's.
  std::shared_ptr<BackupClock> backupClock = nullptr;
  // Whether a start without a settings file shows the first start's note
  // (the launcher's own start; in-process tests ask for it).
  bool firstStartNote = false;
  // The DPI the launcher is laid out at; 0: the bar's monitor's.
  int dpi = 0;
  // Lists the monitors instead of the system (tests that change what the
  // launcher finds on a display change); set, it comes before a size.
  std::function<std::vector<MonitorDesc>()> readMonitors = nullptr;
  // Whether the key that calls the launcher from any program is registered
  // (the launcher's own start; in-process tests that check it): the key is
  // one for the whole desktop, and test programs make many launchers.
  bool hotKey = false;
};

class App : public ProgramState {
 public:
  explicit App(AppOptions options);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Creates the application window and then the long-lived windows in their
  // fixed order; the main bar loads the settings and the icon store while it
  // is created.  Throws std::runtime_error when a window cannot be made.
  void CreateForms();

  // The two halves of CreateForms, for the launcher's own start-up, which
  // shows the bar as soon as it is complete and makes the hidden windows
  // behind it before the message loop starts:
  //   CreateBar(); ShowBar(); CreateHiddenForms(); Run();
  void CreateBar();
  void CreateHiddenForms();

  // Shows the bar, registers it at its edge, and shows the application
  // window's taskbar button unless OnTray hides it.
  void ShowBar();

  // Shows the bar unless ShowBar already did, and runs the message loop
  // until the bar has closed.
  int Run();

  // Asks the bar to close, as every way out of the launcher does.
  void Close();
  // The Windows session ends (WM_ENDSESSION): the backups not made yet stay
  // due for the next launch.
  void SessionEnds();

  // The error box for errors that reach the message loop and for a refused
  // save: captioned "Kobarune", the text followed by ".".
  void ShowError(const std::string& sjisText);

  // Errors reported while a message is handled (win::ReportError, from any
  // thread) wait here: a box opened inside a handler would run a modal loop
  // in the middle of it, or hold up the end of the Windows session.  The
  // main loop shows them one after the other between two messages; while
  // the session is ending they wait for it to go on after all.
  void ShowPendingErrors();
  size_t PendingErrorCount() const;

  int ScreenWidth() const { return screenWidth; }
  int ScreenHeight() const { return screenHeight; }

  // The shell the bar's and the group window's buttons and the companion
  // programs' starts go through (a test replaces it); nullptr restores the
  // real one.  Call after CreateForms.
  void SetShellAccess(win::ShellAccess* shell);
  win::ShellAccess& CompanionShell() { return *companionShell_; }

  // The settings dialog, modal, owned by the bar (its settings button).
  // A second request while it is open is ignored.
  void ShowSettingsDialog();
  bool SettingsDialogOpen() const { return settingsOpen_; }

  // The hidden application window (class "TApplication", title "Kobarune")
  // that owns the bar and carries the taskbar button.
  HWND ApplicationHandle() const;
  TMainForm& MainForm() { return *mainForm_; }
  bool HasMainForm() const { return mainForm_ != nullptr; }
  // The registration dialog (created second).
  TEditWindow& EditWindow() { return *editWindow_; }
  // The group window (created third).
  TSubForm& SubForm() { return *subForm_; }
  bool HasSubForm() const { return subForm_ != nullptr; }
  // The tray icon (made after the bar, with the hidden windows; freed by the
  // bar's close); nullptr before and once freed.  The settings dialog writes the Run-key value through it.
  TIconTray* IconTray1() { return iconTray_.get(); }
  // The backup target dialog (created fourth) with the backup schedule,
  // its workers and the archiver library.
  BackupWiring& Backup() { return *backup_; }
  const std::shared_ptr<LhaLibrary>& ArchiverLibrary() const { return lha_; }

  // The save session of the close sequence: one settings-file writer for the
  // bar's part and the group window's part, committed once.  Throws
  // kb::WriteError when the system refuses.
  void SaveSettings();

  // --- Help (app_help.cpp) ---------------------------------------------------
  // F1 in the bar, the group window, the registration dialog and the backup
  // target dialog (their WM_HELP ends at the application window): the help
  // at the topic of the nearest context number up from `control`.
  void ShowContextHelp(HWND control);
  // The bar's help button: the help's contents page.
  void ShowHelpContents();
  // Replaces the help viewers (tests); nullptr restores them.
  void SetHelpCall(win::HelpCall call) { helpCall_ = std::move(call); }

  // --- The key that calls the launcher (app_keys.cpp) ---------------------
  // Registers the key HotKey names (again), when the options ask for it; a
  // key another program holds is told the user in an error box, and the
  // setting stays as it is.  True when the key is registered now.
  bool ApplyHotKey();
  bool HotKeyRegistered() const { return hotKeyRegistered_; }
  // The key was pressed: the bar expands, the group window opens with the
  // group shown last (the first group at the first use) and takes the
  // keyboard, the focus on its first program button.  With a dialog of the
  // launcher open, that dialog comes to the front instead.
  void HotKeyPressed();
  // The window that had the keyboard before the key was pressed (another
  // program's), for the group window to give it back; nullptr when none.
  HWND HotKeyReturnWindow() const { return hotKeyReturn_; }

  // The first start's note (no settings file at start-up), or nullptr when
  // none is shown.  It closes when a group window opens or the settings
  // dialog does.
  TStartNote* StartNote();
  void CloseStartNote();

  IconStore Icons;  // the icon store (column 0 groups, s program slots)

 private:
  int ScreenDpi(const ScreenArea& area) const;
  // After the bar took another scale: the group window and the dialogs.
  void ApplyScale(int newDpi);
  void QueueError(const std::string& sjisText);
  void WakeForErrors();
  void CreateTrayIcon();
  void ShowStartNote();
  std::vector<MonitorDesc> ReadMonitors() const;
  void ScreenChanged();

  // COM for the shell's objects (shortcuts), started once for this thread by
  // CreateHiddenForms: nothing the bar does before it shows needs it, and
  // ole32 is loaded at its first call.  Declared before the windows: it
  // outlives every window and shell object.
  std::optional<win::ComApartment> com_;
  AppOptions options_;
  bool running_ = false;  // inside Run(): the bar's end ends the loop
  bool barShown_ = false;
  std::unique_ptr<ApplicationWindow> appWindow_;
  std::unique_ptr<TMainForm> mainForm_;
  std::unique_ptr<TEditWindow> editWindow_;
  std::unique_ptr<TSubForm> subForm_;
  std::unique_ptr<GroupButtonActions> groupActions_;
  std::unique_ptr<GroupWindowOfApp> groupWindowLink_;
  std::unique_ptr<TIconTray> iconTray_;

  std::unique_ptr<SettingsWiring> settingsActions_;
  std::unique_ptr<win::ShellAccess> defaultShell_;
  win::ShellAccess* companionShell_ = nullptr;
  bool settingsOpen_ = false;
  // The settings file as read once at start-up, for the bar and then the
  // group window (nothing writes the file in between); dropped after.
  std::unique_ptr<ProfileReader> startupFile_;
  mutable std::mutex errorsMutex_;
  std::deque<std::string> pendingErrors_;
  bool showingErrors_ = false;
  std::atomic<HWND> errorWindow_{nullptr};  // where QueueError wakes the loop
  std::shared_ptr<LhaLibrary> lha_;
  std::unique_ptr<BackupWiring> backup_;
  win::HelpCall helpCall_;
  bool firstStart_ = false;  // no settings file when the bar was made
  bool hotKeyRegistered_ = false;
  HWND hotKeyReturn_ = nullptr;
  std::unique_ptr<TStartNote> startNote_;
};

}  // namespace kb
