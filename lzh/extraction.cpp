#include "lzh/extraction.h"

#include <memory>

#include "lzh/archive.h"
#include "lzh/decoder.h"
#include "lzh/sjis.h"
#include "lzh/times.h"

namespace kb::lzh {
namespace {

constexpr std::uint16_t kUnixTypeMask = 0xF000;
constexpr std::uint16_t kUnixLink = 0xA000;
constexpr std::uint16_t kUnixOwnerWrite = 0200;
constexpr std::uint16_t kReadOnly = 0x01;
// Read-only, hidden, system, archive: what a file takes back.
constexpr std::uint16_t kFileAttributes = 0x27;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Splits on single-byte '\' and '/' only: a trail byte 0x5C is part of its
// character.  A '/' can still be in a stored file name (the header turns only
// the folder separators of the folder extension into '\'), and Windows
// takes it for a separator too.
std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < path.size();) {
    std::size_t n = CharLength(path, i);
    if (n == 1 && (path[i] == '\\' || path[i] == '/')) {
      parts.emplace_back();
    } else {
      parts.back().append(path.substr(i, n));
    }
    i += n;
  }
  return parts;
}

// The names Windows gives to devices, with or without an extension.
bool IsDeviceName(std::string_view part) {
  std::string base;
  for (char c : part.substr(0, part.find('.'))) base += LowerAscii(c);
  while (!base.empty() && base.back() == ' ') base.pop_back();
  if (base == "con" || base == "prn" || base == "aux" || base == "nul" || base == "clock$" || base == "conin$" ||
      base == "conout$") {
    return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
         base[3] <= '9';
}

// Why one part of a path cannot be written, or "".
std::string CheckPart(std::string_view part) {
  if (part.find_first_not_of(". ") == std::string_view::npos) return "a folder named \"..\" or only dots and blanks";
  for (std::size_t i = 0; i < part.size();) {
    const std::size_t n = CharLength(part, i);
    const unsigned char c = static_cast<unsigned char>(part[i]);
    if (n == 2) {
      const unsigned char trail = static_cast<unsigned char>(part[i + 1]);
      if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return "bytes that are not Shift-JIS";
    } else if (IsLeadByte(c) || c == 0x80 || c == 0xA0 || c >= 0xFD) {
      return "bytes that are not Shift-JIS";
    } else if (c == ':') {  // a colon is never a trail byte
      return "a drive letter or stream name";
    } else if (c < 0x20 || c == 0x7F || std::string_view("<>\"|?*").find(static_cast<char>(c)) != std::string_view::npos) {
      return "a character a file name cannot hold";
    }
    i += n;
  }
  if (IsDeviceName(part)) return "a device name";
  return "";
}

// Whether the characters at name[n] and pattern[p] match: '?' any one,
// single-byte letters without regard to case, double-byte characters whole.
bool CharMatches(std::string_view name, std::size_t n, std::string_view pattern, std::size_t p) {
  if (pattern[p] == '?') return true;
  const std::size_t length = CharLength(name, n);
  if (length != CharLength(pattern, p)) return false;
  return length == 1 ? LowerAscii(name[n]) == LowerAscii(pattern[p]) : name.substr(n, 2) == pattern.substr(p, 2);
}

// The wildcard match of a pattern, '*' any run: one pass with a return to
// the last '*', so no pattern takes more than name × pattern steps.
bool Matches(std::string_view name, std::string_view pattern) {
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t star = std::string_view::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      starName = n;
    } else if (p < pattern.size() && CharMatches(name, n, pattern, p)) {
      n += CharLength(name, n);
      p += CharLength(pattern, p);
    } else if (star != std::string_view::npos) {
      starName += CharLength(name, starName);
      n = starName;
      p = star + 1;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// '/' as '\', but not in a double-byte character.
std::string WithBackslashes(std::string_view path) {
  std::string out(path);
  for (std::size_t i = 0; i < out.size(); i += CharLength(out, i)) {
    if (out[i] == '/') out[i] = '\\';
  }
  return out;
}

std::string Join(const std::vector<std::string>& parts, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += (i > 0 ? "\\" : "") + parts[i];
  return out;
}

// Whether path is at or below folder (both relative to the target).
bool IsAtOrBelow(const std::string& path, const std::string& folder) {
  if (path.size() < folder.size() || !SameNameIgnoringCase(std::string_view(path).substr(0, folder.size()), folder)) {
    return false;
  }
  // Cut on a character boundary of path, and only at a separator.
  return CutToBytes(path, folder.size()).size() == folder.size() &&
         (path.size() == folder.size() || path[folder.size()] == '\\');
}

enum class Overwrite { kKeep, kOlder, kAll };

struct Options {
  Overwrite overwrite = Overwrite::kKeep;
  bool keepFolders = false;
};

Options ReadSwitches(const Command& command) {
  Options o;
  o.keepFolders = command.letter == 'x';
  for (const std::string& s : command.switches) {
    const char letter = LowerAscii(s[1]);
    const bool off = s.size() > 2 && (s[2] == '0' || s[2] == '-');
    if (letter == 'm' && o.overwrite != Overwrite::kAll) o.overwrite = off ? Overwrite::kKeep : Overwrite::kOlder;
    if (letter == 'c') o.overwrite = off ? Overwrite::kKeep : Overwrite::kAll;
    if (letter == 'x') o.keepFolders = !off;
  }
  return o;
}

// A Unix symbolic link: stored as "name|target", mostly as a -lhd- member.
bool IsLink(const MemberHeader& h, std::size_t* bar) {
  *bar = std::string::npos;
  for (std::size_t i = 0; i < h.name.size(); i += CharLength(h.name, i)) {
    if (h.name[i] == '|' && CharLength(h.name, i) == 1) {
      *bar = i;
      break;
    }
  }
  if (h.unixMode && (*h.unixMode & kUnixTypeMask) == kUnixLink) return true;
  return h.method == "-lhd-" && *bar != std::string::npos;
}


FileTimes TimesOf(const MemberHeader& h, FileSystem& fs) {
  if (h.times && h.times->lastWrite != 0) return *h.times;
  FileTimes t;
  t.lastWrite = h.stampIsUnix ? FileTimeFromUnix(h.stamp) : fs.FileTimeFromLocal(CivilFromDosTime(h.stamp));
  return t;
}

std::optional<std::uint16_t> AttributesOf(const MemberHeader& h) {
  if (h.attributes) return static_cast<std::uint16_t>(*h.attributes & kFileAttributes);
  if (h.unixMode && (*h.unixMode & kUnixOwnerWrite) == 0) return kReadOnly;
  return std::nullopt;
}

class Extraction {
 public:
  Extraction(const Command& command, FileSystem& fs, Report& report)
      : command_(command), fs_(fs), report_(report), options_(ReadSwitches(command)), target_(command.baseFolder) {
    target_ = WithBackslashes(target_);
    if (!target_.empty() && !EndsWithSeparator(target_)) target_ += '\\';
  }

  void Run() {
    std::unique_ptr<ArchiveFile> file = fs_.OpenArchive(command_.archive);
    if (!file) throw LzhError(Status::kArchiveNotFound, command_.archive + ": no such archive");
    MakeTarget();
    std::vector<bool> patternUsed(command_.files.size(), false);
    ForEachMember(*file, [&](const MemberLocation& m) {
      bool wanted = command_.files.empty();
      for (std::size_t i = 0; i < command_.files.size(); ++i) {
        if (MatchesMemberPattern(m.header.name, command_.files[i])) wanted = patternUsed[i] = true;
      }
      if (!wanted) return;
      try {
        One(*file, m);
      } catch (const LzhError& e) {
        Refuse(e.status(), m.header.name, e.what());
      }
    });
    for (std::size_t i = 0; i < command_.files.size(); ++i) {
      if (!patternUsed[i]) report_.Problem(Status::kNoFile, "\"" + command_.files[i] + "\": no member matches");
    }
    std::string summary = std::to_string(extracted_) + " file(s) extracted";
    if (skipped_ > 0) summary += ", " + std::to_string(skipped_) + " skipped";
    report_.Line(summary + " into " + (target_.empty() ? std::string("the current folder") : command_.baseFolder));
  }

 private:
  // The target folder and the folders to it are made when missing.  They
  // are the caller's own path, so no part of it is refused.
  void MakeTarget() {
    if (target_.empty()) return;
    std::vector<std::string> parts = SplitPath(target_.substr(0, target_.size() - 1));
    const bool unc = target_.rfind("\\\\", 0) == 0;  // its server and share are no folders to make
    std::string done;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      done += (i > 0 ? "\\" : "") + parts[i];
      if (parts[i].empty() || parts[i].back() == ':' || (unc && i < 4)) continue;
      EntryKind kind = fs_.Examine(done, nullptr);
      if (kind == EntryKind::kNone) {
        fs_.MakeFolder(done);
      } else if (kind == EntryKind::kFile) {
        throw LzhError(Status::kDirectory, done + ": a file, not a folder; nothing was extracted");
      }
    }
  }

  void Refuse(Status status, const std::string& name, const std::string& why) {
    report_.Problem(status, name + ": " + why + "; not extracted");
  }

  // Makes the first count folders of parts below the target; false (with
  // the member refused) when one cannot be.
  bool MakeFolders(const std::vector<std::string>& parts, std::size_t count, const std::string& name) {
    for (std::size_t i = 1; i <= count; ++i) {
      std::string folder = target_ + Join(parts, i);
      EntryKind kind = fs_.Examine(folder, nullptr);
      if (kind == EntryKind::kFolder) continue;
      if (kind != EntryKind::kNone) {
        Refuse(Status::kDirectory, name, Join(parts, i) + (kind == EntryKind::kFile ? " is a file" : " is a link or device"));
        return false;
      }
      try {
        fs_.MakeFolder(folder);
      } catch (const LzhError& e) {
        Refuse(Status::kDirectory, name, Join(parts, i) + " cannot be made (" + e.what() + ")");
        return false;
      }
    }
    return true;
  }

  void One(ArchiveFile& file, const MemberLocation& m) {
    const MemberHeader& h = m.header;
    std::size_t bar = 0;
    const bool link = IsLink(h, &bar);
    const bool folder = h.method == "-lhd-" && !link;
    MemberPath path = CheckMemberPath(link && bar != std::string::npos ? std::string_view(h.name).substr(0, bar) : h.name);
    if (!path.refusal.empty()) return Refuse(Status::kDirectory, h.name, path.refusal);

    std::vector<std::string> parts;
    if (options_.keepFolders) parts = path.folders;
    if (!path.file.empty()) parts.push_back(path.file);
    if (parts.empty() || (folder && !options_.keepFolders)) return;  // no folders to make here
    const std::string relative = Join(parts, parts.size());
    if (link) {
      links_.push_back(relative);
      return Refuse(Status::kNotSupported, h.name, "a link");
    }
    for (const std::string& l : links_) {
      if (IsAtOrBelow(relative, l)) return Refuse(Status::kDirectory, h.name, "it would be written through the link " + l);
    }
    if (folder) {
      if (MakeFolders(parts, parts.size(), h.name)) report_.Line(relative + "\\  folder");
      return;
    }
    if (!IsKnownMethod(h.method)) return Refuse(Status::kMethod, h.name, "the method " + h.method + " is unknown");
    if (!MakeFolders(parts, parts.size() - 1, h.name)) return;

    const std::string place = target_ + relative;
    const FileTimes times = TimesOf(h, fs_);
    std::uint64_t existingTime = 0;
    switch (fs_.Examine(place, &existingTime)) {
      case EntryKind::kNone:
        break;
      case EntryKind::kFile:
        if (options_.overwrite == Overwrite::kKeep) {
          ++skipped_;
          return report_.Problem(Status::kAlreadyExists, relative + ": already there; skipped");
        }
        if (options_.overwrite == Overwrite::kOlder && existingTime >= times.lastWrite) {
          ++skipped_;
          return report_.Problem(Status::kMoreFresh, relative + ": the file there is as new or newer; skipped");
        }
        break;
      case EntryKind::kFolder:
        return Refuse(Status::kDirectory, relative, "a folder of that name is there");
      case EntryKind::kOther:
        return Refuse(Status::kDirectory, relative, "a link or device of that name is there");
    }
    try {
      // The temporary file is removed again unless committed: a member that
      // fails its CRC or cannot be decoded leaves nothing behind.
      std::unique_ptr<OutputFile> temp = fs_.CreateTemporary(place);
      UnpackMember(file, m, [&](const std::uint8_t* data, std::size_t n) { temp->Write(data, n); });
      fs_.Commit(std::move(temp), place);
    } catch (const LzhError& e) {
      Status status = e.status() == Status::kMakeArchive ? Status::kCannotWrite : e.status();
      return Refuse(status, relative, e.what());
    }
    try {
      fs_.SetFileInfo(place, times, AttributesOf(h));
    } catch (const LzhError& e) {
      report_.Problem(e.status(), relative + ": extracted, but " + e.what());
    }
    ++extracted_;
    report_.Line(relative + "  extracted");
  }

  const Command& command_;
  FileSystem& fs_;
  Report& report_;
  const Options options_;
  std::string target_;
  // The places of the refused links, relative to the target.
  std::vector<std::string> links_;
  int extracted_ = 0;
  int skipped_ = 0;
};

}  // namespace

