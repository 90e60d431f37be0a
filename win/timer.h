// A timer whose callback runs on the user-interface thread, like the forms'
// timers: interval, Start/Stop, Enabled.
//
// Each timer has a small message-only window of its own, so WM_TIMER reaches
// it through whatever message loop runs (also a modal one) and an exception
// in the callback is stopped at the window's barrier.
#pragma once

#include <windows.h>

#include <functional>

#include "win/window.h"

namespace kb::win {

class Timer {
 public:
  explicit Timer(UINT intervalMs = 1000, std::function<void()> onTimer = {});
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(UINT intervalMs);  // restarts a running timer
  UINT Interval() const { return interval_; }
  void SetOnTimer(std::function<void()> onTimer) { onTimer_ = std::move(onTimer); }

  // Start and Stop may be called from inside the callback.
  void Start();
  void Stop();
  void SetEnabled(bool enabled) { enabled ? Start() : Stop(); }
  bool Enabled() const { return enabled_; }

 private:
  class Sink : public Window {
   public:
    explicit Sink(Timer& owner) : owner_(owner) {}
    ~Sink() override { Destroy(); }

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

   private:
    Timer& owner_;
  };

  void Fire();

  UINT interval_;
  std::function<void()> onTimer_;
  bool enabled_ = false;
  Sink sink_{*this};
};

}  // namespace kb::win
