// Shared set-up of the group window's Windows tests: a launcher built
// in-process on a fresh folder, a shell that records what it is asked to
// start, and a backup schedule that records its calls.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "groups/backup_hooks.h"
#include "groups/sub_form.h"
#include "app/app.h"
#include "launcher/group_button.h"
#include "win/shell.h"
#include "win/testing/temp_folder.h"

namespace kb::groups_testing {

using TempFolder = win::testing::TempFolder;

struct ShellCall {
  std::string file, parameters, directory;
  int showCmd = 0;
};

// Records every start; passes it on to the real shell when `passThrough` is
// set.  A shortcut's show command can be set, since Wine's link object
// always reports 1.
class RecordingShell : public win::ShellAccess {
 public:
  void Open(HWND owner, const std::string& file, const std::string& parameters,
            const std::string& directory, int showCmd) override;
  std::optional<win::ShortcutTarget> ResolveLink(HWND owner, const std::string& path,
                                                 win::LinkUi ui) override;

  std::vector<ShellCall> calls;
  std::vector<win::LinkUi> linkUis;  // of every shortcut resolved
  bool passThrough = false;
  std::optional<int> linkShowCmd;
};

class RecordingBackup : public BackupHooks {
 public:
  void LoadBackupSettings(const std::string& section) override { calls.push_back("load " + section); }
  void CountDownBackup(const std::string& section) override { calls.push_back("count " + section); }
  void SaveBackupSettings(const std::string& section) override { calls.push_back("save " + section); }
  std::vector<std::string> calls;
};

class LauncherTest : public ::testing::Test {
 protected:
  void TearDown() override { Stop(); }

  // Writes the settings file (when not empty) and builds the launcher's
  // windows for a screen of the given size.
  void Start(const std::string& settingsIni, int screenWidth = 800, int screenHeight = 600);
  void Stop();

  App& app() { return *app_; }
  TSubForm& form() { return app_->SubForm(); }
  TGroupButton& group(int k);
  TExecButton& slot(int n) { return form().Buttons(n); }

  // Posts a click and lets the launcher handle it.
  void Click(HWND hwnd, WPARAM keys = 0);
  void RightClick(HWND hwnd);
  void Drop(HWND hwnd, const std::vector<std::string>& paths);

  // The path of a program beside the test (the bin folder).
  static std::string BinPath(const std::string& fileName);
  std::string SettingsText() const { return folder_.Read("data\\KBINI.dat"); }

  TempFolder folder_;
  RecordingShell shell_;
  RecordingBackup backup_;
  // The clocks the launcher's backup workers read (nullptr: the system's).
  std::shared_ptr<BackupClock> backupClock_;
  // Whether the launcher registers its hot key (AppOptions::hotKey).
  bool hotKey_ = false;
  std::unique_ptr<App> app_;
};

// A record for a real file of the test's folder.
TLaunchData RecordFor(const std::string& path, int execOption = 1);

}  // namespace kb::groups_testing
