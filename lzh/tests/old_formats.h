// Writers of what this library only reads, for the tests: the older
// methods' streams (-lzs-, -lz5-, -lh1-, coded from their public
// descriptions; plain greedy matching) and member headers of every level.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kb::lzh::testing {

using Bytes = std::vector<std::uint8_t>;

// Each stream may copy from the ring the method starts with (blanks, or
// -lz5-'s runs of every byte), as the old encoders did.
Bytes EncodeLzs(const Bytes& data);
Bytes EncodeLz5(const Bytes& data);
Bytes EncodeLh1(const Bytes& data);

struct Extension {
  std::uint8_t type;
  Bytes data;
};

struct OldMember {
  int level = 2;
  std::string method = "-lh0-";
  std::string name = "file.txt";  // level 0 and 1: a folder may come with it
  Bytes packed;
  Bytes original;  // for the sizes and the CRC
  std::uint32_t stamp = 0;  // MS-DOS time for levels 0 and 1, else Unix time
  std::uint8_t os = 'M';
  bool headerCrc = true;  // levels 2 and 3: a header CRC extension first
  std::vector<Extension> extensions;  // after the name (level 0: the area after the CRC)
};

// The member's header followed by its packed data.
Bytes WriteOldMember(const OldMember& m);

// Members one after the other and the end mark.
Bytes OldArchive(const std::vector<OldMember>& members);

}  // namespace kb::lzh::testing
