// Steps a test runs on its own thread while a modal loop of that thread is
// running (thread timers fire inside any message loop), and small readers of
// what a dialog shows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "win/window.h"

namespace kb::test {

using Step = std::function<void()>;

inline std::map<UINT_PTR, Step>& PendingSteps() {
  static std::map<UINT_PTR, Step> steps;
  return steps;
}

// A step that throws is reported (and fails the test through what it left
// undone), never unwound through the timer's system frames.
inline void CALLBACK RunPendingStep(HWND, UINT, UINT_PTR id, DWORD) {
  win::GuardCallback([id] {
    KillTimer(nullptr, id);
    auto it = PendingSteps().find(id);
    if (it == PendingSteps().end()) return;
    Step step = std::move(it->second);
    PendingSteps().erase(it);
    step();
  });
}

// Runs `step` about delayMs from now, from this thread's message loop.
inline UINT_PTR RunLater(Step step, UINT delayMs = 30) {
  const UINT_PTR id = SetTimer(nullptr, 0, delayMs, &RunPendingStep);
  PendingSteps()[id] = std::move(step);
  return id;
}

inline void CancelStep(UINT_PTR id) {
  KillTimer(nullptr, id);
  PendingSteps().erase(id);
}

// Ends a modal loop that a failed step left running, so a broken test fails
// instead of hanging; cancelled when the test scope ends.
class ModalTimeout {
 public:
  ModalTimeout(std::function<void()> end, UINT ms = 8000) : id_(RunLater(std::move(end), ms)) {}
  ~ModalTimeout() { CancelStep(id_); }
  ModalTimeout(const ModalTimeout&) = delete;
  ModalTimeout& operator=(const ModalTimeout&) = delete;

 private:
  UINT_PTR id_;
};

inline void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

// The 32 x 32 pixels (0x00RRGGBB, top row first) of an image-list image or
// of a bitmap.
inline std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width = 32, int height = 32) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

inline std::vector<uint32_t> ImagePixels(HIMAGELIST images, int index) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
  SelectObject(dc, old);
  DeleteDC(dc);
  std::vector<uint32_t> pixels = BitmapPixels(bitmap);
  DeleteObject(bitmap);
  return pixels;
}

}  // namespace kb::test
