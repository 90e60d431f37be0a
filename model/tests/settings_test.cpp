#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "common/file_io.h"
#include "common/profile.h"
#include "model/settings.h"

namespace kb {
namespace {

namespace fs = std::filesystem;

// An exe folder of its own per test, given Windows-style with a trailing
// backslash, like the launcher's own folder.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = (fs::temp_directory_path() /
             ("kbsettings-" + std::to_string(std::random_device{}()) + "-" + info->name()))
                .string();
    fs::remove_all(root_);
    ASSERT_TRUE(fs::create_directory(root_));
    exeDir_ = root_ + "\\";
  }
  void TearDown() override { fs::remove_all(root_); }

  void WriteSettingsFile(const std::string& text) {
    ASSERT_TRUE(FolderExists(exeDir_ + "data") || CreateFolder(exeDir_ + "data"));
    ASSERT_TRUE(WriteFileAtomic(SettingsPathFor(exeDir_), text));
  }
  std::string SettingsFile() const { return ReadWholeFile(SettingsPathFor(exeDir_)).value_or("<none>"); }

  std::string root_;
  std::string exeDir_;
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults) {
  const Settings s = LoadSettings(exeDir_);
  EXPECT_EQ(s.SettingsPath, exeDir_ + "data\\KBINI.dat");
  EXPECT_EQ(s.Type, 1);
  EXPECT_FALSE(s.AutoHide || s.ExecHide || s.NotActiveHide || s.StayonTop || s.SaverPause ||
               s.MouseOnActive || s.MaxFileLimit || s.LateBU || s.StartUp);
  EXPECT_EQ(s.TMaxFileNum, 5);
  EXPECT_EQ(s.OnTray, 0);
  EXPECT_EQ(s.GroupCount, 10);
  EXPECT_EQ(s.ListCount, 15);
  EXPECT_EQ(s.VersionStamp, "");
}

TEST_F(SettingsTest, ValuesAreReadWithTheirConventions) {
  WriteSettingsFile(
      "[Info]\r\nType=3\r\nAutoHide=1\r\nexechide=2\r\nNotActiveHide=0\r\nStayonTop=1\r\n"
      "SaverPause=1\r\nMouseOnActive=1\r\nTMaxFileNum=0x10\r\nLateBU=1\r\nOnTray=2\r\n"
      "StartUp=1\r\n[Group]\r\nNumber=300\r\n[List]\r\nNumber=$20\r\n");
  const Settings s = LoadSettings(exeDir_);
  EXPECT_EQ(s.Type, 3);
  EXPECT_TRUE(s.AutoHide && s.ExecHide && s.StayonTop && s.SaverPause && s.MouseOnActive &&
              s.LateBU && s.StartUp);
  EXPECT_FALSE(s.NotActiveHide);
  EXPECT_EQ(s.TMaxFileNum, 16);
  EXPECT_EQ(s.OnTray, 2);        // only 1 hides the taskbar button; 2 is kept as it is
  EXPECT_EQ(s.GroupCount, 44);   // 300 modulo 256
  EXPECT_EQ(s.ListCount, 32);
}

TEST_F(SettingsTest, UnknownEdgeBecomesTheBottom) {
  for (const char* type : {"7", "9", "-1", "4"}) {
    WriteSettingsFile(std::string("[Info]\r\nType=") + type + "\r\n");
    EXPECT_EQ(LoadSettings(exeDir_).Type, 2) << type;
    fs::remove_all(root_ + "/data");
  }
  WriteSettingsFile("[Info]\r\nType=0\r\n");
  EXPECT_EQ(LoadSettings(exeDir_).Type, 0);
}

