#include "tools/common/command_line.h"

#include <gtest/gtest.h>

#include "tools/common/exit_option.h"

namespace kb::tools {
namespace {

TEST(FirstParameter, SkipsProgramNameAndTakesOnlyTheFirst) {
  EXPECT_EQ(FirstParameter("HURTLE.EXE /S"), "/S");
  EXPECT_EQ(FirstParameter("HURTLE.EXE /S /R extra"), "/S");
  EXPECT_EQ(FirstParameter("\"C:\\Program Files\\K\\HURTLE.EXE\" /f"), "/f");
  EXPECT_EQ(FirstParameter("HURTLE.EXE"), "");
  EXPECT_EQ(FirstParameter("HURTLE.EXE    "), "");
  EXPECT_EQ(FirstParameter(""), "");
}

TEST(FirstParameter, BlanksAndControlCharactersSeparate) {
  EXPECT_EQ(FirstParameter("a.exe\t/S\tx"), "/S");
  EXPECT_EQ(FirstParameter("a.exe\x01/r\x1f"), "/r");
  EXPECT_EQ(FirstParameter("a.exe \r\n /w"), "/w");
  EXPECT_EQ(FirstParameter("a.exe/S"), "");  // one word: the program name
}

TEST(FirstParameter, QuotesGroupAndAreRemoved) {
  EXPECT_EQ(FirstParameter("a.exe \"/S\""), "/S");
  EXPECT_EQ(FirstParameter("a.exe \"/S x\" y"), "/S x");
  EXPECT_EQ(FirstParameter("a.exe /\"S\""), "/S");
  EXPECT_EQ(FirstParameter("a.exe \"/S"), "/S");  // unclosed: to the end
  EXPECT_EQ(FirstParameter("a.exe \"\" /S"), "/S");
  EXPECT_EQ(FirstParameter("a.exe \"\""), "");
}

TEST(FirstParameter, StopsAtNul) {
  EXPECT_EQ(FirstParameter(std::string_view("a.exe /S\0/R", 11)), "/S");
  EXPECT_EQ(FirstParameter(std::string_view("a.exe\0 /S", 9)), "");
}

TEST(FirstParameter, DoubleByteCharactersStayWhole) {
  // "表" ends in 0x5C and "ー" (81 5B) has no separator byte; high bytes
  // must not count as control characters.
  EXPECT_EQ(FirstParameter("a.exe 表示\x81\x40x /S"), "表示\x81\x40x");
  EXPECT_EQ(FirstParameter("\"C:\\表\\a.exe\" \x81\x5B"), "\x81\x5B");
}

TEST(FirstParameter, WideFormFollowsTheSameRules) {
  EXPECT_EQ(FirstParameter(L"\"C:\\x y\\Vaulter2.exe\"  \"/r\" z"), L"/r");
  EXPECT_EQ(FirstParameter(L"Vaulter2.exe\t\"\"/r"), L"/r");
  EXPECT_EQ(FirstParameter(L"Vaulter2.exe \u8868 /r"), L"\u8868");
  EXPECT_EQ(FirstParameter(L"Vaulter2.exe"), L"");
}

}  // namespace
}  // namespace kb::tools
