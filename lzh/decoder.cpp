#include "lzh/decoder.h"

#include <algorithm>
#include <optional>

#include "lzh/lh5_decoder.h"
#include "lzh/lzss_decoder.h"
#include "lzh/status.h"

namespace kb::lzh {
namespace {

// -lh0-, -lz4-, -pm0- and folders: the data as it is.
class StoredDecoder final : public MemberDecoder {
 public:
  StoredDecoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t size)
      : file_(file), next_(offset), remaining_(size) {}

  std::size_t Read(std::uint8_t* out, std::size_t size) override {
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
    if (want == 0) return 0;
    std::size_t n = file_.ReadAt(next_, out, want);
    if (n == 0) throw LzhError(Status::kCannotRead, "the archive ends inside a member's data");
    next_ += n;
    remaining_ -= n;
    return n;
  }

 private:
  ArchiveFile& file_;
  std::uint64_t next_;
  std::uint64_t remaining_;
};

std::optional<MethodShape> ShapeOf(const std::string& method) {
  if (method == "-lh4-") return MethodShape{12, 14, 4};
  if (method == "-lh5-") return kLh5Shape;
  if (method == "-lh6-") return MethodShape{15, 16, 5};
  if (method == "-lh7-") return MethodShape{16, 17, 5};
  return std::nullopt;
}

bool IsStored(const std::string& method) {
  return method == "-lh0-" || method == "-lhd-" || method == "-lz4-" || method == "-pm0-";
}

}  // namespace

bool IsKnownMethod(const std::string& method) {
  return IsStored(method) || ShapeOf(method) || method == "-lh1-" || method == "-lzs-" ||
         method == "-lz5-";
}

std::unique_ptr<MemberDecoder> MakeDecoder(ArchiveFile& file, const MemberLocation& member) {
  const MemberHeader& h = member.header;
  const std::uint64_t at = member.dataOffset;
  if (IsStored(h.method)) {
    if (h.compressedSize != h.originalSize) {
      throw LzhError(Status::kBrokenData, "a stored member whose sizes differ");
    }
    return std::make_unique<StoredDecoder>(file, at, h.originalSize);
  }
  if (std::optional<MethodShape> shape = ShapeOf(h.method)) {
    return std::make_unique<Lh5Decoder>(file, at, h.compressedSize, h.originalSize, *shape);
  }
  if (h.method == "-lh1-") return std::make_unique<Lh1Decoder>(file, at, h.compressedSize, h.originalSize);
  if (h.method == "-lzs-") return std::make_unique<LzsDecoder>(file, at, h.compressedSize, h.originalSize);
  if (h.method == "-lz5-") return std::make_unique<Lz5Decoder>(file, at, h.compressedSize, h.originalSize);
  throw LzhError(Status::kMethod, "the method " + h.method + " is not supported");
}

}  // namespace kb::lzh
