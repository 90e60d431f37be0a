// The real HURTLE.EXE and Vaulter2.exe against a stand-in launcher, with
// stand-ins for the programs they start.  ExitWindowsEx is never reached
// here: it would end the windowed processes of this shared Wine prefix.
#include <gtest/gtest.h>

#include "tools/tests/process_support.h"

namespace kb::tools::testing {
namespace {

const std::wstring kTitle = L"Kobarune";

// A folder holding a copy of one tool and the stand-in it starts, as the
// shipped folder holds the tools beside the launcher.  The tool runs with
// another current folder that holds a decoy of the same name, which must not
// be the one started.
class ToolFolder {
 public:
  ToolFolder(const std::wstring& tool, const std::wstring& target, const std::wstring& targetBuilt) {
    home_.CopyIn(kb::ModuleFolderW() + tool, tool);
    home_.CopyIn(kb::ModuleFolderW() + L"tools_standins\\" + targetBuilt, target);
    elsewhere_.CopyIn(kb::ModuleFolderW() + L"tools_standins\\" + targetBuilt, target);
    tool_ = home_.path() + tool;
    target_ = home_.path() + target;
    decoy_ = elsewhere_.path() + target;
  }
  Process Run(const std::wstring& arguments) const {
    return Process(tool_, arguments, elsewhere_.path());
  }
  const std::wstring& target() const { return target_; }
  const std::wstring& decoy() const { return decoy_; }

