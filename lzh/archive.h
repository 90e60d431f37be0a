// Whole archives: walking and unpacking members, and writing a new archive
// member by member.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lzh/header.h"
#include "lzh/stream.h"

namespace kb::lzh {

// Every member header, front to back.  A file without a member header at
// its start is not an archive (LzhError kNotArchive); a later broken header
// throws after the members before it were handed over.
void ForEachMember(ArchiveFile& file, const std::function<void(const MemberLocation&)>& visit);
std::vector<MemberLocation> ReadDirectory(ArchiveFile& file);

// Unpacks one member, handing the data on in pieces, and checks its CRC.
// Methods: those IsKnownMethod (lzh/decoder.h) names.  Throws LzhError:
// kMethod for another method (the other members can still be unpacked),
// kBrokenData, kFileCrc.
void UnpackMember(ArchiveFile& file, const MemberLocation& member,
                  const std::function<void(const std::uint8_t*, std::size_t)>& out);

// What a new member takes from the file it is made of.
struct NewMember {
  std::string name;  // Shift-JIS file name, no folder
  std::uint32_t unixTime = 0;
  std::optional<std::uint16_t> attributes;
  std::optional<FileTimes> times;
};

// The largest file a member holds: sizes are 32-bit (the 64-bit extension is
// not read by every reader, so larger files are refused).
constexpr std::uint64_t kMaxMemberSize = 0xFFFFFFFFu;

class ArchiveWriter {
 public:
  explicit ArchiveWriter(OutputFile& out) : out_(out) {}

  // Copies a member of another archive as it is, header and data.
  void CopyMember(ArchiveFile& from, const MemberLocation& member);

  // Packs input as -lh5-, or stores it as -lh0- when it is empty or does
  // not shrink.  On failure (the file cannot be read, grows past
  // kMaxMemberSize, or the archive cannot be written) the archive is left as
  // it was before the call and LzhError is thrown.
  MemberHeader AddMember(InputFile& input, const NewMember& member);

  // Writes the end mark and ends the file there.
  void Finish();

 private:
  MemberHeader Pack(InputFile& input, MemberHeader h, std::uint64_t dataStart);

  OutputFile& out_;
};

}  // namespace kb::lzh
