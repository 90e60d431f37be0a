#include <gtest/gtest.h>

#include "common/path.h"

namespace kb {
namespace {

// "表" is 95 5C and "ソ" is 83 5C: their trail byte is a backslash.
const std::string kHyo = "表";
const std::string kSo = "ソ";

TEST(PathTest, TrailByteIsNoSeparator) {
  ASSERT_EQ(kHyo, "\x95\x5C");
  EXPECT_EQ(FolderPart("C:\\" + kHyo + "\\" + kSo + ".exe"), "C:\\" + kHyo + "\\");
  EXPECT_EQ(FilePart("C:\\" + kHyo + "\\" + kSo + ".exe"), kSo + ".exe");
  EXPECT_EQ(FolderPart("C:\\dir\\" + kHyo), "C:\\dir\\");
  EXPECT_EQ(FilePart("C:\\dir\\" + kHyo), kHyo);
  EXPECT_EQ(FolderPart(kHyo), "");
  EXPECT_EQ(FilePart(kHyo), kHyo);
}

TEST(PathTest, FolderAndFileParts) {
  EXPECT_EQ(FolderPart("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(FilePart("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(FolderPart("b.txt"), "");
  EXPECT_EQ(FolderPart("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(FilePart("C:\\a\\"), "");
}

TEST(PathTest, Extensions) {
  EXPECT_EQ(ExtensionOf("C:\\a.dir\\file"), "");
  EXPECT_EQ(ExtensionOf("C:\\a\\file.tar.LZH"), ".LZH");
  EXPECT_EQ(ExtensionOf("C:\\a\\file."), ".");
  EXPECT_EQ(ExtensionOf(kHyo + ".txt"), ".txt");
  EXPECT_EQ(WithoutExtension("file.tar.gz"), "file.tar");
  EXPECT_EQ(WithoutExtension("C:\\a.dir\\file"), "C:\\a.dir\\file");
  EXPECT_EQ(WithoutExtension(kSo + ".exe"), kSo);
}

TEST(PathTest, LowerAsciiKeepsDoubleByteCharacters) {
  // "Ａ" is 82 60, "ア" is 83 41: the trail byte 0x41 is 'A' and must stay.
  EXPECT_EQ(LowerAscii("ABC.EXE"), "abc.exe");
  EXPECT_EQ(LowerAscii("ア"), "ア");
  EXPECT_EQ(LowerAscii("Xア.TXT"), "xア.txt");
}

TEST(PathTest, JoinAddsOneSeparator) {
  EXPECT_EQ(JoinPath("C:\\a", "b"), "C:\\a\\b");
  EXPECT_EQ(JoinPath("C:\\a\\", "b"), "C:\\a\\b");
  EXPECT_EQ(JoinPath("", "b"), "b");
  // A folder ending in "表" does not end in a backslash.
  EXPECT_EQ(JoinPath("C:\\" + kHyo, "b"), "C:\\" + kHyo + "\\b");
  EXPECT_TRUE(EndsWithBackslash("C:\\" + kHyo + "\\"));
  EXPECT_FALSE(EndsWithBackslash("C:\\" + kHyo));
}

TEST(PathTest, CutNeverSplitsACharacter) {
  EXPECT_EQ(CutToBytes("abcdef", 3), "abc");
  EXPECT_EQ(CutToBytes("ab" + kHyo, 3), "ab");
  EXPECT_EQ(CutToBytes("ab" + kHyo, 4), "ab" + kHyo);
  EXPECT_EQ(CutToBytes("ab", 10), "ab");
  // A lead byte at the very end stands alone.
  EXPECT_EQ(CutToBytes("a\x95", 2), "a\x95");
}

}  // namespace
}  // namespace kb
