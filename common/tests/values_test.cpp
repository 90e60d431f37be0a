#include <gtest/gtest.h>

#include "common/values.h"

namespace kb {
namespace {

TEST(ValuesTest, DecimalAndHex) {
  EXPECT_EQ(ParseProfileInteger("26", 7), 26);
  EXPECT_EQ(ParseProfileInteger("-5", 7), -5);
  EXPECT_EQ(ParseProfileInteger("+5", 7), 5);
  EXPECT_EQ(ParseProfileInteger("0x1A", 7), 26);
  EXPECT_EQ(ParseProfileInteger("0X1a", 7), 26);
  EXPECT_EQ(ParseProfileInteger("$1f", 7), 31);
  EXPECT_EQ(ParseProfileInteger("-$10", 7), -16);
  EXPECT_EQ(ParseProfileInteger("007", 1), 7);
}

TEST(ValuesTest, UnreadableTextGivesTheDefault) {
  EXPECT_EQ(ParseProfileInteger("", 7), 7);
  EXPECT_EQ(ParseProfileInteger("0x", 7), 7);  // too short to be hex, not decimal either
  EXPECT_EQ(ParseProfileInteger("$", 7), 7);
  EXPECT_EQ(ParseProfileInteger("-", 7), 7);
  EXPECT_EQ(ParseProfileInteger("12abc", 7), 7);
  EXPECT_EQ(ParseProfileInteger("abc", 7), 7);
  EXPECT_EQ(ParseProfileInteger("1 2", 7), 7);
  EXPECT_EQ(ParseProfileInteger("0xZZ", 7), 7);
  EXPECT_EQ(ParseProfileInteger("-0x10", 7), 7);
  EXPECT_EQ(ParseProfileInteger("１２", 7), 7);  // full-width digits are no number
}

TEST(ValuesTest, ThirtyTwoBitLimits) {
  EXPECT_EQ(ParseProfileInteger("2147483647", 7), 2147483647);
  EXPECT_EQ(ParseProfileInteger("-2147483648", 7), INT32_MIN);
  EXPECT_EQ(ParseProfileInteger("2147483648", 7), 7);
  EXPECT_EQ(ParseProfileInteger("-2147483649", 7), 7);
  EXPECT_EQ(ParseProfileInteger("99999999999999999999", 7), 7);
  EXPECT_EQ(ParseProfileInteger("$FFFFFFFF", 7), -1);
  EXPECT_EQ(ParseProfileInteger("0x80000000", 7), INT32_MIN);
  EXPECT_EQ(ParseProfileInteger("$100000000", 7), 7);
  EXPECT_EQ(ParseProfileInteger("0x00000000000001", 7), 1);  // leading zeros are not digits that overflow
}

TEST(ValuesTest, FormatRoundTrips) {
  for (int32_t v : {0, 1, -1, 26, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(ParseProfileInteger(FormatProfileInteger(v), 7), v);
  }
  EXPECT_EQ(FormatProfileInteger(-42), "-42");
}

TEST(ValuesTest, BytesAreModulo256) {
  EXPECT_EQ(ToByte(5), 5);
  EXPECT_EQ(ToByte(255), 255);
  EXPECT_EQ(ToByte(256), 0);
  EXPECT_EQ(ToByte(258), 2);
  EXPECT_EQ(ToByte(-1), 255);
  EXPECT_EQ(ToByte(-256), 0);
}

}  // namespace
}  // namespace kb
