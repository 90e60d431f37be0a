#include <gtest/gtest.h>

#include "common/profile.h"
#include "model/launch_data.h"

namespace kb {
namespace {

TEST(LaunchDataTest, SectionNamesHaveNoPadding) {
  EXPECT_EQ(GroupSectionName(1), "Button1");
  EXPECT_EQ(GroupSectionName(40), "Button40");
  EXPECT_EQ(SlotSectionName(2, 10), "ExButton2-10");
  EXPECT_EQ(SlotSectionName(12, 3), "ExButton12-3");
  EXPECT_EQ(SlotSectionName(3, 12), "ExButton3-12");
}

TEST(LaunchDataTest, MissingSectionGivesDefaults) {
  const TLaunchData rec = ReadLaunchData(ProfileReader::FromBytes(""), "Button1");
  EXPECT_EQ(rec, TLaunchData{});
  EXPECT_EQ(rec.ExecOption, 1);
  EXPECT_EQ(rec.IconIndex, 0);
  EXPECT_FALSE(rec.DoBackUp);
}

TEST(LaunchDataTest, KeysAreWrittenInTheirFixedOrder) {
  TLaunchData rec;
  rec.FPFileName = "C:\\表\\app.exe";
  rec.WorkingDir = "C:\\表\\";
  rec.ShowName = "予定表";
  rec.IconFile = "C:\\表\\app.exe";
  rec.IconIndex = 3;
  rec.ExecOption = 4;
  rec.DoBackUp = true;
  ProfileWriter w = ProfileWriter::FromBytes("");
  WriteLaunchData(w, "ExButton2-10", rec);
  EXPECT_EQ(w.Bytes(),
            "[ExButton2-10]\r\nFPFileName=C:\\表\\app.exe\r\nWorkingDir=C:\\表\\\r\n"
            "ShowName=予定表\r\nIconFile=C:\\表\\app.exe\r\nIconIndex=3\r\nExecOption=4\r\n"
            "DoBackUp=1\r\n");
  EXPECT_EQ(ReadLaunchData(ProfileReader::FromBytes(w.Bytes()), "exbutton2-10"), rec);
}

TEST(LaunchDataTest, ValueConventionsOnRead) {
  const auto r = ProfileReader::FromBytes(
      "[Button1]\r\nIconIndex=0x1A\r\nExecOption=$3\r\nDoBackUp=5\r\n"
      "[Button2]\r\nIconIndex=junk\r\nExecOption=\r\nDoBackUp=0\r\n");
  const TLaunchData one = ReadLaunchData(r, "Button1");
  EXPECT_EQ(one.IconIndex, 26);
  EXPECT_EQ(one.ExecOption, 3);
  EXPECT_TRUE(one.DoBackUp);
  const TLaunchData two = ReadLaunchData(r, "Button2");
  EXPECT_EQ(two.IconIndex, 0);
  EXPECT_EQ(two.ExecOption, 1);
  EXPECT_FALSE(two.DoBackUp);
}

}  // namespace
}  // namespace kb
