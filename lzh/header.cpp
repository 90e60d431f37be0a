#include "lzh/header.h"

#include <algorithm>

#include "lzh/crc16.h"
#include "lzh/status.h"

namespace kb::lzh {
namespace {

constexpr std::uint8_t kExtHeaderCrc = 0x00;
constexpr std::uint8_t kExtFileName = 0x01;
constexpr std::uint8_t kExtFolder = 0x02;
constexpr std::uint8_t kExtAttributes = 0x40;
constexpr std::uint8_t kExtWindowsTimes = 0x41;
constexpr std::uint8_t kExtLargeSizes = 0x42;
constexpr std::uint8_t kExtUnixMode = 0x50;
constexpr std::uint8_t kExtUnixTime = 0x54;
// A level-3 header's size is 32-bit; none real comes near this.
constexpr std::size_t kLevel3MaxSize = 1 << 20;
constexpr std::size_t kLevel2BaseSize = 26;  // up to and with the first extension's size

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Put64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  Put32(out, static_cast<std::uint32_t>(v));
  Put32(out, static_cast<std::uint32_t>(v >> 32));
}
std::uint32_t Get16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t Get32(const std::uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }
std::uint64_t Get64(const std::uint8_t* p) {
  return Get32(p) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32);
}

[[noreturn]] void Broken(const std::string& what) {
  throw LzhError(Status::kBrokenHeader, "broken member header: " + what);
}

std::vector<std::uint8_t> ReadExactly(ArchiveFile& file, std::uint64_t offset, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  if (size > 0 && file.ReadAt(offset, bytes.data(), size) != size) Broken("the archive ends inside it");
  return bytes;
}

// Folder separators of the other systems' writers as backslashes: '/' and
// 0xFF never occur inside a Shift-JIS character.
void MakeSeparatorsBackslashes(std::string& path) {
  for (char& c : path) {
    if (c == '/' || c == '\xFF') c = '\\';
  }
}

// Applies one extension (type, data) to h.
void ApplyExtension(MemberHeader& h, std::string& folder, std::uint8_t type,
                    const std::uint8_t* data, std::size_t size) {
  switch (type) {
    case kExtFileName:
      h.name.assign(reinterpret_cast<const char*>(data), size);
      break;
    case kExtFolder:
      folder.assign(reinterpret_cast<const char*>(data), size);
      MakeSeparatorsBackslashes(folder);
      if (!folder.empty() && folder.back() != '\\') folder += '\\';
      break;
    case kExtAttributes:
      if (size >= 2) h.attributes = static_cast<std::uint16_t>(Get16(data));
      break;
    case kExtWindowsTimes:
      if (size >= 24) h.times = FileTimes{Get64(data), Get64(data + 8), Get64(data + 16)};
      break;
    case kExtLargeSizes:
      if (size >= 16) {
        h.compressedSize = Get64(data);
        h.originalSize = Get64(data + 8);
      }
      break;
    case kExtUnixMode:
      if (size >= 2) h.unixMode = static_cast<std::uint16_t>(Get16(data));
      break;
    case kExtUnixTime:
      if (size >= 4) {
        h.stamp = Get32(data);
        h.stampIsUnix = true;
      }
      break;
    default:  // owners, comments, OS/2, Mac and Amiga data: nothing to use
      break;
  }
}

std::uint32_t GetField(const std::uint8_t* p, std::size_t fieldSize) {
  return fieldSize == 4 ? Get32(p) : Get16(p);
}

// Walks the extensions of a level-2 or level-3 header from the size field
// at `at`, each [size][type][data] with its size counting all three, up to
// a zero size.  Returns where the chain ends, or 0 when an extension runs
// past limit (then nothing was applied).  With h, applies them and notes
// where the header CRC is.
std::size_t WalkExtensions(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t limit,
                           std::size_t fieldSize, MemberHeader* h, std::optional<std::size_t>* crcAt) {
  std::string folder;
  for (;;) {
    if (at + fieldSize > limit) return 0;
    std::size_t size = GetField(&bytes[at], fieldSize);
    if (size == 0) break;
    if (size < fieldSize + 1) Broken("an extension shorter than its own size");
    if (size > limit - at - fieldSize) return 0;
    const std::uint8_t type = bytes[at + fieldSize];
    const std::size_t dataAt = at + fieldSize + 1;
    const std::size_t dataSize = size - fieldSize - 1;
    if (h != nullptr) {
      if (type == kExtHeaderCrc && dataSize >= 2) *crcAt = dataAt;
      ApplyExtension(*h, folder, type, &bytes[dataAt], dataSize);
    }
    at += size;
  }
  if (h != nullptr) h->name = folder + h->name;
  return at + fieldSize;
}

