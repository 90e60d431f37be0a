#include "tools/common/exit_option.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kb::tools {
namespace {

void ExpectExit(std::string_view param, uint32_t flags) {
  const ExitCommand c = ExitCommandFor(param);
  EXPECT_EQ(c.action, ExitAction::kExitWindows) << param;
  EXPECT_EQ(c.flags, flags) << param;
}

void ExpectNothing(std::string_view param) {
  EXPECT_EQ(ExitCommandFor(param).action, ExitAction::kNone) << param;
}

TEST(ExitOptions, EachOptionInBothCases) {
  for (std::string p : {"/f", "/F"}) ExpectExit(p, 13);  // not 5: power-off too
  for (std::string p : {"/l", "/L", "/p", "/P"}) ExpectExit(p, 8);  // /l is no log-off
  for (std::string p : {"/r", "/R"}) ExpectExit(p, 2);
  for (std::string p : {"/s", "/S"}) ExpectExit(p, 1);
  for (std::string p : {"/w", "/W"}) {
    EXPECT_EQ(ExitCommandFor(p).action, ExitAction::kStartWexdo) << p;
  }
}

TEST(ExitOptions, NoParameterAsksForUsage) {
  EXPECT_EQ(ExitCommandFor("").action, ExitAction::kShowUsage);
}

TEST(ExitOptions, OnlyExactWholeParametersMatch) {
  for (std::string p : std::vector<std::string>{"/S2", "-S", "/shutdown", "/x", "S", "/", "//S", " /S", "/S ", "/s/",
                        "\\S", "/ｓ", std::string("/S\0", 3)}) {
    ExpectNothing(p);
  }
}

}  // namespace
}  // namespace kb::tools
