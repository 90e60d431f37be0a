// The start-with-Windows value in the registry of the test prefix: quoted,
// in the user's Run key where the machine's may not be written, removed
// from both.
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
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, win::Widen(name).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

std::wstring QuotedSelf() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return L"\"" + std::wstring(path) + L"\"";
}

// A user without the rights to the machine's key (or to any key).
class LimitedTray : public TIconTray {
 public:
  explicit LimitedTray(bool userKeyToo = false) : userKeyToo_(userKeyToo) {}

 protected:
  HKEY OpenRunKeyForWriting(HKEY root) override {
    if (root == HKEY_LOCAL_MACHINE || userKeyToo_) return nullptr;
    return TIconTray::OpenRunKeyForWriting(root);
  }

 private:
  bool userKeyToo_;
};

class RunKey : public ::testing::Test {
 protected:
  void TearDown() override { TIconTray().UnregisterRun(name); }
  const std::string name = "KobaruneTest" + std::to_string(GetCurrentProcessId());
};

TEST_F(RunKey, TheMachineKeyGetsTheQuotedFullPath) {
  SetRunValue(HKEY_CURRENT_USER, name, L"stale");
  TIconTray tray;
  tray.RegisterRun(name);
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, name), QuotedSelf());
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), std::nullopt);  // one start only
  ASSERT_GE(QuotedSelf().size(), 4u);
  EXPECT_EQ(QuotedSelf().front(), L'"');
}

TEST_F(RunKey, WithoutRightsToTheMachineKeyTheUserKeyIsUsed) {
  LimitedTray tray;
  tray.RegisterRun(name);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), QuotedSelf());
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, name), std::nullopt);

  // A machine value an administrator already set is enough.
  tray.UnregisterRun(name);
  SetRunValue(HKEY_LOCAL_MACHINE, name, QuotedSelf());
  tray.RegisterRun(name);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), std::nullopt);
}

TEST_F(RunKey, NoWritableKeyIsReported) {
  LimitedTray tray(true);
  EXPECT_THROW(tray.RegisterRun(name), ERunKeyError);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), std::nullopt);
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, name), std::nullopt);
}

TEST_F(RunKey, UnregisterRemovesTheValueFromBothKeys) {
  SetRunValue(HKEY_LOCAL_MACHINE, name, QuotedSelf());
  SetRunValue(HKEY_CURRENT_USER, name, QuotedSelf());
  const std::string other = name + "Other";
  SetRunValue(HKEY_CURRENT_USER, other, L"x");
  TIconTray tray;
  tray.UnregisterRun(name);
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, name), std::nullopt);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, name), std::nullopt);
  EXPECT_NO_THROW(tray.UnregisterRun(name));  // missing now: no error
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, other), L"x");
  tray.UnregisterRun(other);
}

}  // namespace
}  // namespace kb
