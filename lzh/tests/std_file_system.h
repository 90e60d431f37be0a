// The archiver's file system on the host (POSIX files), for the host tests
// and the lzh_pack tool.  Patterns may use '/' or '\'; wildcards match case
// sensitively, as names do on the host.  Links are examined, never
// followed.
#pragma once

#include <string>

#include "lzh/commands.h"

namespace kb::lzh::testing {

class StdFileSystem : public FileSystem {
 public:
  std::vector<FoundFile> Find(const std::string& pattern) override;
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<ArchiveFile> OpenArchive(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateTemporary(const std::string& path) override;
  void Commit(std::unique_ptr<OutputFile> temporary, const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  CivilTime LocalTime(std::uint32_t unixTime) override;
  EntryKind Examine(const std::string& path, std::uint64_t* lastWrite) override;
  void MakeFolder(const std::string& path) override;
  // Times: the modification and access times (the host keeps no creation
  // time).  Attributes: read-only takes away the write permissions.
  void SetFileInfo(const std::string& path, const FileTimes& times, std::optional<std::uint16_t> attributes) override;
  std::uint64_t FileTimeFromLocal(const CivilTime& local) override;
};

// '*' any run, '?' one byte.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// Runs a shell command on the host (C.UTF-8 locale), its output and errors
// appended to `log` for failures to show; the status as pclose gives it.
int Shell(const std::string& command, std::string* log);

}  // namespace kb::lzh::testing
