#include "win/timer.h"

namespace kb::win {
namespace {
constexpr UINT_PTR kTimerId = 1;
}

Timer::Timer(UINT intervalMs, std::function<void()> onTimer)
    : interval_(intervalMs), onTimer_(std::move(onTimer)) {}

Timer::~Timer() { Stop(); }

void Timer::SetInterval(UINT intervalMs) {
  interval_ = intervalMs;
  if (enabled_) Start();
}

void Timer::Start() {
  if (!sink_.hwnd()) {
    sink_.Create(L"TTimerSink", 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
  }
  // SetTimer on the same id replaces the running timer with the new interval.
  if (sink_.hwnd() && interval_ > 0 && SetTimer(sink_.hwnd(), kTimerId, interval_, nullptr)) {
    enabled_ = true;
  }
}

void Timer::Stop() {
  if (enabled_ && sink_.hwnd()) KillTimer(sink_.hwnd(), kTimerId);
  enabled_ = false;
}

void Timer::Fire() {
  // A WM_TIMER already queued when the timer was stopped is dropped.
  if (enabled_ && onTimer_) {
    auto callback = onTimer_;  // the callback may replace itself
    callback();
  }
}

LRESULT Timer::Sink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == kTimerId) {
    owner_.Fire();
    return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

}  // namespace kb::win
