// HURTLE.EXE really ending the session.  ExitWindowsEx ends every windowed
// process of the Wine prefix it runs in, so this program runs only in a
// throw-away prefix of its own (exit_session_test.sh), never in the shared
// test prefix.  It owns no window itself, which lets it outlive the session
// end and report.
#include <gtest/gtest.h>

#include "tools/tests/process_support.h"

namespace kb::tools::testing {
namespace {

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

const std::wstring kTool = L"HURTLE.EXE";

TEST(ExitToolSession, UnknownOptionsLeaveTheSessionAlone) {
  TempFolder folder;
  const std::wstring ended = folder.path() + L"victim.ended";
  StandinLauncher victim(L"Victim", ended);
  ASSERT_TRUE(victim.Present());
  for (const wchar_t* arguments : {L"/S2", L"-S", L"/shutdown", L"/x", L"S"}) {
    Process tool(kb::ModuleFolderW() + kTool, arguments, L"");
    EXPECT_EQ(tool.WaitExit(5000), std::optional<DWORD>(0)) << arguments;
  }
  Sleep(500);
  EXPECT_TRUE(victim.Present());
  EXPECT_FALSE(Exists(ended));
}

TEST(ExitToolSession, ShutDownOnlyAfterTheLauncherHasGone) {
  TempFolder folder;
  const std::wstring ended = folder.path() + L"victim.ended";
  StandinLauncher launcher(L"Kobarune");
  StandinLauncher victim(L"Victim", ended);
  ASSERT_TRUE(launcher.Present());
  ASSERT_TRUE(victim.Present());
  Process tool(kb::ModuleFolderW() + kTool, L"/S", L"");
  WaitForStartsToSettle(2, 1500);
  EXPECT_FALSE(Exists(ended)) << "the session ended while the launcher was there";
  EXPECT_TRUE(victim.Present());

  const DWORD gone = launcher.CloseAndWaitGone();
  ASSERT_TRUE(WaitUntil([&] { return Exists(ended); }, 15000)) << "the session did not end";
  EXPECT_GE(GetTickCount() - gone, 450u);
  EXPECT_TRUE(WaitUntil([&] { return !victim.Present(); }, 15000));
  EXPECT_EQ(tool.WaitExit(10000), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace kb::tools::testing
