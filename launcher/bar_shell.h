// What the bar asks of the shell and the system for its edge and for the
// screen-saver hold.  The bar goes through this class so a test can watch
// the calls, or answer where Wine cannot (a refused auto-hide registration;
// Wine reports the screen saver as always active).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

namespace kb {

class BarShell {
 public:
  virtual ~BarShell() = default;
  // SHAppBarMessage.
  virtual UINT_PTR AppBarMessage(DWORD message, APPBARDATA& data);
  // SystemParametersInfoW.
  virtual BOOL SystemParameters(UINT action, UINT param, void* value, UINT winIni);
  // "SCRNSAVE.EXE" of section "boot" of "SYSTEM.INI" (the platform's own
  // file in the Windows folder); "" when missing, nullopt when the value has
  // no Shift-JIS form.
  virtual std::optional<std::string> ReadSaverEntry();
  virtual void WriteSaverEntry(const std::string& sjisValue);
};

}  // namespace kb
