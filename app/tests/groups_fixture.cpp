#include "app/tests/groups_fixture.h"

#include <atomic>
#include <stdexcept>

#include "common/file_io.h"
#include "common/path.h"
#include "launcher/main_form.h"
#include "common/module_folder.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb::groups_testing {

namespace wt = win::testing;

void RecordingShell::Open(HWND owner, const std::string& file, const std::string& parameters,
                          const std::string& directory, int showCmd) {
  calls.push_back({file, parameters, directory, showCmd});
  if (passThrough) ShellAccess::Open(owner, file, parameters, directory, showCmd);
}

std::optional<win::ShortcutTarget> RecordingShell::ResolveLink(HWND owner, const std::string& path,
                                                               win::LinkUi ui) {
  linkUis.push_back(ui);
  std::optional<win::ShortcutTarget> target = ShellAccess::ResolveLink(owner, path, ui);
  if (target && linkShowCmd) target->showCmd = *linkShowCmd;
  return target;
}

void LauncherTest::Start(const std::string& settingsIni, int screenWidth, int screenHeight) {
  if (!settingsIni.empty()) folder_.Write("data\\KBINI.dat", settingsIni);
  AppOptions options;
  options.exeDir = folder_.path();
  options.screenWidth = screenWidth;
  options.screenHeight = screenHeight;
  options.backupClock = backupClock_;
  options.hotKey = hotKey_;
  app_ = std::make_unique<App>(options);
  app_->CreateForms();
  app().SetShellAccess(&shell_);
  form().SetBackupHooks(&backup_);
}

void LauncherTest::Stop() {
  app_.reset();
  wt::PumpMessagesFor(10);
}

TGroupButton& LauncherTest::group(int k) {
  TGroupButton* button = app_->MainForm().GroupButton(k);
  if (!button) throw std::out_of_range("group button " + std::to_string(k));
  return *button;
}

void LauncherTest::Click(HWND hwnd, WPARAM keys) {
  wt::PostClick(hwnd, wt::Button::Left, keys);
  wt::PumpMessagesFor(30);
}

void LauncherTest::RightClick(HWND hwnd) {
  wt::PostClick(hwnd, wt::Button::Right);
  wt::PumpMessagesFor(30);
}

void LauncherTest::Drop(HWND hwnd, const std::vector<std::string>& paths) {
  wt::PostDrop(hwnd, paths);
  wt::PumpMessagesFor(30);
}

std::string LauncherTest::BinPath(const std::string& fileName) {
  return kb::ModuleFolder().value() + fileName;
}

TLaunchData RecordFor(const std::string& path, int execOption) {
  TLaunchData r;
  r.FPFileName = path;
  r.WorkingDir = FolderPart(path);
  r.ShowName = WithoutExtension(FilePart(path));
  r.IconFile = path;
  r.ExecOption = execOption;
  return r;
}

}  // namespace kb::groups_testing
