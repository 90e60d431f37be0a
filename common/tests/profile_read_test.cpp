#include <gtest/gtest.h>

#include "common/profile.h"

namespace kb {
namespace {

std::string Read(std::string_view file, std::string_view section, std::string_view key,
                 const std::string& def = "<def>") {
  return ProfileReader::FromBytes(file).ReadString(section, key, def);
}

TEST(ProfileReadTest, MissingFileSectionOrKeyGivesDefault) {
  const ProfileReader missing("/nonexistent-folder-kb/none.ini");
  EXPECT_EQ(missing.ReadString("Info", "Type", "x"), "x");
  EXPECT_EQ(missing.ReadInteger("Info", "Type", 42), 42);
  EXPECT_TRUE(missing.ReadBool("Info", "Type", true));
  EXPECT_EQ(Read("[A]\r\nk=v\r\n", "B", "k"), "<def>");
  EXPECT_EQ(Read("[A]\r\nk=v\r\n", "A", "other"), "<def>");
  EXPECT_EQ(Read("", "A", "k"), "<def>");
}

TEST(ProfileReadTest, BlanksAroundNamesAndValuesAreTrimmed) {
  const std::string file = "  [A]  \r\n \t key \t=  value with  inner  \t\r\n[ Spaced Sec ]\r\nx=1\r\n";
  EXPECT_EQ(Read(file, "A", "key"), "value with  inner");
  EXPECT_EQ(Read(file, "Spaced Sec", "x"), "1");
  EXPECT_EQ(Read(file, " A ", " key "), "value with  inner");
  // ^Z counts as a blank, the full-width space does not.
  EXPECT_EQ(Read("[A]\r\nk=\x1Av\x81\x40\x1A\r\n", "A", "k"), "v\x81\x40");
}

TEST(ProfileReadTest, NamesIgnoreCase) {
  const std::string file = "[InFo]\r\nTYPE=3\r\n[Ｗｉｄｅ]\r\nＫｅｙ=w\r\n";
  EXPECT_EQ(Read(file, "info", "type"), "3");
  EXPECT_EQ(Read(file, "INFO", "Type"), "3");
  // Full-width letters are compared as they are; "ア" (83 41) ends in 'A'.
  EXPECT_EQ(Read(file, "Ｗｉｄｅ", "Ｋｅｙ"), "w");
  EXPECT_EQ(Read(file, "ｗｉｄｅ", "ＫＥＹ"), "<def>");
  EXPECT_EQ(Read("[ア]\r\nk=1\r\n", "\x83\x61", "k"), "<def>");
}

TEST(ProfileReadTest, FirstDuplicateWins) {
  const std::string file = "[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\nonly=4\r\n";
  EXPECT_EQ(Read(file, "A", "k"), "1");
  EXPECT_EQ(Read(file, "A", "only"), "<def>");  // the second section is never searched
}

TEST(ProfileReadTest, LinesWithoutEqualsAreNoValues) {
  const std::string file = "[A]\r\njustaword\r\n; comment=1\r\n[broken\r\nk=\r\nq=\"\"\r\n";
  EXPECT_EQ(Read(file, "A", "justaword"), "<def>");
  EXPECT_EQ(Read(file, "A", "k"), "");  // "k=" reads empty, not the default
  EXPECT_EQ(Read(file, "A", "q"), "");
  // "[broken" has no closing bracket: it does not open a section.
  EXPECT_EQ(Read(file, "broken", "k"), "<def>");
  // A name line without '=' hides a later value of the same name.
  EXPECT_EQ(Read("[A]\r\nk\r\nk=1\r\n", "A", "k"), "<def>");
}

TEST(ProfileReadTest, OnePairOfOuterQuotesIsStripped) {
  const std::string file =
      "[A]\r\na=\"x y\"\r\nb='z'\r\nc=\"unbalanced\r\nd=\"in\"side\"\r\ne=\"\"\"\"\r\nf=\"\r\ng='mixed\"\r\n";
  EXPECT_EQ(Read(file, "A", "a"), "x y");
  EXPECT_EQ(Read(file, "A", "b"), "z");
  EXPECT_EQ(Read(file, "A", "c"), "\"unbalanced");
  EXPECT_EQ(Read(file, "A", "d"), "in\"side");
  EXPECT_EQ(Read(file, "A", "e"), "\"\"");
  EXPECT_EQ(Read(file, "A", "f"), "\"");
  EXPECT_EQ(Read(file, "A", "g"), "'mixed\"");
}

TEST(ProfileReadTest, LongValuesAreCutTo1023) {
  const std::string longValue(1500, 'v');
  EXPECT_EQ(Read("[A]\r\nk=" + longValue + "\r\n", "A", "k"), std::string(1023, 'v'));
  EXPECT_EQ(Read("[A]\r\nk=" + std::string(1023, 'v'), "A", "k").size(), 1023u);
  // 1022 single bytes and then "表": the character does not fit and is not halved.
  EXPECT_EQ(Read("[A]\r\nk=" + std::string(1022, 'v') + "表\r\n", "A", "k"), std::string(1022, 'v'));
}

TEST(ProfileReadTest, AllLineEndsRead) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    const std::string file = std::string("[A]") + eol + "k=1" + eol + "[B]" + eol + "k=2";
    EXPECT_EQ(Read(file, "A", "k"), "1") << "line end " << static_cast<int>(eol[0]);
    EXPECT_EQ(Read(file, "B", "k"), "2");
  }
}

