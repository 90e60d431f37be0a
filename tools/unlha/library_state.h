// What callers set for the whole process, and the caller's text: Shift-JIS,
// or UTF-8 while the Unicode mode is on.  Inside, every name stays
// Shift-JIS.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

#include "tools/unlha/unlha32_api.h"

namespace kb::unlha {

// The family's default busy-cursor interval, in milliseconds.
constexpr WORD kDefaultCursorInterval = 80;

// The library shows no window and no busy cursor, and sends nothing to an
// owner window (its commands report through their output text), so the
// modes and owners are kept and answered, not acted on.
class LibraryState {
 public:
  std::atomic<int> running{0};
  std::atomic<bool> unicode{false};

  // Reads or changes the fields below under the lock.
  template <typename Use>
  auto With(Use use) {
    std::lock_guard<std::mutex> lock(mutex_);
    return use(*this);
  }

  bool backGround = false;
  bool cursor = false;
  WORD cursorInterval = kDefaultCursorInterval;
  HWND owner = nullptr;
  HWND ownerEx = nullptr;  // the owner window of the callback set with the Ex functions
  ArchiverProc ownerProc = nullptr;

 private:
  std::mutex mutex_;
};

LibraryState& State();

// The caller's text as Shift-JIS.  In the Unicode mode throws LzhError:
// kBadCommand for bytes that are not UTF-8, kNotSupported for a character
// Shift-JIS has no form for (never a stand-in).
std::string ShiftJisFromCaller(const char* text);

// Shift-JIS text in the caller's form.  In the Unicode mode throws LzhError
// (kNotSupported) for bytes that are no Shift-JIS (a name from a foreign
// writer): a name is never handed out changed.
std::string CallerFromShiftJis(const std::string& text);

// Copies the caller's form of a message into buffer of size bytes, always
// NUL-terminated (when size > 0), cut on a character boundary; bytes that
// are no Shift-JIS become stand-ins.
void CopyToCaller(const std::string& shiftJis, char* buffer, std::size_t size);

}  // namespace kb::unlha
