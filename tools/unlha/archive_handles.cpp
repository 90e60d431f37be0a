// The archive-handle functions of the library: UnlhaOpenArchive reads an
// archive's directory once; FindFirst / FindNext walk it; the UnlhaGetArc…
// queries answer for the archive and the UnlhaGet… ones for the member found
// last.  Several archives may be open at once, on any threads: the table of
// open archives and every query on one are behind one mutex (the queries
// read memory only; the archive file itself is closed once it was read).
#include <windows.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "lzh/archive.h"
#include "lzh/commands.h"
#include "lzh/listing.h"
#include "lzh/times.h"
#include "tools/unlha/library_state.h"
#include "tools/unlha/unlha32_api.h"
#include "tools/unlha/win_file_system.h"

namespace {

using kb::lzh::MemberHeader;
using kb::lzh::MemberLocation;
using kb::unlha::IndividualInfo;

constexpr int kNotOpened = static_cast<int>(kb::lzh::Status::kHarcNotOpened);
constexpr DWORD kNoValue = 0xFFFFFFFF;
constexpr WORD kNoWord = 0xFFFF;

std::uint64_t FromFileTime(const FILETIME& t) {
  return static_cast<std::uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
}
FILETIME ToFileTime(std::uint64_t t) { return FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)}; }

struct OpenedArchive {
  std::string name;  // Shift-JIS
  DWORD mode = 0;
  std::uint64_t size = 0;
  WIN32_FILE_ATTRIBUTE_DATA file{};
  kb::lzh::MemberSearch search;
};

class ArchiveTable {
 public:
  HANDLE Add(std::unique_ptr<OpenedArchive> archive) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::uintptr_t id = next_++;
    open_[id] = std::move(archive);
    // A number, never a pointer: a stale or forged handle finds nothing.
    return reinterpret_cast<HANDLE>(id);
  }
  bool Remove(HANDLE h) {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_.erase(reinterpret_cast<std::uintptr_t>(h)) == 1;
  }
  // Runs use on the archive of h under the lock; failure when h is not open.
  template <typename R, typename Use>
  R With(HANDLE h, R failure, Use use) {
    try {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = open_.find(reinterpret_cast<std::uintptr_t>(h));
      if (it == open_.end()) return failure;
      return use(*it->second);
    } catch (...) {
      return failure;  // no exception may reach the foreign caller
    }
  }

 private:
  std::mutex mutex_;
  std::map<std::uintptr_t, std::unique_ptr<OpenedArchive>> open_;
  std::uintptr_t next_ = 1;
};

ArchiveTable& Table() {
  static ArchiveTable table;
  return table;
}

// Runs use on the member found last; noMember before the first FindFirst
// and after the end of a search.
template <typename R, typename Use>
R WithMember(HANDLE h, R notOpened, R noMember, Use use) {
  return Table().With(h, notOpened, [&](OpenedArchive& a) -> R {
    const MemberLocation* m = a.search.current();
    return m == nullptr ? noMember : use(a, m->header);
  });
}

kb::lzh::MatchScope ScopeOf(DWORD mode) {
  if ((mode & kb::unlha::kModeCheckAllPath) != 0) return kb::lzh::MatchScope::kWholePath;
  if ((mode & kb::unlha::kModeCheckFileNameOnly) != 0) return kb::lzh::MatchScope::kFileNameOnly;
  return kb::lzh::MatchScope::kByPattern;
}

kb::lzh::DosDateTime MemberDos(const MemberHeader& h) {
  kb::unlha::WinFileSystem fs;
  return kb::lzh::MemberDosTime(h, [&](std::uint32_t t) { return fs.LocalTime(t); });
}

