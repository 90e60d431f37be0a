#include "app/app.h"

#include "win/dpi.h"

#include <stdexcept>
#include <utility>

#include "app/backup_wiring.h"
#include "app/group_actions.h"
#include "app/registration_wiring.h"
#include "app/settings_wiring.h"
#include "common/file_io.h"
#include "backup/backup_worker.h"
#include "backup/lha_library.h"
#include "common/identity.h"
#include "common/path.h"
#include "common/profile.h"
#include "components/icon_tray.h"
#include "model/backup_settings.h"
#include "model/stored_layout.h"
#include "groups/edit_window.h"
#include "win/dpi.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "launcher/start_note.h"
#include "settings/pages_dlg.h"
#include "win/message_dlg.h"
#include "win/monitors.h"
#include "win/shell.h"
#include "win/text.h"
#include "win/window.h"

namespace kb {
namespace {

// Posted to the application window when an error waits to be shown; the main
// loop takes it (see App::ShowPendingErrors).
constexpr UINT kShowErrorsMessage = WM_APP + 1;

// A save killed midway leaves its temporary file beside the data file; the
// next successful save would replace it, but until then it lies around.  An
// archive backup stopped by the end of the process leaves its staging
// folder in the backup folder.
void RemoveSaveLeftovers(const std::string& exeDir) {
  for (const std::string& path :
       {SettingsPathFor(exeDir), IconStorePathFor(exeDir), BackupSettingsPath(exeDir)}) {
    RemoveSaveLeftover(path);
  }
  RemoveArchiveLeftoversLater(BackupSettingsPath(exeDir));
}

}  // namespace

// The hidden top-level window the companion tools look for (class
// "TApplication", title "Kobarune").  It owns the bar and carries the
// launcher's taskbar button; closing it closes the launcher the ordinary way.
class ApplicationWindow : public win::Window {
 public:
  explicit ApplicationWindow(App& app) : app_(app) {}
  ~ApplicationWindow() override { Destroy(); }

  void Create() {
    // A zero-sized popup: shown, it gives a taskbar button and nothing else.
    if (!Window::Create(win::Widen(kAppClassName).c_str(), 0, WS_POPUP, 0, 0, 0, 0, nullptr)) {
      throw std::runtime_error("アプリケーションウィンドウを作成できません");
    }
    SetWindowTextW(hwnd(), win::Widen(kAppTitle).c_str());
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_CLOSE:
        app_.Close();
        return 0;
      case kShowErrorsMessage:
        // Dispatched by some modal loop: the main loop shows the errors once
        // that loop has ended.
        return 0;
      case WM_HOTKEY:
        if (wParam == kLauncherHotKeyId) app_.HotKeyPressed();
        return 0;
      case WM_HELP:
        // F1's WM_HELP travels from the focused control up its parents and
        // owners: the windows that do not answer it themselves end here.
        if (const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
            info->iContextType == HELPINFO_WINDOW) {
          app_.ShowContextHelp(static_cast<HWND>(info->hItemHandle));
        } else {
          app_.ShowHelpContents();  // F1 in the tray menu
        }
        return TRUE;
      case WM_ENDSESSION:
        // The session goes on after all: what waited can be shown now.
        if (!wParam) PostMessageW(hwnd(), kShowErrorsMessage, 0, 0);
        // It ends: the process goes without a close, and a backup still
        // waiting or running with it.
        if (wParam) app_.SessionEnds();
        return 0;
      default:
        return Window::HandleMessage(msg, wParam, lParam);
    }
  }

 private:
  App& app_;
};

// The group window as the bar's timer sees it.
class GroupWindowOfApp final : public GroupWindowLink {
 public:
  explicit GroupWindowOfApp(App& app) : app_(app) {}
  HWND GroupWindowHandle() const override {
    return app_.HasSubForm() ? app_.SubForm().hwnd() : nullptr;
  }
  void HideGroupWindow() override {
    if (!app_.HasSubForm()) return;
    app_.SubForm().HideWindow();
    app_.OpenGroup = 0;
  }
  int ShownGroup() const override { return app_.HasSubForm() ? app_.SubForm().ShownGroup() : 0; }

 private:
  App& app_;
};

