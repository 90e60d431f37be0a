// The pre-launch backup of one program button: what to back up, where to, by
// which method and how often, and how that is kept in the backup settings
// file "data\BUInfo.dat" (one section per button position).
//
// Portable: the backup target dialog holds the current value in its controls
// and converts it to and from this struct; the rules of loading, saving and
// counting launches live here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/backup_section.h"

namespace kb {

class ProfileReader;
class ProfileWriter;

// The interval's range (the dialog's spin edit) and the defaults of a
// position that has no section.
inline constexpr int32_t kMinBackupTimes = 1;
inline constexpr int32_t kMaxBackupTimes = 100;
inline constexpr int32_t kDefaultBackupTimes = 5;
inline constexpr int32_t kDefaultBackupNext = 1;

// The file stores the number of targets in 8 bits: a list holds at most this
// many, and the dialog refuses further entries.
inline constexpr size_t kMaxBackupTargets = 255;
// Targets shorter than this many characters are dropped when saved.
inline constexpr size_t kMinTargetCharacters = 4;
// The longest path (in Shift-JIS bytes, as the platform's ANSI calls count)
// a backup copies from or to.
inline constexpr size_t kMaxBackupPath = 255;

enum class BackupWay : uint8_t { Copy = 0, Archive = 1 };

struct BackupSettings {
  std::vector<std::string> targets;  // full paths; wildcards in the last part
  std::string Folder;                // destination folder, as typed
  BackupWay Way = BackupWay::Copy;
  int32_t Times = kDefaultBackupTimes;  // back up every Times launches
  int32_t Next = kDefaultBackupNext;    // launches left until the next backup

  bool operator==(const BackupSettings&) const = default;
};

// exeDir (with its trailing backslash) + "data\BUInfo.dat".
std::string BackupSettingsPath(const std::string& exeDir);

// The same, creating the data folder (one level) when it is missing; a
// failure is left to the file access that follows.
std::string PrepareBackupSettingsPath(const std::string& exeDir);

// The interval as the dialog's spin edit keeps it: brought into 1..100.
int32_t ClampBackupTimes(int64_t times);

// The interval from the spin edit's text: a number brought into 1..100, or
// 1 when the text is not a number.
int32_t BackupTimesFromText(std::string_view text);

// The target list's order: alphabetical, single-byte letters without regard
// to case, ties by the bytes.
bool TargetLess(std::string_view a, std::string_view b);
// Where a new target goes so the list stays in order (after equal ones).
size_t SortedInsertIndex(const std::vector<std::string>& targets, std::string_view target);
// Inserts target at SortedInsertIndex and returns that index.
size_t InsertTarget(std::vector<std::string>& targets, std::string target);

// Why a target cannot join a list of `count` entries, if it cannot.
enum class TargetRefusal { None, ListFull, PathTooLong };
TargetRefusal CheckNewTarget(size_t count, std::string_view target);

// Reads section `section`: defaults for what is missing, the low 8 bits of
// Way (any non-zero value means archive) and of Number, the interval brought
// into 1..100, the targets File1..File<Number> in list order.
BackupSettings ReadBackupSettings(const ProfileReader& reader, std::string_view section);

// Saves a section: an empty target list erases the whole
// section (Way, Folder, Times and Next return to their defaults).  Otherwise
// the targets shorter than 4 characters are dropped, from `settings` too so
// the dialog's list can follow, and the keys are written in the order Way,
// Folder, Times, Next, Number, File1... -- with Number 0 when every target
// was dropped.  File keys above the new Number stay as they were.
void SaveBackupSection(ProfileWriter& writer, std::string_view section, BackupSettings& settings);

// Writes only the countdown of a section (a backup that could not be made
// is owed to the next launch).
void WriteBackupCountdown(ProfileWriter& writer, std::string_view section, int32_t next);

// One launch: Next drops by one; at less than 1 a backup is due and Next
// becomes Times.  Returns whether a backup is due.
bool CountDown(BackupSettings& settings);

// The destination folders of every section the file holds (group 1..40,
// button 1..40), each once (compared without regard to the case of A-Z),
// in section order; empty ones left out.
std::vector<std::string> StoredBackupFolders(const ProfileReader& reader);

// "指定されたデータは、あと　" + next + "回の起動後にバックアップされます".
std::string CountdownText(int32_t next);

}  // namespace kb
