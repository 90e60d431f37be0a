#include "model/backup_settings.h"

#include <algorithm>

#include "common/file_io.h"
#include "common/path.h"
#include "common/profile.h"
#include "common/values.h"
#include "model/launch_data.h"
#include "model/settings.h"

namespace kb {

namespace {

constexpr std::string_view kWayKey = "Way";
constexpr std::string_view kFolderKey = "Folder";
constexpr std::string_view kTimesKey = "Times";
constexpr std::string_view kNextKey = "Next";
constexpr std::string_view kNumberKey = "Number";

std::string FileKey(size_t index) { return "File" + std::to_string(index); }

size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) ++count;
  return count;
}

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Compares character by character so a trail byte is never folded as if it
// were a letter of its own.
int CompareTargets(std::string_view a, std::string_view b) {
  size_t i = 0;
  while (i < a.size() && i < b.size()) {
    const size_t n = CharLength(a, i);
    for (size_t k = 0; k < n && i + k < b.size(); ++k) {
      const unsigned char x = static_cast<unsigned char>(a[i + k]);
      const unsigned char y = static_cast<unsigned char>(b[i + k]);
      const unsigned char fx = n == 1 ? FoldAscii(x) : x;
      const unsigned char fy = n == 1 ? FoldAscii(y) : y;
      if (fx != fy) return fx < fy ? -1 : 1;
    }
    i += n;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

std::string BackupSettingsPath(const std::string& exeDir) {
  return DataFilePath(exeDir, "BUInfo.dat");
}

std::string PrepareBackupSettingsPath(const std::string& exeDir) {
  const std::string folder = JoinPath(exeDir, "data") + "\\";
  if (!FolderExists(folder)) CreateFolder(folder);
  return BackupSettingsPath(exeDir);
}

int32_t ClampBackupTimes(int64_t times) {
  return static_cast<int32_t>(std::clamp<int64_t>(times, kMinBackupTimes, kMaxBackupTimes));
}

int32_t BackupTimesFromText(std::string_view text) {
  // Text that is no number (also one beyond 32 bits) reads as the minimum.
  return ClampBackupTimes(ParseProfileInteger(text, kMinBackupTimes));
}

bool TargetLess(std::string_view a, std::string_view b) { return CompareTargets(a, b) < 0; }

size_t SortedInsertIndex(const std::vector<std::string>& targets, std::string_view target) {
  const auto at = std::upper_bound(targets.begin(), targets.end(), target,
                                   [](std::string_view t, const std::string& item) {
                                     return TargetLess(t, item);
                                   });
  return static_cast<size_t>(at - targets.begin());
}

size_t InsertTarget(std::vector<std::string>& targets, std::string target) {
  const size_t index = SortedInsertIndex(targets, target);
  targets.insert(targets.begin() + static_cast<std::ptrdiff_t>(index), std::move(target));
  return index;
}

TargetRefusal CheckNewTarget(size_t count, std::string_view target) {
  if (count >= kMaxBackupTargets) return TargetRefusal::ListFull;
  if (target.size() > kMaxBackupPath) return TargetRefusal::PathTooLong;
  return TargetRefusal::None;
}

BackupSettings ReadBackupSettings(const ProfileReader& reader, std::string_view section) {
  BackupSettings s;
  const uint8_t way = ToByte(reader.ReadInteger(section, kWayKey, 0));
  s.Folder = reader.ReadString(section, kFolderKey, "");
  s.Times = ClampBackupTimes(reader.ReadInteger(section, kTimesKey, kDefaultBackupTimes));
  s.Next = reader.ReadInteger(section, kNextKey, kDefaultBackupNext);
  const uint8_t number = ToByte(reader.ReadInteger(section, kNumberKey, 0));
  for (size_t i = 1; i <= number; ++i) {
    InsertTarget(s.targets, reader.ReadString(section, FileKey(i), ""));
  }
  s.Way = way != 0 ? BackupWay::Archive : BackupWay::Copy;
  return s;
}

void SaveBackupSection(ProfileWriter& writer, std::string_view section, BackupSettings& settings) {
  if (settings.targets.empty()) {
    writer.EraseSection(section);
    return;
  }
  std::erase_if(settings.targets, [](const std::string& t) {
    return CharacterCount(t) < kMinTargetCharacters;
  });
  if (settings.targets.size() > kMaxBackupTargets) settings.targets.resize(kMaxBackupTargets);
  writer.WriteInteger(section, kWayKey, settings.Way == BackupWay::Copy ? 0 : 1);
  writer.WriteString(section, kFolderKey, settings.Folder);
  writer.WriteInteger(section, kTimesKey, ClampBackupTimes(settings.Times));
  writer.WriteInteger(section, kNextKey, settings.Next);
  writer.WriteInteger(section, kNumberKey, static_cast<int32_t>(settings.targets.size()));
  for (size_t i = 0; i < settings.targets.size(); ++i) {
    writer.WriteString(section, FileKey(i + 1), settings.targets[i]);
  }
}

bool CountDown(BackupSettings& settings) {
  // In 64 bits: a stored Next of -2147483648 counts down without overflow.
  const int64_t next = static_cast<int64_t>(settings.Next) - 1;
  if (next < 1) {
    settings.Next = ClampBackupTimes(settings.Times);
    return true;
  }
  settings.Next = static_cast<int32_t>(next);
  return false;
}

std::string CountdownText(int32_t next) {
  return "指定されたデータは、あと　" + std::to_string(next) + "回の起動後にバックアップされます";
}

void WriteBackupCountdown(ProfileWriter& writer, std::string_view section, int32_t next) {
  writer.WriteInteger(section, kNextKey, next);
}

std::vector<std::string> StoredBackupFolders(const ProfileReader& reader) {
  std::vector<std::string> folders;
  for (int g = 1; g <= kMaxGroups; ++g) {
    for (int b = 1; b <= kMaxSlots; ++b) {
      const std::string section = BackupSectionName(g, b);
      if (!reader.SectionExists(section)) continue;
      const std::string folder = reader.ReadString(section, kFolderKey, "");
      if (folder.empty()) continue;
      const bool known = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) {
        return LowerAscii(f) == LowerAscii(folder);
      });
      if (!known) folders.push_back(folder);
    }
  }
  return folders;
}

}  // namespace kb
