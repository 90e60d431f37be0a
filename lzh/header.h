// Member headers: level 2 written, levels 0 to 3 read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lzh/stream.h"

namespace kb::lzh {

// The Windows times of a member (extension 0x41), each in 100 ns since 1601.
struct FileTimes {
  std::uint64_t creation = 0;
  std::uint64_t lastWrite = 0;
  std::uint64_t lastAccess = 0;
};

struct MemberHeader {
  std::string method = "-lh0-";  // five characters
  std::uint64_t compressedSize = 0;
  std::uint64_t originalSize = 0;
  // Level 2 keeps Unix time (UTC); levels 0 and 1 an MS-DOS local time.
  std::uint32_t stamp = 0;
  bool stampIsUnix = true;
  std::uint16_t crc = 0;
  std::uint8_t os = 'W';
  int level = 2;
  // Shift-JIS; folders joined with backslashes (only read: this library
  // writes file names alone).
  std::string name;
  std::optional<std::uint16_t> attributes;  // MS-DOS attribute bits (0x40)
  std::optional<FileTimes> times;
  // Unix mode bits (extension 0x50, or a level-0 Unix area): tells links
  // (S_IFLNK, stored as "-lhd-" members named "link|target") from folders.
  std::optional<std::uint16_t> unixMode;
};

// The level-2 header of h: sizes, Unix time, CRC, the header CRC, the file
// name and, where h has them, the attributes and the Windows times.  A header
// whose size would be a multiple of 256 starts with a zero byte, which
// readers take for the end of the archive; its CRC extension is then one byte
// longer.
std::vector<std::uint8_t> WriteLevel2Header(const MemberHeader& h);

struct MemberLocation {
  MemberHeader header;
  std::uint64_t offset = 0;      // where the header starts
  std::uint64_t dataOffset = 0;  // where the compressed data starts
  std::uint64_t end() const { return dataOffset + header.compressedSize; }
};

// The member whose header starts at offset, or nothing at the end of the
// archive (a zero byte, or the end of the file).  Extensions this library
// has no use for (Unix owners, OS/2 extended attributes, Mac and Amiga
// data, comments, ...) are skipped.  Throws LzhError: kNotArchive where no
// member header is, kHeaderCrc for a wrong checksum, kBrokenHeader for one
// that cannot be read or whose data lies past the end of the file.
std::optional<MemberLocation> ReadMemberHeader(ArchiveFile& file, std::uint64_t offset);

}  // namespace kb::lzh
