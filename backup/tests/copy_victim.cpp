// Copies its first argument onto its second over and over until it is
// killed; the copy test ends it in the middle of a copy.
#include <windows.h>

#include "win/lz_copy.h"
#include "win/text.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::string source = kb::win::Narrow(argv[1]).value_or("");
  const std::string destination = kb::win::Narrow(argv[2]).value_or("");
  for (;;) kb::LzCopyFile(source, destination);
}
