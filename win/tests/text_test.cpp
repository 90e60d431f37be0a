// Code page 932 conversion at the Win32 boundary.
#include <gtest/gtest.h>

#include "win/text.h"

namespace kb::win {
namespace {

TEST(TextTest, WidenReadsShiftJisWithBackslashTrailBytes) {
  EXPECT_EQ(Widen("表示名"), L"\u8868\u793A\u540D");
  EXPECT_EQ(Widen("C:\\表\\ソ"), L"C:\\\u8868\\\u30BD");
  EXPECT_EQ(Widen("ｷｬﾝｾﾙ"), L"\uFF77\uFF6C\uFF9D\uFF7E\uFF99");
  EXPECT_EQ(Widen(""), L"");
  EXPECT_EQ(Widen(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(TextTest, NarrowGivesShiftJisBytes) {
  EXPECT_EQ(Narrow(L"\u8868\u793A\u540D"), std::optional<std::string>("\x95\x5C\x8E\xA6\x96\xBC"));
  EXPECT_EQ(Narrow(L"\uFF77\uFF6C\uFF9D\uFF7E\uFF99"), std::optional<std::string>("ｷｬﾝｾﾙ"));
  EXPECT_EQ(Narrow(L""), std::optional<std::string>(""));
  EXPECT_EQ(Narrow(L"C:\\dir"), std::optional<std::string>("C:\\dir"));
}

TEST(TextTest, RoundTripKeepsEveryByte) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "予定表ソフト\\ｱ-";
  EXPECT_EQ(Narrow(Widen(text)), std::optional<std::string>(text));
}

TEST(TextTest, CharactersWithoutShiftJisFormAreRefused) {
  // No look-alike replacement: "é" and "€" have no Shift-JIS form, "¥" is no
  // backslash, and a character beyond the basic plane has none either.
  EXPECT_FALSE(Narrow(L"caf\u00E9").has_value());
  EXPECT_FALSE(Narrow(L"\u20AC").has_value());
  EXPECT_FALSE(Narrow(L"\u00A5").has_value());
  EXPECT_FALSE(Narrow(L"x\U0001F600").has_value());
  EXPECT_FALSE(Narrow(L"?\u00E9").has_value());  // a real '?' does not hide the refusal
}

TEST(TextTest, NarrowOrThrowNamesTheText) {
  EXPECT_EQ(NarrowOrThrow(L"\u8868"), "表");
  try {
    NarrowOrThrow(L"a\u20ACb");
    FAIL() << "no exception";
  } catch (const UnrepresentableName& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("a?b"), std::string::npos) << message;
    EXPECT_NE(message.find("シフトJIS"), std::string::npos);
  }
}

}  // namespace
}  // namespace kb::win
