// The start-with-Windows value in the registry of the test prefix.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "components/icon_tray.h"
#include "win/text.h"

namespace kb {
namespace {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::wstring> RunValue(HKEY root, const std::string& name) {
  wchar_t data[1024] = L"";
  DWORD bytes = sizeof data;
  if (RegGetValueW(root, kRunKey, win::Widen(name).c_str(), RRF_RT_REG_SZ, nullptr, data,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(data);
}

void SetRunValue(HKEY root, const std::string& name, const std::wstring& data) {
  RegSetKeyValueW(root, kRunKey, win::Widen(name).c_str(), REG_SZ, data.c_str(),
                  static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

std::wstring QuotedSelf() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return L"\"" + std::wstring(path) + L"\"";
}

// A user without rights to the machine's key (or to any).
class LimitedTray : public TIconTray {
 public:
  explicit LimitedTray(bool noKeyAtAll) : noKeyAtAll_(noKeyAtAll) {}

 protected:
  HKEY OpenRunKeyForWriting(HKEY root) override {
    return root == HKEY_LOCAL_MACHINE || noKeyAtAll_ ? nullptr : TIconTray::OpenRunKeyForWriting(root);
  }

 private:
  bool noKeyAtAll_;
};

class RunKey : public ::testing::Test {
 protected:
  void TearDown() override { TIconTray().UnregisterRun(name); }
  const std::string name = "KobaruneTest" + std::to_string(GetCurrentProcessId());
};

TEST_F(RunKey, TheMachineKeyGetsTheQuotedPathAndBothKeysLoseIt) {
  SetRunValue(HKEY_CURRENT_USER, name, L"stale");
  TIconTray tray;
  tray.RegisterRun(name);
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, name), QuotedSelf());
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), std::nullopt);  // one start only

  SetRunValue(HKEY_CURRENT_USER, name, QuotedSelf());
  SetRunValue(HKEY_CURRENT_USER, name + "Other", L"x");
  tray.UnregisterRun(name);
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, name), std::nullopt);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), std::nullopt);
  EXPECT_NO_THROW(tray.UnregisterRun(name));  // missing now: no error
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name + "Other"), L"x");
  tray.UnregisterRun(name + "Other");
}

TEST_F(RunKey, WithoutRightsToTheMachineKeyTheUsersKeyIsUsed) {
  LimitedTray tray(false);
  tray.RegisterRun(name);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), QuotedSelf());
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, name), std::nullopt);

  tray.UnregisterRun(name);  // a machine value an administrator set is enough
  SetRunValue(HKEY_LOCAL_MACHINE, name, QuotedSelf());
  tray.RegisterRun(name);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), std::nullopt);

  tray.UnregisterRun(name);
  EXPECT_THROW(LimitedTray(true).RegisterRun(name), ERunKeyError);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), std::nullopt);
}

}  // namespace
}  // namespace kb
