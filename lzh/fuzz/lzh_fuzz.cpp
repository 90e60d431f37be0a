// Any bytes as an archive: every member header is read and every member
// unpacked; broken input must end in LzhError, never in a crash, a hang or
// a read outside the input.  What unpacks cleanly is packed again and must
// come back the same, which fuzzes the packer too.  Every member name goes
// through the extraction's path check, whose accepted paths must stay
// inside the target, and through the member patterns.
#include <cstdint>
#include <string_view>

#include "lzh/archive.h"
#include "lzh/command_line.h"
#include "lzh/extraction.h"
#include "lzh/status.h"

namespace {

using namespace kb::lzh;

// A few bytes can claim gigabytes of zeros that truly decode; the run stops
// early there, as it learns nothing more from them.
constexpr std::size_t kEnough = 4u << 20;
struct Enough {};

void Repack(const std::vector<std::uint8_t>& data) {
  MemoryInput input(data);
  MemoryOutput out;
  ArchiveWriter writer(out);
  writer.AddMember(input, NewMember{"x", 0, {}, {}});
  writer.Finish();
  MemoryArchive again(out.bytes());
  std::vector<std::uint8_t> back;
  for (const MemberLocation& m : ReadDirectory(again)) {
    UnpackMember(again, m, [&](const std::uint8_t* p, std::size_t n) { back.insert(back.end(), p, p + n); });
  }
  if (back != data) __builtin_trap();
}

// A path the check accepts has no part that leaves the target folder or
// names a drive or a stream.
void CheckPath(const std::string& name) {
  MemberPath path = CheckMemberPath(name);
  if (!path.refusal.empty()) return;
  std::vector<std::string> parts = path.folders;
  parts.push_back(path.file);
  for (const std::string& part : parts) {
    if (part == ".." || part.find(':') != std::string::npos) __builtin_trap();
  }
  if (!path.folders.empty() && path.folders[0].empty()) __builtin_trap();
  if (!MatchesMemberPattern(name, name)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryArchive file(data, size);
  try {
    ForEachMember(file, [&](const MemberLocation& m) {
      if (m.end() > size) __builtin_trap();
      CheckPath(m.header.name);
      std::vector<std::uint8_t> out;
      try {
        UnpackMember(file, m, [&](const std::uint8_t* p, std::size_t n) {
          if (out.size() + n > kEnough) throw Enough{};
          out.insert(out.end(), p, p + n);
        });
        if (out.size() != m.header.originalSize) __builtin_trap();
        if (out.size() <= 65536) Repack(out);
      } catch (const LzhError&) {
      } catch (const Enough&) {
      }
    });
  } catch (const LzhError&) {
  }
  try {
    ParseCommandLine(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const LzhError&) {
  }
  return 0;
}
