// The tools' waiting and acting, against a simulated clock and launcher.
#include "tools/common/companion.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/common/tick_deadline.h"

namespace kb::tools {
namespace {

// Time moves 1 ms with every message served and by the amount slept; the
// launcher's window exists until `goneAt` (measured from the start).
class FakeSystem : public ToolSystem {
 public:
  explicit FakeSystem(uint32_t start = 1000, uint64_t goneAt = 0) : start_(start), goneAt_(goneAt) {}

  struct Event {
    std::string what;
    uint64_t at;  // ms since the start
  };

  bool LauncherPresent() override {
    checks.push_back(elapsed_);
    return elapsed_ < goneAt_;
  }
  uint32_t TickCount() override { return static_cast<uint32_t>(start_ + elapsed_); }
  void ServeOneMessage() override {
    // A broken deadline would spin for weeks of simulated time: fail instead.
    if (++served > 100'000'000) throw std::runtime_error("slice never ends");
    ++elapsed_;
  }
  void Sleep(uint32_t ms) override {
    events.push_back({"sleep " + std::to_string(ms), elapsed_});
    elapsed_ += ms;
  }
  void EndSession(uint32_t flags) override {
    events.push_back({"exit " + std::to_string(flags), elapsed_});
  }
  void StartProgram(std::string_view line, int show) override {
    events.push_back({"start " + std::string(line) + " " + std::to_string(show), elapsed_});
  }
  void ShowMessage(std::string_view text, std::string_view caption) override {
    events.push_back({"message " + std::string(caption) + " " + std::string(text), elapsed_});
  }

  std::vector<uint64_t> checks;
  std::vector<Event> events;
  uint64_t served = 0;

 private:
  uint32_t start_;
  uint64_t elapsed_ = 0;
  uint64_t goneAt_;
};

const std::string kUsage = "message Hurtle " + std::string(kExitToolUsage);

TEST(DeadlineNotPassed, OrdinaryAndAcrossBothWrapPoints) {
  EXPECT_TRUE(DeadlineNotPassed(1500, 1000));
  EXPECT_TRUE(DeadlineNotPassed(1500, 1500));
  EXPECT_FALSE(DeadlineNotPassed(1500, 1501));
  // The counter wraps from 0xFFFFFFFF to 0 after 49.7 days.
  EXPECT_TRUE(DeadlineNotPassed(0x000000F4u, 0xFFFFFF00u));
  EXPECT_TRUE(DeadlineNotPassed(0x000000F4u, 0x00000010u));
  EXPECT_FALSE(DeadlineNotPassed(0x000000F4u, 0x000000F5u));
  // ... and changes sign after 24.9 days.
  EXPECT_TRUE(DeadlineNotPassed(0x800000F4u, 0x7FFFFF00u));
  EXPECT_FALSE(DeadlineNotPassed(0x7FFFFFFFu, 0x80000000u));
  EXPECT_FALSE(DeadlineNotPassed(0x7FFFFF00u, 0x800000F4u));
}

TEST(ExitTool, WithoutLauncherActsAfterHalfASecond) {
  FakeSystem system;
  RunExitTool(system, "/R");
  ASSERT_EQ(system.events.size(), 2u);
  EXPECT_EQ(system.events[0].what, "sleep 500");
  EXPECT_EQ(system.events[0].at, 0u);
  EXPECT_EQ(system.events[1].what, "exit 2");
  EXPECT_EQ(system.events[1].at, 500u);
  EXPECT_EQ(system.served, 0u);
}

TEST(ExitTool, WaitsInHalfSecondSlicesServingTheQueue) {
  FakeSystem system(1000, 1200);
  RunExitTool(system, "/F");
  // Each slice runs until the counter is past its deadline: 501 ticks.
  EXPECT_EQ(system.checks, (std::vector<uint64_t>{0, 501, 1002, 1503}));
  EXPECT_EQ(system.served, 1503u);
  ASSERT_EQ(system.events.size(), 2u);
  EXPECT_EQ(system.events[0].what, "sleep 500");
  EXPECT_EQ(system.events[0].at, 1503u);
  EXPECT_EQ(system.events[1].what, "exit 13");
}

TEST(ExitTool, EachOptionReachesTheSystem) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/S", "exit 1"}, {"/s", "exit 1"}, {"/P", "exit 8"}, {"/l", "exit 8"},
      {"/W", "start WEXDO.EXE /rw 0"}, {"/w", "start WEXDO.EXE /rw 0"}, {"", kUsage}};
  for (const auto& [param, expected] : cases) {
    FakeSystem system;
    RunExitTool(system, param);
    ASSERT_EQ(system.events.size(), 2u) << param;
    EXPECT_EQ(system.events[1].what, expected) << param;
  }
}

