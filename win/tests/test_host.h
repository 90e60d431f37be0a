// A plain top-level window for window-layer tests; it records the
// WM_COMMAND notifications its children send.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "win/window.h"

namespace kb::win::tests {

class TestHost : public Window {
 public:
  TestHost() {
    Create(L"TKbTestHost", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 300, 200, nullptr);
  }
  ~TestHost() override { Destroy(); }

  std::vector<std::pair<int, int>> commands;  // id, notification code

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_COMMAND) {
      commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
      return 0;
    }
    return DefaultHandling(msg, wParam, lParam);
  }
};

// A 32-bit memory canvas to draw into and read pixels from.
class Canvas {
 public:
  Canvas(int width, int height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

}  // namespace kb::win::tests