TEST_F(SettingsTest, VersionIsCutWithoutSplittingACharacter) {
  WriteSettingsFile("[Info]\r\nVersion=1.23456\r\n");
  EXPECT_EQ(LoadSettings(exeDir_).VersionStamp, "1.234");
  fs::remove_all(root_ + "/data");
  // "1.2表" is exactly five bytes; "12.3表" would end in half a character.
  WriteSettingsFile("[Info]\r\nVersion=1.2表\r\n[Other]\r\nVersion=12.3表\r\n");
  EXPECT_EQ(LoadSettings(exeDir_).VersionStamp, "1.2表");
  fs::remove_all(root_ + "/data");
  WriteSettingsFile("[Info]\r\nVersion=12.3表\r\n");
  EXPECT_EQ(LoadSettings(exeDir_).VersionStamp, "12.3");
}

TEST_F(SettingsTest, ListCountRule) {
  Settings s;
  s.ListCount = 15;
  s.TMaxFileNum = 20;
  ApplyListCountRule(s);
  EXPECT_EQ(s.ListCount, 15);  // the limit is off
  s.MaxFileLimit = true;
  ApplyListCountRule(s);
  EXPECT_EQ(s.ListCount, 20);
  s.TMaxFileNum = 3;
  ApplyListCountRule(s);
  EXPECT_EQ(s.ListCount, 20);  // never shrinks

  WriteSettingsFile("[Info]\r\nTMaxFileNum=20\r\nMaxFileLimit=1\r\n[List]\r\nNumber=15\r\n");
  const Settings loaded = LoadSettings(exeDir_);
  EXPECT_EQ(loaded.ListCount, 20);
  ProfileWriter w(loaded.SettingsPath);
  WriteBarSettings(w, loaded, Bounds{}, nullptr, 0);
  EXPECT_EQ(ProfileReader::FromBytes(w.Bytes()).ReadInteger("List", "Number", 0), 20);
}

TEST_F(SettingsTest, SaveWritesEveryKeyInItsOrder) {
  Settings s;
  s.Type = 2;
  s.AutoHide = true;
  s.VersionStamp = "2.00";
  s.GroupCount = 2;
  s.OnTray = 1;
  TLaunchData groups[2];
  groups[0].ShowName = "名前だけ";  // no icon file: not written
  groups[1].IconFile = "C:\\表.ico";
  groups[1].ShowName = "道具";
  ProfileWriter w = ProfileWriter::FromBytes("");
  WriteBarSettings(w, s, Bounds{0, 0, 38, 768}, groups, 2);
  EXPECT_EQ(w.Bytes(),
            "[Window]\r\nLeft=0\r\nTop=0\r\nWidth=38\r\nHeight=768\r\nNumber=2\r\n"
            "[Info]\r\nType=2\r\nAutoHide=1\r\nExecHide=0\r\nNotActiveHide=0\r\nVersion=2.00\r\n"
            "StayonTop=0\r\nSaverPause=0\r\nMouseOnActive=0\r\nTMaxFileNum=5\r\n"
            "MaxFileLimit=0\r\nLateBU=0\r\nOnTray=1\r\nStartUp=0\r\n"
            "[Group]\r\nNumber=2\r\n[List]\r\nNumber=15\r\n"
            "[Button2]\r\nFPFileName=\r\nWorkingDir=\r\nShowName=道具\r\nIconFile=C:\\表.ico\r\n"
            "IconIndex=0\r\nExecOption=1\r\nDoBackUp=0\r\n");
  // The group window's part of the same session overwrites the "Window" keys.
  WriteWindowSection(w, Bounds{38, 100, 500, 38}, 12);
  const ProfileReader r = ProfileReader::FromBytes(w.Bytes());
  EXPECT_EQ(r.ReadInteger("Window", "Left", 0), 38);
  EXPECT_EQ(r.ReadInteger("Window", "Width", 0), 500);
  EXPECT_EQ(r.ReadInteger("Window", "Number", 0), 12);
}