TEST(ExitTool, MessageOnlyAfterTheLauncherHasGone) {
  FakeSystem system(5, 2000);
  RunExitTool(system, "");
  ASSERT_EQ(system.events.size(), 2u);
  EXPECT_EQ(system.events[1].what, kUsage);
  EXPECT_GE(system.events[1].at, 2000u + 500u);
}

TEST(ExitTool, UnknownParameterWaitsThenDoesNothing) {
  for (const char* param : {"/S2", "-S", "/shutdown", "/x"}) {
    FakeSystem system(0, 700);
    RunExitTool(system, param);
    ASSERT_EQ(system.events.size(), 1u) << param;
    EXPECT_EQ(system.events[0].what, "sleep 500") << param;
    EXPECT_EQ(system.checks.size(), 3u) << param;
  }
}

TEST(ExitTool, SlicesKeepTheirLengthAcrossTheCounterWrapPoints) {
  for (uint32_t start : {0xFFFFFF00u, 0x7FFFFF00u, 0x7FFFFFFFu - 500u}) {
    FakeSystem system(start, 900);
    RunExitTool(system, "/S");
    EXPECT_EQ(system.checks, (std::vector<uint64_t>{0, 501, 1002})) << std::hex << start;
    ASSERT_EQ(system.events.size(), 2u);
    EXPECT_EQ(system.events[1].what, "exit 1");
  }
}

TEST(RestartTool, OnlyExactSlashLowercaseRStartsAnything) {
  for (const char* param : {"", "/R", "/r2", "r", "-r", "/s"}) {
    FakeSystem system(0, 100000);
    RunRestartTool(system, param);
    EXPECT_TRUE(system.checks.empty()) << param;  // no wait at all
    EXPECT_TRUE(system.events.empty()) << param;
  }
}

TEST(RestartTool, WithoutLauncherStartsItAfterHalfASecond) {
  FakeSystem system;
  RunRestartTool(system, "/r");
  ASSERT_EQ(system.events.size(), 2u);
  EXPECT_EQ(system.events[0].what, "sleep 500");
  EXPECT_EQ(system.events[1].what, "start Pelkan2.exe 5");
  EXPECT_EQ(system.events[1].at, 500u);
}

TEST(RestartTool, RelaunchFollowsTheEndOfTheThreeSecondSlice) {
  for (uint64_t gone : {1u, 1500u, 3000u, 3001u, 7000u}) {
    FakeSystem system(123, gone);
    RunRestartTool(system, "/r");
    for (size_t i = 1; i < system.checks.size(); ++i) {
      EXPECT_EQ(system.checks[i] - system.checks[i - 1], 3001u);
    }
    ASSERT_EQ(system.events.size(), 2u);
    EXPECT_EQ(system.events[1].what, "start Pelkan2.exe 5");
    EXPECT_GE(system.events[1].at, gone + 500) << gone;
    EXPECT_LE(system.events[1].at, gone + 3501) << gone;
  }
}

}  // namespace
}  // namespace kb::tools
