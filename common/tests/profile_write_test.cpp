#include <gtest/gtest.h>

#include "common/profile.h"

namespace kb {
namespace {

std::string Written(std::string_view file, void (*edit)(ProfileWriter&)) {
  ProfileWriter w = ProfileWriter::FromBytes(file);
  edit(w);
  return w.Bytes();
}

TEST(ProfileWriteTest, UntouchedFileComesBackByteForByte) {
  const std::string file =
      "; comment\r\n\r\n  [Info] \r\nType = 2\n\nunknown\tkey=\"quoted\"\r[Other]\r\nx=1";
  EXPECT_EQ(ProfileWriter::FromBytes(file).Bytes(), file);
}

TEST(ProfileWriteTest, ChangedKeyKeepsItsLineAndEverythingElse) {
  const std::string file = "; head\r\n[Info]\r\n  Type = 2 \r\n; note\r\nOther=x\r\n\r\n[B]\r\nk=1\r\n";
  EXPECT_EQ(Written(file, [](ProfileWriter& w) { w.WriteInteger("info", "TYPE", 3); }),
            "; head\r\n[Info]\r\n  Type = 3\r\n; note\r\nOther=x\r\n\r\n[B]\r\nk=1\r\n");
}

TEST(ProfileWriteTest, NewKeyGoesAfterTheSectionsLastNonBlankLine) {
  const std::string file = "[A]\r\nk=1\r\n\r\n\r\n[B]\r\n";
  EXPECT_EQ(Written(file, [](ProfileWriter& w) { w.WriteString("A", "n", "v"); }),
            "[A]\r\nk=1\r\nn=v\r\n\r\n\r\n[B]\r\n");
  EXPECT_EQ(Written(file, [](ProfileWriter& w) { w.WriteString("B", "n", "v"); }),
            "[A]\r\nk=1\r\n\r\n\r\n[B]\r\nn=v\r\n");
}

TEST(ProfileWriteTest, NewSectionIsAppended) {
  EXPECT_EQ(Written("", [](ProfileWriter& w) { w.WriteString("A", "k", "v"); }), "[A]\r\nk=v\r\n");
  // A file without a final line end gets one before the new section.
  EXPECT_EQ(Written("[A]\r\nk=1", [](ProfileWriter& w) { w.WriteString("B", "k", "v"); }),
            "[A]\r\nk=1\r\n[B]\r\nk=v\r\n");
  // New lines follow the file's own line ends.
  EXPECT_EQ(Written("[A]\nk=1\n", [](ProfileWriter& w) { w.WriteString("B", "k", "v"); }),
            "[A]\nk=1\n[B]\nk=v\n");
  // A key added after the last line of a file without a final line end.
  EXPECT_EQ(Written("[A]\r\nk=1", [](ProfileWriter& w) { w.WriteString("A", "n", "v"); }),
            "[A]\r\nk=1\r\nn=v");
}

TEST(ProfileWriteTest, FirstDuplicateIsTheOneChanged) {
  const std::string file = "[A]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\n";
  EXPECT_EQ(Written(file, [](ProfileWriter& w) { w.WriteString("A", "k", "9"); }),
            "[A]\r\nk=9\r\nk=2\r\n[A]\r\nk=3\r\n");
  // A name line without '=' is the first of its name: it gets the value.
  EXPECT_EQ(Written("[A]\r\nk\r\nk=1\r\n", [](ProfileWriter& w) { w.WriteString("A", "k", "9"); }),
            "[A]\r\nk=9\r\nk=1\r\n");
}

TEST(ProfileWriteTest, WrittenValuesReadBackAsWritten) {
  const std::string values[] = {"plain", "", " lead", "trail ", "\"quoted\"", "'q'", "\"",
                                "表\\ソ\\", "\x81\x40wide", "x\"y", std::string(1023, 'z')};
  auto key = [](size_t i) { return std::string(1, 'k').append(std::to_string(i)); };
  ProfileWriter w = ProfileWriter::FromBytes("");
  for (size_t i = 0; i < std::size(values); ++i) w.WriteString("S", key(i), values[i]);
  const ProfileReader r = ProfileReader::FromBytes(w.Bytes());
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(r.ReadString("S", key(i), "<def>"), values[i]) << i;
  }
  EXPECT_NE(w.Bytes().find("k0=plain\r\n"), std::string::npos);  // plain values stay unquoted
}

TEST(ProfileWriteTest, LineBreaksInValuesCannotForgeKeys) {
  ProfileWriter w = ProfileWriter::FromBytes("[A]\r\n");
  w.WriteString("A", "name", "evil\r\n[Info]\r\nType=0");
  const ProfileReader r = ProfileReader::FromBytes(w.Bytes());
  EXPECT_EQ(r.ReadString("A", "name", ""), "evil  [Info]  Type=0");
  EXPECT_FALSE(r.SectionExists("Info"));
}

TEST(ProfileWriteTest, NamesTheFileCannotHoldAreRefused) {
  ProfileWriter w = ProfileWriter::FromBytes("");
  EXPECT_THROW(w.WriteString("A]", "k", "v"), std::invalid_argument);
  EXPECT_THROW(w.WriteString("A", "k=x", "v"), std::invalid_argument);
  EXPECT_THROW(w.WriteString("A", " ", "v"), std::invalid_argument);
  EXPECT_THROW(w.WriteString("A", "[k", "v"), std::invalid_argument);
  EXPECT_EQ(w.Bytes(), "");
}

TEST(ProfileWriteTest, EraseRemovesTheFirstSectionWithItsLines) {
  const std::string file = "[A]\r\nk=1\r\n; c\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\n";
  ProfileWriter w = ProfileWriter::FromBytes(file);
  w.EraseSection("a");
  EXPECT_EQ(w.Bytes(), "[B]\r\nk=2\r\n[a]\r\nk=3\r\n");
  // The later duplicate is now the first and takes writes.
  w.WriteString("A", "k", "4");
  EXPECT_EQ(w.Bytes(), "[B]\r\nk=2\r\n[a]\r\nk=4\r\n");
  w.EraseSection("missing");
  EXPECT_EQ(w.Bytes(), "[B]\r\nk=2\r\n[a]\r\nk=4\r\n");
}

TEST(ProfileWriteTest, ShiftJisSectionsAndValuesSurvive) {
  ProfileWriter w = ProfileWriter::FromBytes("[表]\r\nソ=1\r\n");
  w.WriteString("表", "ソ", "C:\\表\\");
  w.WriteString("表", "新", "ゾ]");
  EXPECT_EQ(w.Bytes(), "[表]\r\nソ=C:\\表\\\r\n新=ゾ]\r\n");
}

TEST(ProfileWriteTest, FilesWithByteOrderMarksKeepTheirEncoding) {
  const std::string utf8 = "\xEF\xBB\xBF; \xE2\x82\xAC sign\r\n[A]\r\nk=1\r\n";  // '€' has no Shift-JIS form
  ProfileWriter w = ProfileWriter::FromBytes(utf8);
  w.WriteString("A", "k", "名");
  EXPECT_EQ(w.Bytes(), "\xEF\xBB\xBF; \xE2\x82\xAC sign\r\n[A]\r\nk=\xE5\x90\x8D\r\n");
  const std::string utf16le("\xFF\xFE[\0A\0]\0\r\0\n\0", 12);
  ProfileWriter w16 = ProfileWriter::FromBytes(utf16le);
  w16.WriteString("A", "k", "v");
  EXPECT_EQ(w16.Bytes(), utf16le + std::string("k\0=\0v\0\r\0\n\0", 10));
}

}  // namespace
}  // namespace kb
