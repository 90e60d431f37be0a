// Copies its first argument onto its second over and over until it is
// killed; the copy test ends it in the middle of a copy.  A third argument
// "session" copies through one CopySession, as the backup worker does.
#include <windows.h>

#include <string>

#include "win/lz_copy.h"
#include "win/text.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4) return 2;
  const std::string source = kb::win::Narrow(argv[1]).value_or("");
  const std::string destination = kb::win::Narrow(argv[2]).value_or("");
  if (argc == 4 && std::wstring(argv[3]) == L"session") {
    kb::CopySession session;
    for (;;) session.Copy(source, destination);
  }
  for (;;) kb::LzCopyFile(source, destination);
}