App::App(AppOptions options)
    : options_(std::move(options)),
      settingsActions_(std::make_unique<SettingsWiring>(*this)),
      defaultShell_(std::make_unique<win::ShellAccess>()),
      companionShell_(defaultShell_.get()) {
  ExeDir = options_.exeDir;
  if (!ExeDir.empty() && !EndsWithBackslash(ExeDir)) ExeDir += '\\';
  screenWidth = options_.screenWidth > 0 ? options_.screenWidth : GetSystemMetrics(SM_CXSCREEN);
  screenHeight = options_.screenHeight > 0 ? options_.screenHeight : GetSystemMetrics(SM_CYSCREEN);
  WinHelpAvailable = win::SystemHasWinHelp();
  dpi = ScreenDpi(Screen());
  win::SetErrorReporter([this](const std::string& text) { QueueError(text); });
}

// The bar's monitor decides the launcher's scale (a forced one aside).
int App::ScreenDpi(const ScreenArea& area) const {
  if (options_.dpi > 0) return options_.dpi;
  return win::DpiForRect(RECT{area.left, area.top, area.left + area.width, area.top + area.height});
}

// The group window has followed the bar already (ScreenChanged).
void App::ApplyScale(int newDpi) {
  if (editWindow_) editWindow_->ApplyScale(newDpi);
  if (backup_) backup_->ApplyScale(newDpi);
}

App::~App() {
  running_ = false;
  if (hotKeyRegistered_ && appWindow_) UnregisterHotKey(appWindow_->hwnd(), kLauncherHotKeyId);
  win::CloseHelpViewer();
  startNote_.reset();
  iconTray_.reset();
  errorWindow_ = nullptr;
  subForm_.reset();
  mainForm_.reset();
  groupActions_.reset();
  // The backup workers end here, after every window but the application's
  // has gone (see BackupWiring).
  backup_.reset();
  appWindow_.reset();
  win::SetErrorReporter(nullptr);
}

void App::CreateForms() {
  CreateBar();
  CreateHiddenForms();
}

