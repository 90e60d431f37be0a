// The archiver's command line, Shift-JIS path helpers and the output copy.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lzh/command_line.h"
#include "lzh/commands.h"
#include "lzh/sjis.h"
#include "lzh/status.h"

namespace kb::lzh {
namespace {

TEST(CommandLine, TheLaunchersArchiveCommand) {
  Command c = ParseCommandLine("a \"C:\\BK\\981231235959\" \"C:\\APP\\*.DAT\" \"D:\\My Data\\表示.ini\"");
  EXPECT_EQ(c.letter, 'a');
  EXPECT_EQ(c.archive, "C:\\BK\\981231235959.lzh");
  EXPECT_EQ(c.baseFolder, "");
  ASSERT_EQ(c.files.size(), 2u);
  EXPECT_EQ(c.files[0], "C:\\APP\\*.DAT");
  EXPECT_EQ(c.files[1], "D:\\My Data\\表示.ini");
}

TEST(CommandLine, SwitchesBaseFolderAndQuoting) {
  Command c = ParseCommandLine("  A -n -m1 arc.LZH base\\ x.txt \"-dash.txt\" a\" b\"c  ");
  EXPECT_EQ(c.letter, 'a');
  EXPECT_EQ(c.switches, (std::vector<std::string>{"-n", "-m1"}));
  EXPECT_EQ(c.archive, "arc.LZH");
  EXPECT_EQ(c.baseFolder, "base\\");
  EXPECT_EQ(c.files, (std::vector<std::string>{"x.txt", "-dash.txt", "a bc"}));
  EXPECT_EQ(ResolvePattern(c, "x.txt"), "base\\x.txt");
  EXPECT_EQ(ResolvePattern(c, "C:\\y.txt"), "C:\\y.txt");
  EXPECT_EQ(ResolvePattern(c, "\\y.txt"), "\\y.txt");
}

TEST(CommandLine, RefusedLines) {
  struct Case {
    const char* line;
    Status status;
  } cases[] = {
      {"", Status::kBadCommand},
      {"   ", Status::kBadCommand},
      {"add x.lzh y", Status::kBadCommand},
      {"1 x.lzh y", Status::kBadCommand},
      {"a -r x.lzh y", Status::kBadCommand},  // would change what is packed
      {"a -n", Status::kNoFile},
  };
  for (const Case& c : cases) {
    try {
      ParseCommandLine(c.line);
      ADD_FAILURE() << c.line;
    } catch (const LzhError& e) {
      EXPECT_EQ(e.status(), c.status) << c.line;
    }
  }
}

TEST(CommandLine, DefaultExtensionLooksAtTheFileNameOnly) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"C:\\BK\\981231235959", "C:\\BK\\981231235959.lzh"},
      {"C:\\my.folder\\stamp", "C:\\my.folder\\stamp.lzh"},
      {"backup.LZH", "backup.LZH"},
      {"backup.old", "backup.old"},
      {"C:\\表", "C:\\表.lzh"},  // 95 5C: the trail byte is no separator
      {"C:\\表.x", "C:\\表.x"},
      {"D:stamp", "D:stamp.lzh"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithDefaultExtension(c.in), c.out) << c.in;
}

TEST(ShiftJisPaths, TrailBytesAreNotSeparators) {
  EXPECT_EQ(FileNameStart("C:\\表示\\表"), std::string("C:\\表示\\").size());
  EXPECT_EQ(FileNameStart("表"), 0u);
  EXPECT_FALSE(EndsWithSeparator("C:\\表"));
  EXPECT_TRUE(EndsWithSeparator("C:\\表\\"));
  EXPECT_TRUE(SameNameIgnoringCase("Data.DAT", "data.dat"));
  // 83 5C (ソ) and 83 7C (ポ) differ only where lowering must not reach.
  EXPECT_FALSE(SameNameIgnoringCase("ソ", "ポ"));
  EXPECT_FALSE(SameNameIgnoringCase("\x83\x41", "\x83\x61"));  // trail bytes look like A and a
  EXPECT_EQ(CutToBytes("ab表", 3), "ab");
  EXPECT_EQ(CutToBytes("ab表", 4), "ab表");
}

TEST(OutputBuffer, NeverWritesPastItsSize) {
  const std::string text = "表示.txt  OK\r\n";
  for (std::size_t size = 0; size < text.size() + 3; ++size) {
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    CopyToBuffer(text, buffer, size);
    for (std::size_t i = size; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], '#') << "size " << size;
    if (size == 0) continue;
    std::string got(buffer);
    EXPECT_LT(got.size(), size);
    EXPECT_EQ(text.compare(0, got.size(), got), 0);
    if (size == 2) {
      EXPECT_EQ(got, "") << "half a double-byte character is left out";
    }
  }
  CopyToBuffer(text, nullptr, 10);  // no buffer: nothing happens
}

}  // namespace
}  // namespace kb::lzh