 private:
  TempFolder home_, elsewhere_;
  std::wstring tool_, target_, decoy_;
};

ToolFolder RestartFolder() { return ToolFolder(L"Vaulter2.exe", L"Pelkan2.exe", L"Pelkan2.exe"); }
ToolFolder ExitFolder() { return ToolFolder(L"HURTLE.EXE", L"WEXDO.EXE", L"WEXDO.EXE"); }

TEST(RestartToolProcess, StartsTheLauncherBesideItOnlyAfterTheWindowHasGone) {
  ToolFolder folder = RestartFolder();
  StandinLauncher launcher(kTitle);
  ASSERT_TRUE(launcher.Present());
  Process tool = folder.Run(L"/r");
  ASSERT_TRUE(tool.started());
  WaitForStartsToSettle(2, 1500);
  EXPECT_FALSE(RecordExists(folder.target())) << "started while the launcher was still there";
  EXPECT_FALSE(tool.WaitExit(0).has_value()) << "gave up waiting";

  const DWORD gone = launcher.CloseAndWaitGone();
  auto record = WaitForRecord(folder.target(), 15000);
  ASSERT_TRUE(record.has_value());
  // One 3-s slice plus the 0.5-s pause at most; generous for a busy machine.
  EXPECT_GE(record->seenAt - gone, 450u);
  EXPECT_LE(record->seenAt - gone, 3500u + 3000u);
  EXPECT_EQ(record->commandLine, "Pelkan2.exe");  // no parameters
  EXPECT_EQ(record->showLine, "usesShowWindow=1 show=5");
  EXPECT_EQ(tool.WaitExit(5000), std::optional<DWORD>(0));
  EXPECT_FALSE(RecordExists(folder.decoy())) << "current folder searched before its own";
}

TEST(RestartToolProcess, WrongOrNoParameterEndsAtOnceWithoutStarting) {
  ToolFolder folder = RestartFolder();
  StandinLauncher launcher(kTitle);  // would hold a waiting tool back
  for (const wchar_t* arguments : {L"/R", L"", L"/r2", L"\"/R\" /r"}) {
    Process tool = folder.Run(arguments);
    ASSERT_TRUE(tool.started());
    // A tool that waited would wait as long as the launcher lives (60 s).
    EXPECT_EQ(tool.WaitExit(8000), std::optional<DWORD>(0)) << arguments;
  }
  Sleep(700);
  EXPECT_FALSE(RecordExists(folder.target()));
  EXPECT_TRUE(launcher.Present());
}

TEST(RestartToolProcess, QuotedParameterAndAnotherTitleDoNotHoldItBack) {
  ToolFolder folder = RestartFolder();
  // (FindWindow compares titles without regard to case, so "kobarune"
  // would count as the launcher; a longer title does not.)
  StandinLauncher other(L"Kobarune2");
  ASSERT_TRUE(other.Present());
  const DWORD start = GetTickCount();
  Process tool = folder.Run(L"\"/r\" ignored");
  auto record = WaitForRecord(folder.target(), 10000);
  ASSERT_TRUE(record.has_value());
  // Held back, it would wait as long as the other window lives (60 s).
  EXPECT_LT(record->seenAt - start, 8000u);
  EXPECT_TRUE(other.Present());
  EXPECT_EQ(tool.WaitExit(5000), std::optional<DWORD>(0));
}

TEST(ExitToolProcess, WStartsTheRestarterHiddenAfterTheWindowHasGone) {
  ToolFolder folder = ExitFolder();
  StandinLauncher launcher(kTitle);
  StandinLauncher other(L"Other");
  Process tool = folder.Run(L"/w");
  WaitForStartsToSettle(2, 1200);
  EXPECT_FALSE(RecordExists(folder.target()));

  const DWORD gone = launcher.CloseAndWaitGone();
  auto record = WaitForRecord(folder.target(), 10000);
  ASSERT_TRUE(record.has_value());
  // One 0.5-s slice plus the 0.5-s pause at most.
  EXPECT_GE(record->seenAt - gone, 450u);
  EXPECT_LE(record->seenAt - gone, 1000u + 3000u);
  EXPECT_EQ(record->commandLine, "WEXDO.EXE /rw");
  EXPECT_EQ(record->showLine, "usesShowWindow=1 show=0");
  EXPECT_EQ(tool.WaitExit(5000), std::optional<DWORD>(0));
  EXPECT_FALSE(RecordExists(folder.decoy()));
}

HWND FindUsageBox() { return FindWindowW(L"#32770", L"Hurtle"); }

BOOL CALLBACK CollectStaticText(HWND child, LPARAM out) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  if (lstrcmpiW(className, L"Static") != 0) return TRUE;
  wchar_t text[512] = {};
  GetWindowTextW(child, text, 512);
  if (text[0]) *reinterpret_cast<std::wstring*>(out) = text;
  return TRUE;
}

std::wstring StaticTextOf(HWND box) {
  std::wstring found;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST(ExitToolProcess, NoParameterShowsTheMessageOnlyAfterTheWindowHasGone) {
  ToolFolder folder = ExitFolder();
  StandinLauncher launcher(kTitle);
  Process tool = folder.Run(L"");
  WaitForStartsToSettle(2, 0);
  EXPECT_FALSE(WaitUntil([] { return FindUsageBox() != nullptr; }, 1500));

  const DWORD gone = launcher.CloseAndWaitGone();
  ASSERT_TRUE(WaitUntil([] { return FindUsageBox() != nullptr; }, 10000));
  EXPECT_GE(GetTickCount() - gone, 450u);
  HWND box = FindUsageBox();
  EXPECT_EQ(StaticTextOf(box),
            L"実行にはｵﾌﾟｼｮﾝﾊﾟﾗﾒｰﾀが必要です。詳しくはﾍﾙﾌﾟを参照してください。");
  EXPECT_FALSE(tool.WaitExit(0).has_value()) << "ended before the box was answered";
  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(tool.WaitExit(5000), std::optional<DWORD>(0));
  EXPECT_FALSE(RecordExists(folder.target()));
}

}  // namespace
}  // namespace kb::tools::testing

namespace kb::tools::testing {
namespace {

TEST(ExitToolProcess, ParameterShiftJisCannotHoldIsUnknownNotMissing) {
  // Such a parameter matches no option, so the tool ends silently; taking it
  // for "no parameter" would show the usage message instead.
  ToolFolder folder = ExitFolder();
  Process tool = folder.Run(L"\u00e9\u20ac");
  EXPECT_EQ(tool.WaitExit(8000), std::optional<DWORD>(0));
  EXPECT_EQ(FindUsageBox(), nullptr);
  EXPECT_FALSE(RecordExists(folder.target()));
}

}  // namespace
}  // namespace kb::tools::testing
