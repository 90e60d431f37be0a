// COM for the user-interface thread: initialised once, apartment-threaded,
// when the launcher starts, and released when it ends.  The shell's objects
// (shortcuts, the folder dialog) need it; starting and ending COM around
// each call instead loads and unloads its libraries every time.
#pragma once

#include <objbase.h>

namespace kb::win {

class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    // S_FALSE (already initialised on this thread) is balanced too; a thread
    // already in the other model (RPC_E_CHANGED_MODE) got nothing to release.
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool Initialised() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

}  // namespace kb::win