// The member's modification time in UTC: the Windows times where stored,
// else the stamp (an MS-DOS stamp is local time).
std::optional<std::uint64_t> WriteTime(const MemberHeader& h) {
  if (h.times) return h.times->lastWrite;
  if (h.stampIsUnix) return kb::lzh::FileTimeFromUnix(h.stamp);
  FILETIME local;
  FILETIME utc;
  if (!DosDateTimeToFileTime(static_cast<WORD>(h.stamp >> 16), static_cast<WORD>(h.stamp), &local) ||
      !LocalFileTimeToFileTime(&local, &utc)) {
    return std::nullopt;
  }
  return FromFileTime(utc);
}

enum class Stamp { kWrite, kCreate, kAccess };

std::optional<std::uint64_t> MemberTime(const MemberHeader& h, Stamp which) {
  if (which == Stamp::kWrite) return WriteTime(h);
  if (!h.times) return std::nullopt;  // only the Windows times extension holds these
  return which == Stamp::kCreate ? h.times->creation : h.times->lastAccess;
}

DWORD Clamp32(std::uint64_t v) { return v > 0xFFFFFFFFu ? kNoValue : static_cast<DWORD>(v); }

// Copies a whole answer, in the caller's form, or refuses: a cut path would
// name another file.
int CopyAnswer(const std::string& shiftJis, LPSTR buffer, int size) {
  std::string text;
  try {
    text = kb::unlha::CallerFromShiftJis(shiftJis);
  } catch (const kb::lzh::LzhError& e) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    return static_cast<int>(e.status());
  }
  if (buffer == nullptr || size <= 0) return kb::unlha::kAnswerTooBig;
  if (text.size() + 1 > static_cast<std::size_t>(size)) {
    buffer[0] = '\0';
    return kb::unlha::kAnswerTooBig;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return 0;
}

void Fill(IndividualInfo* info, const MemberHeader& h) {
  if (info == nullptr) return;
  std::memset(info, 0, sizeof *info);
  info->originalSize = Clamp32(h.originalSize);
  info->compressedSize = Clamp32(h.compressedSize);
  info->crc = h.crc;
  info->osType = static_cast<UINT>(kb::lzh::OsTypeNumber(h.os));
  info->ratio = kb::lzh::RatioPerMille(h.compressedSize, h.originalSize);
  const kb::lzh::DosDateTime dos = MemberDos(h);
  info->date = dos.date;
  info->time = dos.time;
  // A name with no form for the caller throws: the member is reported as
  // an error and the next FindNext goes on after it.
  const std::string name = kb::unlha::CallerFromShiftJis(h.name);
  if (name.size() > kb::unlha::kNameMax) throw kb::lzh::LzhError(kb::lzh::Status::kNotSupported, "name too long");
  std::memcpy(info->fileName, name.c_str(), name.size() + 1);
  kb::lzh::CopyToBuffer(kb::lzh::AttributeText(kb::lzh::MemberAttributes(h)), info->attribute, sizeof info->attribute);
  kb::lzh::CopyToBuffer(h.method, info->mode, sizeof info->mode);
}

// FindFirst (with patterns) and FindNext (without): 0 and the record for a
// match, -1 at the end, the archive's error where it breaks.
int Find(HANDLE h, IndividualInfo* info, const char* patterns) {
  return Table().With(h, kNotOpened, [&](OpenedArchive& a) -> int {
    if (patterns == nullptr && !a.search.started()) return kb::unlha::kNotSearchMode;
    try {
      const MemberLocation* m = patterns != nullptr
                                    ? a.search.Start(kb::unlha::ShiftJisFromCaller(patterns), ScopeOf(a.mode))
                                    : a.search.Next();
      if (m == nullptr) return kb::unlha::kFoundNothing;
      Fill(info, m->header);
      return 0;
    } catch (const kb::lzh::LzhError& e) {
      return static_cast<int>(e.status());
    }
  });
}

BOOL PutSize(__int64* out, std::uint64_t value) {
  if (out == nullptr) return FALSE;
  *out = static_cast<__int64>(value);
  return TRUE;
}

