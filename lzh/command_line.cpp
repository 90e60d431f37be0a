#include "lzh/command_line.h"

#include "lzh/sjis.h"
#include "lzh/status.h"

namespace kb::lzh {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsDigits(std::string_view s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

char Lower(char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c | 0x20 : c); }

// Switches that only quiet a console archiver's progress display and
// questions ("-n", "-m" with or without a digit); this library shows
// nothing and asks nothing.  For the extraction commands "-m" also answers
// the overwrite question (see lzh/extraction.h).  Any other switch would
// change what a command does and is refused rather than ignored, but for the
// extraction commands' own: "-c" (no time-stamp check: overwrite) and "-x"
// (keep the stored folders), each alone or with 0/1 or -/+.
bool IsKnownSwitch(char command, std::string_view s) {
  if (s.size() < 2) return false;
  const char letter = Lower(s[1]);
  std::string_view rest = s.substr(2);
  if (letter == 'n' || letter == 'm') return IsDigits(rest);
  if ((command == 'e' || command == 'x') && (letter == 'c' || letter == 'x')) {
    return rest.empty() || rest == "0" || rest == "1" || rest == "-" || rest == "+";
  }
  return false;
}

}  // namespace

std::vector<Argument> SplitArguments(std::string_view line) {
  std::vector<Argument> args;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    Argument arg;
    bool inQuotes = false;
    for (; i < line.size() && (inQuotes || !IsBlank(line[i])); ++i) {
      if (line[i] == '"') {
        inQuotes = !inQuotes;
        arg.quoted = true;
      } else {
        arg.text += line[i];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string WithDefaultExtension(std::string_view archive) {
  std::string_view name = archive.substr(FileNameStart(archive));
  if (name.find('.') != std::string_view::npos) return std::string(archive);
  return std::string(archive) + ".lzh";
}

Command ParseCommandLine(std::string_view line) {
  std::vector<Argument> args = SplitArguments(line);
  if (args.empty()) throw LzhError(Status::kBadCommand, "no command");
  Command command;
  const std::string& word = args[0].text;
  if (word.size() != 1 || !((word[0] >= 'a' && word[0] <= 'z') || (word[0] >= 'A' && word[0] <= 'Z'))) {
    throw LzhError(Status::kBadCommand, "unknown command \"" + word + "\"");
  }
  command.letter = static_cast<char>(word[0] | 0x20);
  std::vector<std::string> names;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const Argument& arg = args[i];
    if (!arg.quoted && arg.text.size() > 1 && arg.text[0] == '-') {
      if (!IsKnownSwitch(command.letter, arg.text)) {
        throw LzhError(Status::kBadCommand, "unsupported switch \"" + arg.text + "\"");
      }
      command.switches.push_back(arg.text);
    } else if (!arg.text.empty()) {
      names.push_back(arg.text);
    }
  }
  if (names.empty()) throw LzhError(Status::kNoFile, "no archive name");
  command.archive = WithDefaultExtension(names[0]);
  std::size_t first = 1;
  // The folder after the archive ends in a separator, or is a drive ("D:").
  if (names.size() > 1 && (EndsWithSeparator(names[1]) || (names[1].size() == 2 && names[1][1] == ':'))) {
    command.baseFolder = names[1];
    first = 2;
  }
  command.files.assign(names.begin() + static_cast<std::ptrdiff_t>(first), names.end());
  return command;
}

std::string ResolvePattern(const Command& command, const std::string& file) {
  if (command.baseFolder.empty() || IsAnchored(file)) return file;
  return command.baseFolder + file;
}

}  // namespace kb::lzh
