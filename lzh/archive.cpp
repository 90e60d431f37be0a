#include "lzh/archive.h"

#include <memory>

#include "lzh/crc16.h"
#include "lzh/decoder.h"
#include "lzh/lh5_encoder.h"
#include "lzh/status.h"

namespace kb::lzh {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Reads input to its end, handing each piece to use; returns the size and
// CRC of what was read.
template <typename Use>
std::uint64_t ReadAll(InputFile& input, std::uint16_t* crc, Use use) {
  std::vector<std::uint8_t> buffer(kChunk);
  std::uint64_t size = 0;
  *crc = 0;
  while (std::size_t n = input.Read(buffer.data(), buffer.size())) {
    size += n;
    if (size > kMaxMemberSize) throw LzhError(Status::kNotSupported, "the file is larger than 4 GiB");
    *crc = UpdateCrc16(*crc, buffer.data(), n);
    use(buffer.data(), n);
  }
  return size;
}

}  // namespace

void ForEachMember(ArchiveFile& file, const std::function<void(const MemberLocation&)>& visit) {
  std::uint64_t offset = 0;
  bool first = true;
  for (;;) {
    std::optional<MemberLocation> member;
    try {
      member = ReadMemberHeader(file, offset);
    } catch (const LzhError& e) {
      // Garbage after good members is a broken archive, not a foreign file.
      if (!first && e.status() == Status::kNotArchive) {
        throw LzhError(Status::kBrokenHeader, "broken archive: no member header where one should be");
      }
      throw;
    }
    if (!member) return;
    first = false;
    visit(*member);
    offset = member->end();
  }
}

std::vector<MemberLocation> ReadDirectory(ArchiveFile& file) {
  std::vector<MemberLocation> members;
  ForEachMember(file, [&](const MemberLocation& m) { members.push_back(m); });
  return members;
}

void UnpackMember(ArchiveFile& file, const MemberLocation& member,
                  const std::function<void(const std::uint8_t*, std::size_t)>& out) {
  std::unique_ptr<MemberDecoder> decoder = MakeDecoder(file, member);
  std::vector<std::uint8_t> buffer(kChunk);
  std::uint16_t crc = 0;
  while (std::size_t n = decoder->Read(buffer.data(), buffer.size())) {
    crc = UpdateCrc16(crc, buffer.data(), n);
    out(buffer.data(), n);
  }
  if (crc != member.header.crc) throw LzhError(Status::kFileCrc, "CRC error");
}

void ArchiveWriter::CopyMember(ArchiveFile& from, const MemberLocation& member) {
  std::vector<std::uint8_t> buffer(kChunk);
  std::uint64_t offset = member.offset;
  while (offset < member.end()) {
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, member.end() - offset));
    std::size_t n = from.ReadAt(offset, buffer.data(), want);
    if (n == 0) throw LzhError(Status::kCannotRead, "the old archive cannot be read");
    out_.Write(buffer.data(), n);
    offset += n;
  }
}

MemberHeader ArchiveWriter::AddMember(InputFile& input, const NewMember& member) {
  MemberHeader h;
  h.name = member.name;
  h.stamp = member.unixTime;
  h.attributes = member.attributes;
  h.times = member.times;
  const std::uint64_t start = out_.Position();
  try {
    // The header is written first with the final size (it does not depend
    // on the sizes) and completed once the data is known.
    std::vector<std::uint8_t> header = WriteLevel2Header(h);
    out_.Write(header.data(), header.size());
    h = Pack(input, h, out_.Position());
    const std::uint64_t end = out_.Position();
    header = WriteLevel2Header(h);
    out_.Seek(start);
    out_.Write(header.data(), header.size());
    out_.Seek(end);
    return h;
  } catch (...) {
    out_.Seek(start);
    throw;
  }
}

MemberHeader ArchiveWriter::Pack(InputFile& input, MemberHeader h, std::uint64_t dataStart) {
  std::unique_ptr<Lh5Encoder> encoder;
  h.originalSize = ReadAll(input, &h.crc, [&](const std::uint8_t* data, std::size_t n) {
    if (!encoder) encoder = std::make_unique<Lh5Encoder>(out_);
    encoder->Write(data, n);
  });
  if (encoder) {
    encoder->Finish();
    h.compressedSize = encoder->CompressedSize();
    if (h.compressedSize < h.originalSize) {
      h.method = "-lh5-";
      return h;
    }
  }
  // Empty, or no smaller packed: stored as it is.  The file is read again,
  // and what is stored is what that second reading gave.
  out_.Seek(dataStart);
  input.Rewind();
  h.method = "-lh0-";
  h.originalSize = ReadAll(input, &h.crc, [&](const std::uint8_t* data, std::size_t n) {
    out_.Write(data, n);
  });
  h.compressedSize = h.originalSize;
  return h;
}

void ArchiveWriter::Finish() {
  const std::uint8_t endMark = 0;
  out_.Write(&endMark, 1);
  out_.Truncate();
}

}  // namespace kb::lzh