MemberPath CheckMemberPath(std::string_view stored) {
  MemberPath path;
  if (stored.empty()) {
    path.refusal = "no name";
    return path;
  }
  if (stored[0] == '\\' || stored[0] == '/') {
    path.refusal = stored.size() > 1 && (stored[1] == '\\' || stored[1] == '/') ? "a network (UNC) name" : "an absolute path";
    return path;
  }
  if (stored.size() >= 2 && stored[1] == ':') {
    path.refusal = "a drive letter";
    return path;
  }
  std::vector<std::string> parts = SplitPath(stored);
  path.file = parts.back();
  parts.pop_back();
  for (std::string& part : parts) {
    if (part.empty() || part == ".") continue;
    if (std::string why = CheckPart(part); !why.empty()) {
      path.refusal = why;
      return path;
    }
    path.folders.push_back(std::move(part));
  }
  if (path.file == ".") path.file.clear();
  if (!path.file.empty()) path.refusal = CheckPart(path.file);
  return path;
}

bool MatchesMemberPattern(std::string_view stored, std::string_view pattern) {
  const std::string p = WithBackslashes(pattern);
  std::string name = WithBackslashes(stored);
  if (FileNameStart(p) == 0) name.erase(0, FileNameStart(name));
  return Matches(name, p);
}

void Extract(const Command& command, FileSystem& fs, Report& report) { Extraction(command, fs, report).Run(); }

}  // namespace kb::lzh