TEST(ProfileReadTest, ByteOrderMarksMakeTextFiles) {
  // "名前" in UTF-8 is E5 90 8D E5 89 8D; read back it is Shift-JIS.
  EXPECT_EQ(Read("\xEF\xBB\xBF[A]\r\nk=\xE5\x90\x8D\xE5\x89\x8D\r\n", "A", "k"), "名前");
  const std::string utf16le("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\x0D\x54\x4D\x52\r\0\n\0", 24);
  EXPECT_EQ(Read(utf16le, "A", "k"), "名前");
  const std::string utf16be("\xFE\xFF\0[\0A\0]\0\n\0k\0=\0v", 16);
  EXPECT_EQ(Read(utf16be, "A", "k"), "v");
}

TEST(ProfileReadTest, ShiftJisWithBackslashTrailBytes) {
  // "表" and "ソ" end in 0x5C, "ゾ" (83 5D) ends in ']' and "ポ" (83 7C) in '|'.
  const std::string file = "[表ソ]\r\nパス=C:\\表\\ソフト\\\r\n[ゾ\r\nx=1\r\n[ゾ]\r\ny=2\r\n";
  EXPECT_EQ(Read(file, "表ソ", "パス"), "C:\\表\\ソフト\\");
  // "[ゾ" has no real closing bracket: x stays in the section before.
  EXPECT_EQ(Read(file, "表ソ", "x"), "1");
  EXPECT_EQ(Read(file, "ゾ", "y"), "2");
}

TEST(ProfileReadTest, IntegersAndBooleans) {
  const auto r = ProfileReader::FromBytes(
      "[I]\r\nhex=0x1A\r\ndollar=$1f\r\nneg=-5\r\nbad=abc\r\nq=\"12\"\r\nt=2\r\nf=0\r\nempty=\r\n");
  EXPECT_EQ(r.ReadInteger("I", "hex", 0), 26);
  EXPECT_EQ(r.ReadInteger("I", "dollar", 0), 31);
  EXPECT_EQ(r.ReadInteger("I", "neg", 0), -5);
  EXPECT_EQ(r.ReadInteger("I", "bad", 9), 9);
  EXPECT_EQ(r.ReadInteger("I", "q", 0), 12);
  EXPECT_EQ(r.ReadInteger("I", "empty", 9), 9);
  EXPECT_TRUE(r.ReadBool("I", "t", false));
  EXPECT_FALSE(r.ReadBool("I", "f", true));
  EXPECT_TRUE(r.ReadBool("I", "bad", true));
  EXPECT_FALSE(r.ReadBool("I", "bad", false));
  EXPECT_TRUE(r.SectionExists("i"));
  EXPECT_FALSE(r.SectionExists("J"));
}

}  // namespace
}  // namespace kb
