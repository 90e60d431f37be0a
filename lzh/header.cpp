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
constexpr std::uint8_t kExtUnixTime = 0x54;
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

// Applies one extension (type, data) to h.
void ApplyExtension(MemberHeader& h, std::string& folder, std::uint8_t type,
                    const std::uint8_t* data, std::size_t size) {
  switch (type) {
    case kExtFileName:
      h.name.assign(reinterpret_cast<const char*>(data), size);
      break;
    case kExtFolder:
      folder.assign(reinterpret_cast<const char*>(data), size);
      // 0xFF never occurs in Shift-JIS, so it is a safe separator.
      std::replace(folder.begin(), folder.end(), '\xFF', '\\');
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
    case kExtUnixTime:
      if (size >= 4) {
        h.stamp = Get32(data);
        h.stampIsUnix = true;
      }
      break;
    default:
      break;
  }
}

// Level 2: everything, extensions included, lies within the header.
MemberLocation ReadLevel2(ArchiveFile& file, std::uint64_t offset, const std::uint8_t* head) {
  std::size_t total = Get16(head);
  if (total < kLevel2BaseSize) Broken("too short");
  std::vector<std::uint8_t> bytes = ReadExactly(file, offset, total);
  MemberLocation m;
  MemberHeader& h = m.header;
  h.level = 2;
  h.method.assign(reinterpret_cast<const char*>(&bytes[2]), 5);
  h.compressedSize = Get32(&bytes[7]);
  h.originalSize = Get32(&bytes[11]);
  h.stamp = Get32(&bytes[15]);
  h.crc = static_cast<std::uint16_t>(Get16(&bytes[21]));
  h.os = bytes[23];
  std::string folder;
  std::optional<std::size_t> crcAt;
  std::size_t pos = kLevel2BaseSize;
  std::size_t next = Get16(&bytes[24]);
  while (next != 0) {
    if (next < 3 || pos + next > total) Broken("an extension past its end");
    std::size_t dataSize = next - 3;
    if (bytes[pos] == kExtHeaderCrc && dataSize >= 2) crcAt = pos + 1;
    ApplyExtension(h, folder, bytes[pos], &bytes[pos + 1], dataSize);
    pos += next;
    next = Get16(&bytes[pos - 2]);
  }
  if (crcAt) {
    std::uint16_t stored = static_cast<std::uint16_t>(Get16(&bytes[*crcAt]));
    bytes[*crcAt] = bytes[*crcAt + 1] = 0;
    if (UpdateCrc16(0, bytes.data(), bytes.size()) != stored) {
      throw LzhError(Status::kHeaderCrc, "a member header's CRC is wrong");
    }
  }
  h.name = folder + h.name;
  m.offset = offset;
  m.dataOffset = offset + total;
  return m;
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
  h.crc = static_cast<std::uint16_t>(Get16(&bytes[22 + nameLength]));
  h.os = level == 1 ? bytes[24 + nameLength] : 'M';
  if (level == 0) h.attributes = bytes[19];
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
  if (head[20] == 3) throw LzhError(Status::kNotSupported, "header level 3 is not supported");
  MemberLocation m = head[20] == 2 ? ReadLevel2(file, offset, head) : ReadLevel01(file, offset, head, head[20]);
  if (m.dataOffset > file.Size() || m.header.compressedSize > file.Size() - m.dataOffset) {
    Broken("the member's data runs past the end of the archive");
  }
  return m;
}

}  // namespace kb::lzh
