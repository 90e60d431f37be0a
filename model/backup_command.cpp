#include "model/backup_command.h"

#include <cstdio>

#include "common/path.h"

namespace kb {

namespace {

// Position just after the last backslash or colon (0 when there is none),
// walking whole characters so a trail byte 0x5C is never taken for one.
size_t NameStart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += CharLength(path, i)) {
    if (path[i] == '\\' || path[i] == ':') start = i + 1;
  }
  return start;
}

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", ((value % 100) + 100) % 100);
  return text;
}

}  // namespace

BackupJob MakeBackupJob(const BackupSettings& settings, bool lateStart) {
  return BackupJob{settings.Way, settings.Folder, settings.targets, lateStart};
}

std::string ArchiveStamp(const LocalDateTime& t) {
  return TwoDigits(t.year) + TwoDigits(t.month) + TwoDigits(t.day) + TwoDigits(t.hour) +
         TwoDigits(t.minute) + TwoDigits(t.second);
}

std::string ArchiveCommandLine(std::string_view folder, std::string_view stamp,
                               const std::vector<std::string>& targets) {
  std::string line = "a \"";
  line.append(folder).append("\\").append(stamp).append("\"");
  for (const std::string& target : targets) line.append(" \"").append(target).append("\"");
  return line;
}

std::string TargetFolderPart(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string TargetNamePart(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string CopyDestination(std::string_view folder, std::string_view source) {
  std::string destination(folder);
  destination += '\\';
  destination += TargetNamePart(source);
  return destination;
}

std::vector<CopyStep> PlanCopies(const BackupJob& job, const PatternSearch& search) {
  std::vector<CopyStep> steps;
  if (job.Folder.empty()) return steps;
  for (const std::string& target : job.targets) {
    if (target.empty()) continue;
    const std::string folder = TargetFolderPart(target);
    for (const FoundEntry& entry : search(target)) {
      if (entry.directory) continue;
      CopyStep step{folder + entry.name, CopyDestination(job.Folder, entry.name)};
      if (step.source.size() > kMaxBackupPath || step.destination.size() > kMaxBackupPath) continue;
      steps.push_back(std::move(step));
    }
  }
  return steps;
}

bool ArchiveWanted(const BackupJob& job) { return !job.Folder.empty(); }

namespace {
constexpr std::string_view kStagingHead = "~kbarc";
constexpr std::string_view kStagingTail = ".kbtmp";

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}
}  // namespace

std::string StagingFolderName(uint32_t processId, uint32_t n) {
  std::string name(kStagingHead);
  name.append(std::to_string(processId)).append(1, '_').append(std::to_string(n));
  name.append(kStagingTail);
  return name;
}

std::optional<uint32_t> StagingFolderOwner(std::string_view name) {
  // Names from the file system: the system compares them without case.
  if (name.size() <= kStagingHead.size() + kStagingTail.size()) return std::nullopt;
  if (LowerAscii(name.substr(0, kStagingHead.size())) != kStagingHead) return std::nullopt;
  if (LowerAscii(name.substr(name.size() - kStagingTail.size())) != kStagingTail) return std::nullopt;
  const std::string_view middle =
      name.substr(kStagingHead.size(), name.size() - kStagingHead.size() - kStagingTail.size());
  const size_t bar = middle.find('_');
  if (bar == std::string_view::npos) return std::nullopt;
  const std::string_view id = middle.substr(0, bar);
  if (!AllDigits(id) || !AllDigits(middle.substr(bar + 1))) return std::nullopt;
  const unsigned long long value = std::stoull(std::string(id));
  if (value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::string NumberedArchiveName(std::string_view name, int n) {
  if (n <= 1) return std::string(name);
  // The extension is the part from the last dot of the name on; the
  // archiver's names are plain ASCII digits, but a dot is never a trail byte.
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < name.size(); i += CharLength(name, i)) {
    if (name[i] == '.') dot = i;
  }
  if (dot == std::string_view::npos) dot = name.size();
  std::string numbered(name.substr(0, dot));
  numbered.append(1, '_').append(std::to_string(n));
  numbered.append(name.substr(dot));
  return numbered;
}

}  // namespace kb
