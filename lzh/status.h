// Result codes of the archiver library family (the values its callers know)
// and the exception that carries one through the core.
#pragma once

#include <stdexcept>
#include <string>

namespace kb::lzh {

// 0 is success; every failure is 0x8000 + n.  Codes below 0x8012 are
// warnings in the family's convention (the archive was still made), the rest
// errors.
enum class Status : int {
  kOk = 0,
  kMethod = 0x8009,          // a member packed with a method this library cannot unpack
  kFileCrc = 0x800C,         // a member's data does not match its CRC
  kFileOpen = 0x800D,        // a file to pack cannot be opened or read; it was left out
  kMoreFresh = 0x800E,       // not extracted: the file already there is as new or newer
  kAlreadyExists = 0x8010,   // not extracted: a file of that name is already there
  kDirectory = 0x8012,       // a member's path is refused, or a folder cannot be made
  kCannotWrite = 0x8013,     // the archive cannot be written
  kBrokenData = 0x8014,      // compressed data that cannot be decoded
  kHeaderCrc = 0x8016,       // a member header whose CRC is wrong
  kBrokenHeader = 0x8017,    // a member header that cannot be read
  kNotArchive = 0x8019,      // the file is not an LZH archive
  kCannotRead = 0x801A,      // the archive cannot be read
  kBadCommand = 0x801C,      // an unknown or unsupported command or switch
  kOutOfMemory = 0x801E,
  kHarcNotOpened = 0x8021,   // an archive-handle call; this library opens none
  kNotSupported = 0x8023,    // a file this library will not pack (over 4 GiB, name not in Shift-JIS)
  kArchiveNotFound = 0x8029, // the archive to list or test does not exist
  kNoFile = 0x802B,          // no file name given, or a pattern that matches no file
  kMakeArchive = 0x8040,     // the archive cannot be made (temporary file or renaming failed)
};

class LzhError : public std::runtime_error {
 public:
  LzhError(Status status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  Status status() const { return status_; }

 private:
  Status status_;
};

}  // namespace kb::lzh