TEST_F(SettingsTest, GroupWithoutIconFileKeepsItsOldSection) {
  WriteSettingsFile("; kept\r\n[Button1]\r\nShowName=old\r\nIconFile=old.ico\r\nExtra=1\r\n");
  Settings s = LoadSettings(exeDir_);
  s.GroupCount = 1;
  TLaunchData group;
  group.ShowName = "new";
  ProfileWriter w(s.SettingsPath);
  WriteBarSettings(w, s, Bounds{}, &group, 1);
  w.Commit();
  const std::string file = SettingsFile();
  EXPECT_EQ(file.rfind("; kept\r\n[Button1]\r\nShowName=old\r\nIconFile=old.ico\r\nExtra=1\r\n", 0), 0u);
}

TEST_F(SettingsTest, SaveThenLoadGivesTheSameSettings) {
  Settings s = LoadSettings(exeDir_);
  s.Type = 3;
  s.NotActiveHide = s.SaverPause = s.MaxFileLimit = s.StartUp = true;
  s.TMaxFileNum = 30;
  s.ListCount = 30;
  s.GroupCount = 40;
  s.VersionStamp = "v9";
  PrepareSettingsFolder(s);
  EXPECT_TRUE(FolderExists(exeDir_ + "data"));
  ProfileWriter w(s.SettingsPath);
  WriteBarSettings(w, s, Bounds{1, 2, 3, 4}, nullptr, 0);
  w.Commit();
  EXPECT_EQ(LoadSettings(exeDir_), s);
  PrepareSettingsFolder(s);  // an existing folder is left alone
  EXPECT_EQ(LoadSettings(exeDir_), s);
}

// The bar's monitor and the hot key are keys of their own at the end of
// "Info", written only once chosen: a file without them is saved as before.
TEST_F(SettingsTest, OptionalInfoKeysAreKeptAndWrittenOnlyWhenSet) {
  struct Case {
    const char* key;
    const char* value;
    std::string Settings::*member;
  };
  const Case cases[] = {
      {"Monitor", "\\\\.\\DISPLAY2,1024,0,1824,600", &Settings::Monitor},
      {"HotKey", "Ctrl+Shift+F9", &Settings::HotKey},
      {"HotKey", "none", &Settings::HotKey},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    WriteSettingsFile(std::string("[Info]\r\nType=0\r\n") + c.key + "=" + c.value + "\r\n");
    Settings s = LoadSettings(exeDir_);
    EXPECT_EQ(s.*c.member, c.value);
    ProfileWriter with = ProfileWriter::FromBytes("");
    WriteBarSettings(with, s, Bounds{}, nullptr, 0);
    EXPECT_EQ(ProfileReader::FromBytes(with.Bytes()).ReadString("Info", c.key, ""), c.value);
    (s.*c.member).clear();
    ProfileWriter without = ProfileWriter::FromBytes("");
    WriteBarSettings(without, s, Bounds{}, nullptr, 0);
    EXPECT_EQ(without.Bytes().find(c.key), std::string::npos);
  }
}

TEST_F(SettingsTest, EraseGroupSectionRemovesOnlyThatGroup) {
  WriteSettingsFile("[Button1]\r\nIconFile=a\r\n[Button10]\r\nIconFile=b\r\n[ExButton1-1]\r\nk=1\r\n");
  const Settings s = LoadSettings(exeDir_);
  EraseGroupSection(s, 1);
  EXPECT_EQ(SettingsFile(), "[Button10]\r\nIconFile=b\r\n[ExButton1-1]\r\nk=1\r\n");
}

TEST_F(SettingsTest, RefusedSaveReportsThePath) {
  Settings s;
  s.SettingsPath = exeDir_ + "data\\KBINI.dat";  // the data folder is never made
  ProfileWriter w(s.SettingsPath);
  WriteBarSettings(w, s, Bounds{}, nullptr, 0);
  try {
    w.Commit();
    FAIL() << "no WriteError";
  } catch (const WriteError& e) {
    EXPECT_EQ(std::string(e.what()), s.SettingsPath + " に書き込めません");
  }
}

}  // namespace
}  // namespace kb