BOOL PutTime(FILETIME* out, std::optional<std::uint64_t> value) {
  if (out == nullptr || !value) return FALSE;
  *out = ToFileTime(*value);
  return TRUE;
}

DWORD UnixOf(std::optional<std::uint64_t> fileTime) {
  return fileTime ? kb::lzh::UnixFromFileTime(*fileTime) : kNoValue;
}

// The archive file's modification time as a local MS-DOS date and time.
std::optional<kb::lzh::DosDateTime> ArchiveDos(const OpenedArchive& a) {
  FILETIME local;
  WORD date = 0;
  WORD time = 0;
  if (!FileTimeToLocalFileTime(&a.file.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time)) {
    return std::nullopt;
  }
  return kb::lzh::DosDateTime{date, time};
}

std::unique_ptr<OpenedArchive> ReadArchive(const std::string& name, DWORD mode) {
  kb::unlha::WinFileSystem fs;
  std::unique_ptr<kb::lzh::ArchiveFile> file = fs.OpenArchive(name);
  if (!file) return nullptr;
  std::vector<MemberLocation> members;
  std::optional<kb::lzh::LzhError> broken;
  try {
    kb::lzh::ForEachMember(*file, [&](const MemberLocation& m) { members.push_back(m); });
  } catch (const kb::lzh::LzhError& e) {
    if (members.empty()) return nullptr;  // not an archive at all
    broken = e;
  }
  auto a = std::make_unique<OpenedArchive>(OpenedArchive{name, mode, file->Size(), {},
                                                         kb::lzh::MemberSearch(std::move(members), broken)});
  if (!GetFileAttributesExW(kb::unlha::WideFromShiftJis(name).c_str(), GetFileExInfoStandard, &a->file)) {
    a->file = WIN32_FILE_ATTRIBUTE_DATA{};
  }
  return a;
}

}  // namespace