// Levels 2 and 3: everything, extensions included, lies within the header,
// whose size is at offset 0 (level 2, 16 bits) or 24 (level 3, 32 bits; its
// extension sizes are 32 bits too).
MemberLocation ReadLevel23(ArchiveFile& file, std::uint64_t offset, const std::uint8_t* head, int level) {
  const std::size_t fieldSize = level == 3 ? 4 : 2;
  const std::size_t chainAt = level == 3 ? 28 : 24;
  std::size_t total = Get16(head);
  if (level == 3) {
    if (total != 4) Broken("a level-3 header of another word size");
    std::vector<std::uint8_t> fixed = ReadExactly(file, offset, chainAt + fieldSize);
    total = Get32(&fixed[24]);
    if (total > kLevel3MaxSize) Broken("longer than any header");
  }
  if (total < chainAt + fieldSize) Broken("too short");
  std::vector<std::uint8_t> bytes = ReadExactly(file, offset, total);
  if (WalkExtensions(bytes, chainAt, total, fieldSize, nullptr, nullptr) == 0) {
    // The OS-9/68k writer counts the size from after its own field, two
    // bytes short; a chain that ends exactly two bytes past the stated end
    // can mean nothing else.
    std::uint64_t available = file.Size() - offset;
    bool os9Size = level == 2 && available >= total + 2;
    if (os9Size) {
      bytes = ReadExactly(file, offset, total + 2);
      os9Size = WalkExtensions(bytes, chainAt, total + 2, fieldSize, nullptr, nullptr) == total + 2;
    }
    if (!os9Size) Broken("an extension past its end");
    total += 2;
  }
  MemberLocation m;
  MemberHeader& h = m.header;
  h.level = level;
  h.method.assign(reinterpret_cast<const char*>(&bytes[2]), 5);
  h.compressedSize = Get32(&bytes[7]);
  h.originalSize = Get32(&bytes[11]);
  h.stamp = Get32(&bytes[15]);
  h.crc = static_cast<std::uint16_t>(Get16(&bytes[21]));
  h.os = bytes[23];
  std::optional<std::size_t> crcAt;
  WalkExtensions(bytes, chainAt, total, fieldSize, &h, &crcAt);
  if (crcAt) {
    std::uint16_t stored = static_cast<std::uint16_t>(Get16(&bytes[*crcAt]));
    bytes[*crcAt] = bytes[*crcAt + 1] = 0;
    if (UpdateCrc16(0, bytes.data(), bytes.size()) != stored) {
      throw LzhError(Status::kHeaderCrc, "a member header's CRC is wrong");
    }
  }
  m.offset = offset;
  m.dataOffset = offset + total;
  return m;
}

// A level-0 header's area after the CRC, as Unix writers fill it: 'U', 0,
// the Unix time, then mode, uid and gid (the last six bytes; OS-9/68k puts
// a second time before them).
void ApplyLevel0Area(MemberHeader& h, const std::uint8_t* area, std::size_t size) {
  if (size < 12 || area[1] != 0 || (area[0] != 'U' && area[0] != 'K')) return;
  if (h.method.compare(0, 3, "-pm") == 0) return;  // PMarc keeps comments there
  h.os = area[0];
  h.stamp = Get32(area + 2);
  h.stampIsUnix = true;
  h.unixMode = static_cast<std::uint16_t>(Get16(area + size - 6));
}

