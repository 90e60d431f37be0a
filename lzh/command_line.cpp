#include "lzh/command_line.h"

#include "lzh/sjis.h"
#include "lzh/status.h"

namespace kb::lzh {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Switches that only quiet a console archiver's progress display and
// questions; this library shows nothing and asks nothing, so they change
// nothing.  Any other switch would change the archive and is refused rather
// than ignored.
bool IsQuietingSwitch(std::string_view s) {
  if (s.size() < 2 || (s[1] != 'n' && s[1] != 'N' && s[1] != 'm' && s[1] != 'M')) return false;
  for (std::size_t i = 2; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
  }
  return true;
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
      if (!IsQuietingSwitch(arg.text)) {
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
  if (names.size() > 1 && EndsWithSeparator(names[1])) {
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
