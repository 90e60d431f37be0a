// Runs one archiver command line on the host, as the archiver library would
// on Windows:  lzh_pack a "out/backup" "data/*.dat"
// The arguments are joined with blanks, each in double quotes after the
// first; the output is printed and the exit code is 0 only for success.
#include <cstdio>
#include <string>

#include "lzh/tests/std_file_system.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: lzh_pack COMMAND ARCHIVE [FILE...]\n");
    return 2;
  }
  std::string line = argv[1];
  for (int i = 2; i < argc; ++i) line += std::string(" \"") + argv[i] + "\"";
  kb::lzh::testing::StdFileSystem fs;
  kb::lzh::CommandResult result = kb::lzh::RunCommand(line, fs);
  std::fwrite(result.output.data(), 1, result.output.size(), stdout);
  return result.status == kb::lzh::Status::kOk ? 0 : 1;
}