// Levels 0 and 1: a base header with a byte checksum; level 1 continues with
// extensions outside it, counted in the compressed size.
MemberLocation ReadLevel01(ArchiveFile& file, std::uint64_t offset, const std::uint8_t* head,
                           int level) {
  std::size_t baseSize = static_cast<std::size_t>(head[0]) + 2;
  if (baseSize < 24) Broken("too short");
  std::vector<std::uint8_t> bytes = ReadExactly(file, offset, baseSize);
  std::size_t nameLength = bytes[21];
  std::size_t need = 22 + nameLength + 2 + (level == 1 ? 3 : 0);
  if (baseSize < need) Broken("too short for its name");
  unsigned sum = 0;
  for (std::size_t i = 2; i < baseSize; ++i) sum += bytes[i];
  if ((sum & 0xFF) != bytes[1]) throw LzhError(Status::kHeaderCrc, "a member header's checksum is wrong");

  MemberLocation m;
  MemberHeader& h = m.header;
  h.level = level;
  h.method.assign(reinterpret_cast<const char*>(&bytes[2]), 5);
  h.compressedSize = Get32(&bytes[7]);
  h.originalSize = Get32(&bytes[11]);
  h.stamp = Get32(&bytes[15]);
  h.stampIsUnix = false;
  h.name.assign(reinterpret_cast<const char*>(&bytes[22]), nameLength);
  MakeSeparatorsBackslashes(h.name);
  h.crc = static_cast<std::uint16_t>(Get16(&bytes[22 + nameLength]));
  h.os = level == 1 ? bytes[24 + nameLength] : 'M';
  if (level == 0) {
    h.attributes = bytes[19];
    ApplyLevel0Area(h, &bytes[need], baseSize - need);
  }
  std::uint64_t pos = offset + baseSize;
  if (level == 1) {
    std::string folder;
    std::uint64_t extTotal = 0;
    std::size_t next = Get16(&bytes[baseSize - 2]);
    while (next != 0) {
      if (next < 3) Broken("an extension shorter than its own size");
      std::vector<std::uint8_t> ext = ReadExactly(file, pos, next);
      ApplyExtension(h, folder, ext[0], &ext[1], next - 3);
      extTotal += next;
      if (extTotal > h.compressedSize) Broken("extensions longer than the member");
      pos += next;
      next = Get16(&ext[next - 2]);
    }
    h.compressedSize -= extTotal;
    h.name = folder + h.name;
  }
  m.offset = offset;
  m.dataOffset = pos;
  return m;
}

}  // namespace

std::vector<std::uint8_t> WriteLevel2Header(const MemberHeader& h) {
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  for (int i = 0; i < 5; ++i) out.push_back(i < static_cast<int>(h.method.size()) ? h.method[i] : ' ');
  Put32(out, static_cast<std::uint32_t>(h.compressedSize));
  Put32(out, static_cast<std::uint32_t>(h.originalSize));
  Put32(out, h.stamp);
  out.push_back(0x20);  // bsdtar accepts level 2 only with this value
  out.push_back(2);
  Put16(out, h.crc);
  out.push_back(h.os);

  std::size_t extSize = 3 + 2 + (3 + h.name.size());
  if (h.attributes) extSize += 3 + 2;
  if (h.times) extSize += 3 + 24;
  bool longCrc = (kLevel2BaseSize - 2 + extSize + 2) % 256 == 0;

  Put16(out, longCrc ? 6 : 5);
  out.push_back(kExtHeaderCrc);
  std::size_t crcAt = out.size();
  Put16(out, 0);
  if (longCrc) out.push_back(0);
  Put16(out, static_cast<std::uint32_t>(3 + h.name.size()));
  out.push_back(kExtFileName);
  out.insert(out.end(), h.name.begin(), h.name.end());
  if (h.attributes) {
    Put16(out, 5);
    out.push_back(kExtAttributes);
    Put16(out, *h.attributes);
  }
  if (h.times) {
    Put16(out, 27);
    out.push_back(kExtWindowsTimes);
    Put64(out, h.times->creation);
    Put64(out, h.times->lastWrite);
    Put64(out, h.times->lastAccess);
  }
  Put16(out, 0);

  out[0] = static_cast<std::uint8_t>(out.size());
  out[1] = static_cast<std::uint8_t>(out.size() >> 8);
  std::uint16_t crc = UpdateCrc16(0, out.data(), out.size());
  out[crcAt] = static_cast<std::uint8_t>(crc);
  out[crcAt + 1] = static_cast<std::uint8_t>(crc >> 8);
  return out;
}

std::optional<MemberLocation> ReadMemberHeader(ArchiveFile& file, std::uint64_t offset) {
  std::uint8_t head[22] = {};
  std::size_t got = file.ReadAt(offset, head, sizeof head);
  if (got == 0 || head[0] == 0) return std::nullopt;
  if (got < sizeof head) Broken("the archive ends inside it");
  if (head[2] != '-' || head[6] != '-' || head[20] > 3) {
    throw LzhError(Status::kNotArchive, "not an LZH archive (no member header)");
  }
  MemberLocation m = head[20] >= 2 ? ReadLevel23(file, offset, head, head[20])
                                   : ReadLevel01(file, offset, head, head[20]);
  if (m.dataOffset > file.Size() || m.header.compressedSize > file.Size() - m.dataOffset) {
    Broken("the member's data runs past the end of the archive");
  }
  return m;
}

}  // namespace kb::lzh
