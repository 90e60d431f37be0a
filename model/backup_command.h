// What one due backup does, as plain values: the job a worker receives, the
// files a copy backup copies and where to, and the archiver's command line
// for an archive backup.  The worker (Windows) runs it; the rules are here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/backup_settings.h"

namespace kb {

// The copy of the current backup settings a worker gets when it starts, so
// nothing the user does afterwards changes a backup that waits or runs.
struct BackupJob {
  BackupWay mode = BackupWay::Copy;
  std::string Folder;
  std::vector<std::string> targets;
  // The setting LateBU when the backup was started: wait 20 seconds first.
  bool lateStart = false;
};

BackupJob MakeBackupJob(const BackupSettings& settings, bool lateStart);

// A local date and time.
struct LocalDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "yymmddhhnnss": two digits each of year, month, day, hour (00-23),
// minute and second.
std::string ArchiveStamp(const LocalDateTime& time);

// a "<Folder>\<stamp>" "<target1>" "<target2>" ...  (no extension: the
// archiver adds its own).
std::string ArchiveCommandLine(std::string_view folder, std::string_view stamp,
                               const std::vector<std::string>& targets);

// The folder part of a target: everything up to and including its last
// backslash or colon ("C:*.DAT" lies in "C:").
std::string TargetFolderPart(std::string_view path);
// Everything after the last backslash or colon.
std::string TargetNamePart(std::string_view path);

// Folder + "\" + the name part of source.  The backslash is always added,
// even after one the folder ends with: the platform reads the doubled
// separator as one.
std::string CopyDestination(std::string_view folder, std::string_view source);

// One entry a pattern search returned.
struct FoundEntry {
  std::string name;  // the entry's own name, without folder
  bool directory = false;
};
// Searches one pattern (every attribute), entries in the order the system
// returns them.
using PatternSearch = std::function<std::vector<FoundEntry>(const std::string& pattern)>;

struct CopyStep {
  std::string source;
  std::string destination;
  bool operator==(const CopyStep&) const = default;
};

// The files a copy backup copies, in order: each target in list order, the
// entries its search returns in their order.  Left out: folders (among them
// "." and ".."), and sources or destinations longer than kMaxBackupPath.
// An empty Folder copies nothing: the files would land in the root of
// whatever drive is current.
std::vector<CopyStep> PlanCopies(const BackupJob& job, const PatternSearch& search);

// Whether an archive backup of this job is made at all (it needs a folder).
bool ArchiveWanted(const BackupJob& job);

// An archive is packed in a staging folder of its own inside the backup
// folder, "~kbarc<process id>_<n>.kbtmp", and then moved out under a name
// no other archive has.  A process that ended mid-run leaves its staging
// folder behind; the next start removes it.
std::string StagingFolderName(uint32_t processId, uint32_t n);
// The process id in a staging folder's name; nullopt for any other name.
std::optional<uint32_t> StagingFolderOwner(std::string_view name);

// The n-th name an archive may take in its folder: the archiver's own name
// for n = 1, then "_2", "_3" ... before the extension
// ("981231235959.lzh", "981231235959_2.lzh").
std::string NumberedArchiveName(std::string_view name, int n);

}  // namespace kb
