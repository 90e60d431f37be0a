// The archiver's file system on Windows: Shift-JIS paths converted with code
// page 932 and handed to the W file functions.
#pragma once

#include "lzh/commands.h"

namespace kb::unlha {

class WinFileSystem : public lzh::FileSystem {
 public:
  std::vector<lzh::FoundFile> Find(const std::string& pattern) override;
  std::unique_ptr<lzh::InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<lzh::ArchiveFile> OpenArchive(const std::string& path) override;
  std::unique_ptr<lzh::OutputFile> CreateTemporary(const std::string& path) override;
  void Commit(std::unique_ptr<lzh::OutputFile> temporary, const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  lzh::CivilTime LocalTime(std::uint32_t unixTime) override;
  // Reparse points (symbolic links, junctions) are kOther: never written
  // through.
  lzh::EntryKind Examine(const std::string& path, std::uint64_t* lastWrite) override;
  void MakeFolder(const std::string& path) override;
  void SetFileInfo(const std::string& path, const lzh::FileTimes& times,
                   std::optional<std::uint16_t> attributes) override;
  std::uint64_t FileTimeFromLocal(const lzh::CivilTime& local) override;
};

// Shift-JIS to UTF-16; throws LzhError for bytes that are not Shift-JIS.
std::wstring WideFromShiftJis(const std::string& text);
// UTF-16 to Shift-JIS; *fits is false when a character has no Shift-JIS form
// (it then holds '?').
std::string ShiftJisFromWide(const std::wstring& text, bool* fits);

}  // namespace kb::unlha
