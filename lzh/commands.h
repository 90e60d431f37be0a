// The archiver's commands over an abstract file system: "a" (add, making the
// archive), "l"/"v" (list), "t" (test), "e" and "x" (extract, without and
// with the stored folders).  The platform layers supply the
// file system; the result is the family's status code and the text a console
// archiver would print.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lzh/header.h"
#include "lzh/report.h"
#include "lzh/status.h"
#include "lzh/stream.h"
#include "lzh/times.h"

namespace kb::lzh {

struct FoundFile {
  std::string path;  // Shift-JIS path to open: the pattern's folder + the name
  std::string name;  // Shift-JIS file name
  // False when the platform's name has no Shift-JIS form; name then holds a
  // stand-in for messages only, and the file is refused.
  bool nameFits = true;
  bool directory = false;
  std::uint64_t size = 0;
  std::uint32_t unixTime = 0;
  std::optional<std::uint16_t> attributes;
  std::optional<FileTimes> times;
};

// What a path names, links not followed: kOther is a link (or junction),
// a device or anything else that is never written through.
enum class EntryKind { kNone, kFile, kFolder, kOther };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Files and folders matching pattern (wildcards in the last part only),
  // in the platform's order; none when nothing matches.
  virtual std::vector<FoundFile> Find(const std::string& pattern) = 0;
  // Throws LzhError (kFileOpen) when the file cannot be opened.
  virtual std::unique_ptr<InputFile> OpenInput(const std::string& path) = 0;
  // Null when there is no such file; throws LzhError (kCannotRead) when it
  // exists but cannot be opened.
  virtual std::unique_ptr<ArchiveFile> OpenArchive(const std::string& path) = 0;
  // A new empty file in the folder of path, removed again unless committed.
  // Throws LzhError (kMakeArchive).
  virtual std::unique_ptr<OutputFile> CreateTemporary(const std::string& path) = 0;
  // Closes the temporary file and puts it in the place of path, replacing
  // what was there in one step.  Throws LzhError (kMakeArchive).
  virtual void Commit(std::unique_ptr<OutputFile> temporary, const std::string& path) = 0;
  // The absolute form of path, to recognise the archive among the matches.
  virtual std::string FullPath(const std::string& path) = 0;
  // The local calendar time of a Unix time, for listings.
  virtual CivilTime LocalTime(std::uint32_t unixTime) = 0;

  // For extraction.  Paths are Shift-JIS with '\' separators.
  // What is at path; for a file, *lastWrite (when not null) gets its
  // modification time (100 ns steps since 1601, UTC).
  virtual EntryKind Examine(const std::string& path, std::uint64_t* lastWrite) = 0;
  // Makes the folder path; its parent exists.  Throws LzhError (kDirectory).
  virtual void MakeFolder(const std::string& path) = 0;
  // Gives the file the times that are not 0 and, when given, the MS-DOS
  // attributes (read-only, hidden, system, archive).  Throws LzhError
  // (kCannotWrite).
  virtual void SetFileInfo(const std::string& path, const FileTimes& times,
                           std::optional<std::uint16_t> attributes) = 0;
  // The file time (100 ns steps since 1601, UTC) of a local calendar time:
  // MS-DOS time stamps are local.
  virtual std::uint64_t FileTimeFromLocal(const CivilTime& local) = 0;
};

// Never throws LzhError (failures become the result); only std::bad_alloc
// and the like leave it.
CommandResult RunCommand(std::string_view commandLine, FileSystem& fs);

// Copies text into a caller's buffer of size bytes, always NUL-terminated
// (when size > 0), cut on a character boundary; never writes past size.
void CopyToBuffer(std::string_view text, char* buffer, std::size_t size);

}  // namespace kb::lzh
