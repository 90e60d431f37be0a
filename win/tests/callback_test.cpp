// The window layer's barrier: no exception leaves a function the system
// calls.
#include "win/window.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "win/testing/testing.h"
#include "win/tests/test_host.h"

namespace kb::win::tests {
namespace {

// Collects what reaches the error reporter (from any thread) while it lives.
class ReportedErrors {
 public:
  ReportedErrors() {
    SetErrorReporter([this](const std::string& text) {
      std::lock_guard<std::mutex> lock(mutex_);
      texts_.push_back(text);
    });
  }
  ~ReportedErrors() { SetErrorReporter(nullptr); }
  std::vector<std::string> Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
};

BOOL CALLBACK ThrowingEnumeration(HWND, LPARAM) {
  return GuardCallback(FALSE, []() -> BOOL { throw std::runtime_error("列挙で失敗"); });
}

bool timerCalled = false;
void CALLBACK ThrowingTimer(HWND, UINT, UINT_PTR id, DWORD) {
  GuardCallback([id] {
    KillTimer(nullptr, id);
    timerCalled = true;
    throw std::runtime_error("タイマーで失敗");
  });
}

DWORD WINAPI ThrowingThread(void*) {
  return GuardCallback(DWORD{7},
                       []() -> DWORD { throw std::out_of_range("スレッドで失敗"); });
}

class ThrowingWindow : public TestHost {
 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_APP) throw std::runtime_error("ウィンドウで失敗");
    if (msg == WM_APP + 1) throw 42;  // not even a std::exception
    return TestHost::HandleMessage(msg, wParam, lParam);
  }
};

// Each case throws inside a callback that a system library calls.  The
// 32-bit build cannot unwind through those libraries: without the barrier
// the test program would end right there.
TEST(CallbackBarrier, ExceptionsStopInsideEveryKindOfSystemCallback) {
  ReportedErrors reported;
  ThrowingWindow window;
  struct Case {
    const char* what;
    std::function<void()> run;
    std::string reportedText;
  };
  const Case cases[] = {
      {"enumeration callback",
       [] {
         // The fallback ends the enumeration at the first window.
         EXPECT_FALSE(EnumThreadWindows(GetCurrentThreadId(), &ThrowingEnumeration, 0));
       },
       "列挙で失敗"},
      {"timer procedure",
       [] {
         timerCalled = false;
         ASSERT_NE(SetTimer(nullptr, 0, 1, &ThrowingTimer), 0u);
         EXPECT_TRUE(testing::WaitUntil([] { return timerCalled; }, 10000));
       },
       "タイマーで失敗"},
      {"thread entry",
       [] {
         HANDLE thread = CreateThread(nullptr, 0, &ThrowingThread, nullptr, 0, nullptr);
         ASSERT_NE(thread, nullptr);
         EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
         DWORD code = 0;
         GetExitCodeThread(thread, &code);
         EXPECT_EQ(code, 7u);
         CloseHandle(thread);
       },
       "スレッドで失敗"},
      {"window procedure",
       [&window] { EXPECT_EQ(SendMessageW(window.hwnd(), WM_APP, 0, 0), 0); },
       "ウィンドウで失敗"},
      {"window procedure, no std::exception",
       [&window] { EXPECT_EQ(SendMessageW(window.hwnd(), WM_APP + 1, 0, 0), 0); },
       "unknown error"},
  };
  for (const Case& c : cases) {
    const size_t before = reported.Texts().size();
    c.run();
    const std::vector<std::string> texts = reported.Texts();
    ASSERT_EQ(texts.size(), before + 1) << c.what;
    EXPECT_EQ(texts.back(), c.reportedText) << c.what;
  }
  EXPECT_TRUE(IsWindow(window.hwnd())) << "the window lives on";
}

}  // namespace
}  // namespace kb::win::tests