extern "C" {

HANDLE WINAPI UnlhaOpenArchive(HWND, LPCSTR fileName, DWORD mode) {
  if (fileName == nullptr) return nullptr;
  try {
    std::unique_ptr<OpenedArchive> a = ReadArchive(kb::unlha::ShiftJisFromCaller(fileName), mode);
    return a ? Table().Add(std::move(a)) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

int WINAPI UnlhaCloseArchive(HANDLE h) {
  try {
    return Table().Remove(h) ? 0 : -1;
  } catch (...) {
    return -1;
  }
}

int WINAPI UnlhaFindFirst(HANDLE h, LPCSTR wildName, IndividualInfo* info) {
  return Find(h, info, wildName != nullptr ? wildName : "");
}

int WINAPI UnlhaFindNext(HANDLE h, IndividualInfo* info) { return Find(h, info, nullptr); }

// --- the archive -------------------------------------------------------

int WINAPI UnlhaGetArcFileName(HANDLE h, LPSTR buffer, int size) {
  return Table().With(h, kNotOpened, [&](OpenedArchive& a) { return CopyAnswer(a.name, buffer, size); });
}

DWORD WINAPI UnlhaGetArcFileSize(HANDLE h) {
  return Table().With(h, kNoValue, [](OpenedArchive& a) { return Clamp32(a.size); });
}
BOOL WINAPI UnlhaGetArcFileSizeEx(HANDLE h, __int64* size) {
  return Table().With(h, FALSE, [&](OpenedArchive& a) { return PutSize(size, a.size); });
}

// The totals are those of the members the search has found so far.
DWORD WINAPI UnlhaGetArcOriginalSize(HANDLE h) {
  return Table().With(h, kNoValue, [](OpenedArchive& a) { return Clamp32(a.search.foundOriginal()); });
}
BOOL WINAPI UnlhaGetArcOriginalSizeEx(HANDLE h, __int64* size) {
  return Table().With(h, FALSE, [&](OpenedArchive& a) { return PutSize(size, a.search.foundOriginal()); });
}
DWORD WINAPI UnlhaGetArcCompressedSize(HANDLE h) {
  return Table().With(h, kNoValue, [](OpenedArchive& a) { return Clamp32(a.search.foundPacked()); });
}
BOOL WINAPI UnlhaGetArcCompressedSizeEx(HANDLE h, __int64* size) {
  return Table().With(h, FALSE, [&](OpenedArchive& a) { return PutSize(size, a.search.foundPacked()); });
}
WORD WINAPI UnlhaGetArcRatio(HANDLE h) {
  return Table().With(h, kNoWord, [](OpenedArchive& a) {
    return kb::lzh::RatioPerMille(a.search.foundPacked(), a.search.foundOriginal());
  });
}

WORD WINAPI UnlhaGetArcDate(HANDLE h) {
  return Table().With(h, kNoWord, [](OpenedArchive& a) {
    std::optional<kb::lzh::DosDateTime> d = ArchiveDos(a);
    return d ? d->date : kNoWord;
  });
}
WORD WINAPI UnlhaGetArcTime(HANDLE h) {
  return Table().With(h, kNoWord, [](OpenedArchive& a) {
    std::optional<kb::lzh::DosDateTime> d = ArchiveDos(a);
    return d ? d->time : kNoWord;
  });
}
BOOL WINAPI UnlhaGetArcWriteTimeEx(HANDLE h, FILETIME* t) {
  return Table().With(h, FALSE, [&](OpenedArchive& a) { return PutTime(t, FromFileTime(a.file.ftLastWriteTime)); });
}
BOOL WINAPI UnlhaGetArcCreateTimeEx(HANDLE h, FILETIME* t) {
  return Table().With(h, FALSE, [&](OpenedArchive& a) { return PutTime(t, FromFileTime(a.file.ftCreationTime)); });
}
BOOL WINAPI UnlhaGetArcAccessTimeEx(HANDLE h, FILETIME* t) {
  return Table().With(h, FALSE, [&](OpenedArchive& a) { return PutTime(t, FromFileTime(a.file.ftLastAccessTime)); });
}

// The system that wrote the archive: that of its first member.
UINT WINAPI UnlhaGetArcOSType(HANDLE h) {
  return Table().With(h, static_cast<UINT>(kNoValue), [](OpenedArchive& a) {
    const auto& members = a.search.members();
    return static_cast<UINT>(members.empty() ? kb::lzh::OsTypeNumber(0) : kb::lzh::OsTypeNumber(members.front().header.os));
  });
}

// This library opens no self-extracting archive (one that starts with a
// program), so every open archive is a plain one.
int WINAPI UnlhaIsSFXFile(HANDLE h) {
  return Table().With(h, -1, [](OpenedArchive&) { return 0; });
}

// --- the member found last ---------------------------------------------

int WINAPI UnlhaGetFileName(HANDLE h, LPSTR buffer, int size) {
  return WithMember(h, kNotOpened, kb::unlha::kNotSearchMode,
                    [&](OpenedArchive&, const MemberHeader& m) { return CopyAnswer(m.name, buffer, size); });
}
int WINAPI UnlhaGetMethod(HANDLE h, LPSTR buffer, int size) {
  return WithMember(h, kNotOpened, kb::unlha::kNotSearchMode,
                    [&](OpenedArchive&, const MemberHeader& m) { return CopyAnswer(m.method, buffer, size); });
}

DWORD WINAPI UnlhaGetOriginalSize(HANDLE h) {
  return WithMember(h, kNoValue, kNoValue, [](OpenedArchive&, const MemberHeader& m) { return Clamp32(m.originalSize); });
}
BOOL WINAPI UnlhaGetOriginalSizeEx(HANDLE h, __int64* size) {
  return WithMember(h, FALSE, FALSE, [&](OpenedArchive&, const MemberHeader& m) { return PutSize(size, m.originalSize); });
}
DWORD WINAPI UnlhaGetCompressedSize(HANDLE h) {
  return WithMember(h, kNoValue, kNoValue,
                    [](OpenedArchive&, const MemberHeader& m) { return Clamp32(m.compressedSize); });
}
BOOL WINAPI UnlhaGetCompressedSizeEx(HANDLE h, __int64* size) {
  return WithMember(h, FALSE, FALSE,
                    [&](OpenedArchive&, const MemberHeader& m) { return PutSize(size, m.compressedSize); });
}
WORD WINAPI UnlhaGetRatio(HANDLE h) {
  return WithMember(h, kNoWord, kNoWord, [](OpenedArchive&, const MemberHeader& m) {
    return kb::lzh::RatioPerMille(m.compressedSize, m.originalSize);
  });
}

WORD WINAPI UnlhaGetDate(HANDLE h) {
  return WithMember(h, kNoWord, kNoWord, [](OpenedArchive&, const MemberHeader& m) { return MemberDos(m).date; });
}
WORD WINAPI UnlhaGetTime(HANDLE h) {
  return WithMember(h, kNoWord, kNoWord, [](OpenedArchive&, const MemberHeader& m) { return MemberDos(m).time; });
}

// Times in Unix form (seconds since 1970, UTC) and as FILETIME; creation and
// access only where the archive holds them.
DWORD WINAPI UnlhaGetWriteTime(HANDLE h) {
  return WithMember(h, kNoValue, kNoValue,
                    [](OpenedArchive&, const MemberHeader& m) { return UnixOf(MemberTime(m, Stamp::kWrite)); });
}
DWORD WINAPI UnlhaGetCreateTime(HANDLE h) {
  return WithMember(h, kNoValue, kNoValue,
                    [](OpenedArchive&, const MemberHeader& m) { return UnixOf(MemberTime(m, Stamp::kCreate)); });
}
DWORD WINAPI UnlhaGetAccessTime(HANDLE h) {
  return WithMember(h, kNoValue, kNoValue,
                    [](OpenedArchive&, const MemberHeader& m) { return UnixOf(MemberTime(m, Stamp::kAccess)); });
}
BOOL WINAPI UnlhaGetWriteTimeEx(HANDLE h, FILETIME* t) {
  return WithMember(h, FALSE, FALSE,
                    [&](OpenedArchive&, const MemberHeader& m) { return PutTime(t, MemberTime(m, Stamp::kWrite)); });
}
BOOL WINAPI UnlhaGetCreateTimeEx(HANDLE h, FILETIME* t) {
  return WithMember(h, FALSE, FALSE,
                    [&](OpenedArchive&, const MemberHeader& m) { return PutTime(t, MemberTime(m, Stamp::kCreate)); });
}
BOOL WINAPI UnlhaGetAccessTimeEx(HANDLE h, FILETIME* t) {
  return WithMember(h, FALSE, FALSE,
                    [&](OpenedArchive&, const MemberHeader& m) { return PutTime(t, MemberTime(m, Stamp::kAccess)); });
}

DWORD WINAPI UnlhaGetCRC(HANDLE h) {
  return WithMember(h, kNoValue, kNoValue, [](OpenedArchive&, const MemberHeader& m) { return static_cast<DWORD>(m.crc); });
}
int WINAPI UnlhaGetAttribute(HANDLE h) {
  return WithMember(h, -1, -1,
                    [](OpenedArchive&, const MemberHeader& m) { return static_cast<int>(kb::lzh::MemberAttributes(m)); });
}
UINT WINAPI UnlhaGetOSType(HANDLE h) {
  return WithMember(h, static_cast<UINT>(kNoValue), static_cast<UINT>(kNoValue),
                    [](OpenedArchive&, const MemberHeader& m) { return static_cast<UINT>(kb::lzh::OsTypeNumber(m.os)); });
}

}  // extern "C"
