// The archiver's command line: `command [-switches] archive[.lzh] [basedir\]
// files...`, names with blanks in double quotes.  The text is Shift-JIS; no
// lead or trail byte is a blank or a double quote, so splitting needs no
// double-byte care, but folder separators do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kb::lzh {

struct Argument {
  std::string text;
  bool quoted = false;  // a quoted "-x" is a name, not a switch
};

// Blanks (space, tab, CR, LF) separate; double quotes group and are dropped.
std::vector<Argument> SplitArguments(std::string_view line);

struct Command {
  char letter = 0;  // lower case
  std::vector<std::string> switches;
  std::string archive;     // with ".lzh" added when the name had no extension
  // "" or ending in a separator (or a drive, "D:"): for "a" the folder
  // relative patterns start from, for "e" and "x" the target folder.
  std::string baseFolder;
  std::vector<std::string> files;
};

// Throws LzhError: kBadCommand for an empty line, a command that is not one
// letter, or an unknown switch; kNoFile when the archive name is missing.
Command ParseCommandLine(std::string_view line);

// archive + ".lzh" when its file name has no extension.
std::string WithDefaultExtension(std::string_view archive);

// The file pattern with the base folder in front of a relative one.
std::string ResolvePattern(const Command& command, const std::string& file);

}  // namespace kb::lzh