void App::CreateBar() {
  RemoveSaveLeftovers(ExeDir);

  appWindow_ = std::make_unique<ApplicationWindow>(*this);
  appWindow_->Create();
  errorWindow_ = appWindow_->hwnd();

  // 1. The main bar.  It loads the settings, its group buttons and the icon
  //    store while it is created, and touches none of the windows below.
  mainForm_ = std::make_unique<TMainForm>(*this, Icons, [this] { SaveSettings(); });
  mainForm_->OnDestroyed = [this] {
    if (running_) PostQuitMessage(0);
  };
  groupWindowLink_ = std::make_unique<GroupWindowOfApp>(*this);
  mainForm_->SetGroupWindow(groupWindowLink_.get());
  mainForm_->SetBarShell(options_.barShell);
  mainForm_->FreeTrayIcon = [this] { iconTray_.reset(); };
  firstStart_ = !FileExists(SettingsPathFor(ExeDir));
  mainForm_->OnScaleChanged = [this](int newDpi) { ApplyScale(newDpi); };
  mainForm_->ReadMonitors = [this] { return ReadMonitors(); };
  mainForm_->OnScreenChanged = [this] { ScreenChanged(); };
  mainForm_->ScreenDpi = [this](const ScreenArea& area) { return ScreenDpi(area); };
  startupFile_ = std::make_unique<ProfileReader>(SettingsPathFor(ExeDir));
  mainForm_->Create(appWindow_->hwnd(), *startupFile_);
  // The dialogs it owns open on the bar's monitor.
  SetWindowPos(appWindow_->hwnd(), nullptr, screenLeft, screenTop, 0, 0,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

std::vector<MonitorDesc> App::ReadMonitors() const {
  if (options_.readMonitors) return options_.readMonitors();
  if (options_.screenWidth > 0 && options_.screenHeight > 0) {
    MonitorDesc only;
    only.area = {0, 0, options_.screenWidth, options_.screenHeight};
    only.work = only.area;
    only.primary = true;
    return {only};
  }
  return win::EnumerateMonitors();
}

// The bar has been laid out for another monitor (or another size of its
// own): the group window follows it, closed, and so do the dialogs.
void App::ScreenChanged() {
  if (subForm_) subForm_->ScreenChanged();
  OpenGroup = 0;
  if (appWindow_) {
    SetWindowPos(appWindow_->hwnd(), nullptr, screenLeft, screenTop, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  }
}

// The tray icon with the launcher's icon, its hint and the bar's tray menu
// for both buttons.
void App::CreateTrayIcon() {
  iconTray_ = std::make_unique<TIconTray>(mainForm_->hwnd());
  iconTray_->SetHint("ｸﾘｯｸでﾒﾆｭｰ表示");
  iconTray_->SetLBtnPopupMenu(&mainForm_->PopupMenu1);
  iconTray_->SetRBtnPopupMenu(&mainForm_->PopupMenu1);
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
  try {
    iconTray_->SetIcon(icon);
  } catch (const EIconTrayError&) {
    // No notification area yet (a launcher started with Windows before the
    // shell): the bar works without, and the icon comes when the shell
    // announces itself.
  }
}

void App::CreateHiddenForms() {
  if (!mainForm_) throw std::logic_error("the bar comes first");
  if (!com_) com_.emplace();
  // The program icons behind the bar's group icons, read now that the bar
  // is on the screen (before any input, and before the first group opens).
  Icons.Settle();
  // The archiver library is bound once the bar is on the screen; a missing
  // one is silent until an archive backup needs it.
  if (!lha_) lha_ = LoadLhaLibrary(win::Widen(ExeDir));

  // 2. The registration dialog (TEditWindow), hidden until a right click.
  editWindow_ = std::make_unique<TEditWindow>(appWindow_->hwnd());
  editWindow_->ApplyScale(dpi);

  // 3. The group window (TSubForm); it sizes itself from the settings the
  //    bar has loaded.
  subForm_ = std::make_unique<TSubForm>(*this, Icons);
  if (startupFile_) {
    subForm_->FormCreate(appWindow_->hwnd(), *startupFile_);
  } else {
    subForm_->FormCreate(appWindow_->hwnd());
  }
  startupFile_.reset();

  // The group buttons' clicks and drops act on the group window; right
  // clicks on program buttons and group buttons open the dialog.
  groupActions_ = std::make_unique<GroupButtonActions>(*this);
  mainForm_->SetGroupButtonEvents(groupActions_.get());
  // The arrows across the group window and PageUp / PageDown.
  subForm_->OnStepGroup = [this](int delta) { StepGroupByKeyboard(*this, delta); };
  ConnectRegistration(*editWindow_, *this, *subForm_);

  // 4. The backup target dialog (TBKUPDlg), hidden until the registration
  //    dialog's backup button; the program buttons call its schedule.
  backup_ = std::make_unique<BackupWiring>(
      *this, appWindow_->hwnd(), lha_,
      options_.backupClock ? options_.backupClock : std::make_shared<BackupClock>());
  backup_->Connect(*editWindow_, *subForm_);
  backup_->ApplyScale(dpi);

  // The bar's tray icon, once the bar is complete (and, at the launcher's
  // own start, on the screen: the shell's round trip does not delay it).
  CreateTrayIcon();
  // The settings button and the tray menu's "設定ｳｲﾝﾄﾞｳを開く..." (the bar
  // stops its timer meanwhile).
  mainForm_->OnSettingsClick = [this] { ShowSettingsDialog(); };
  mainForm_->OnHelpClick = [this] { ShowHelpContents(); };
  ApplyHotKey();
  if (barShown_) ShowStartNote();
}

void App::ShowSettingsDialog() {
  if (settingsOpen_ || !mainForm_ || !subForm_) return;
  struct OpenFlag {
    bool& open;
    explicit OpenFlag(bool& flag) : open(flag) { open = true; }
    ~OpenFlag() { open = false; }
  } flag(settingsOpen_);
  CloseStartNote();
  // Made for this opening and freed after it.
  TPagesDlg dialog(mainForm_->hwnd(), *this, *settingsActions_);
  dialog.Execute();
}

void App::SetShellAccess(win::ShellAccess* shell) {
  if (mainForm_) mainForm_->SetShellAccess(shell);
  if (subForm_) subForm_->SetShellAccess(shell);
  companionShell_ = shell ? shell : defaultShell_.get();
}

int App::Run() {
  if (!mainForm_ || !mainForm_->hwnd()) return 0;
  running_ = true;
  if (!barShown_) ShowBar();
  ShowPendingErrors();  // reported while the launcher was made
  MSG msg{};
  int exitCode = 0;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got < 0) break;
    if (msg.message == kShowErrorsMessage && msg.hwnd == ApplicationHandle()) {
      ShowPendingErrors();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    // An error reported inside a modal loop: its wake-up went to that loop.
    if (PendingErrorCount() > 0) ShowPendingErrors();
  }
  running_ = false;
  return exitCode;
}

void App::ShowBar() {
  if (!mainForm_ || !mainForm_->hwnd()) return;
  barShown_ = true;
  mainForm_->Show();  // FormShow shows or hides the taskbar button
  if (subForm_) ShowStartNote();
}

void App::SessionEnds() {
  if (backup_) backup_->SessionEnds();
}

void App::Close() {
  if (mainForm_ && mainForm_->hwnd()) SendMessageW(mainForm_->hwnd(), WM_CLOSE, 0, 0);
}

void App::ShowError(const std::string& sjisText) {
  std::string text = sjisText;
  if (text.empty() || text.back() != '.') text += '.';
  // Owned by the bar while it is on screen, else by the application window:
  // under Wine a box owned by a hidden bar below a shown application window
  // never gets its button clicks.
  HWND owner = mainForm_ && mainForm_->Visible() ? mainForm_->hwnd()
               : appWindow_                      ? appWindow_->hwnd()
                                                 : nullptr;
  win::ErrorBox(owner, kAppTitle, text);
}

void App::QueueError(const std::string& sjisText) {
  {
    std::lock_guard<std::mutex> lock(errorsMutex_);
    // An error that repeats (a timer's) waits once, not once per tick.
    if (!pendingErrors_.empty() && pendingErrors_.back() == sjisText) return;
    pendingErrors_.push_back(sjisText);
  }
  WakeForErrors();
}

void App::WakeForErrors() {
  if (HWND window = errorWindow_) PostMessageW(window, kShowErrorsMessage, 0, 0);
}

size_t App::PendingErrorCount() const {
  std::lock_guard<std::mutex> lock(errorsMutex_);
  return pendingErrors_.size();
}

void App::ShowPendingErrors() {
  // One box at a time; none while the session ends (nothing may wait for the
  // user then: the errors wait in case the session goes on).
  if (showingErrors_) return;
  showingErrors_ = true;
  while (!win::SessionEnding()) {
    std::string text;
    {
      std::lock_guard<std::mutex> lock(errorsMutex_);
      if (pendingErrors_.empty()) break;
      text = std::move(pendingErrors_.front());
      pendingErrors_.pop_front();
    }
    try {
      ShowError(text);
    } catch (...) {
      // A box that cannot be made (no memory) is dropped, not reported again.
    }
  }
  showingErrors_ = false;
}

HWND App::ApplicationHandle() const { return appWindow_ ? appWindow_->hwnd() : nullptr; }

void App::SaveSettings() {
  PrepareSettingsFolder(settings);
  ProfileWriter writer(settings.SettingsPath);
  const RECT r = mainForm_->Bounds();
  const Bounds bar{r.left, r.top, r.right - r.left, r.bottom - r.top};
  const std::vector<TLaunchData> entries = mainForm_->GroupEntries();
  // Counts as at 96 dpi, whatever the scale (the records of groups the
  // scaled bar does not show stay in the file as they are).
  Settings stored = settings;
  stored.GroupCount = static_cast<uint8_t>(
      StoredGroupCount(settings.Type, screenWidth, screenHeight, settings.GroupCount, DpiScale(dpi)));
  WriteBarSettings(writer, stored, bar, entries.data(), static_cast<int>(entries.size()));

  // 7. The group window's own part (its "Window" section and every program
  //    slot) is written here, with this same writer, before the commit.
  if (subForm_) subForm_->SaveEntries(writer);

  writer.Commit();
}

}  // namespace kb
