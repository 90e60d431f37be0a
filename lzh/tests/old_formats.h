// Writers of what this library only reads, for the tests: the older
// methods' streams (-lzs-, -lz5-, -lh1-, coded from their public
// descriptions; plain greedy matching), -lh5- streams shaped as other
// writers shape them, and member headers of every level.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lzh/bit_io.h"
#include "lzh/stream.h"

namespace kb::lzh::testing {

using Bytes = std::vector<std::uint8_t>;

// Each stream may copy from the ring the method starts with (blanks, or
// -lz5-'s runs of every byte), as the old encoders did.
Bytes EncodeLzs(const Bytes& data);
Bytes EncodeLz5(const Bytes& data);
Bytes EncodeLh1(const Bytes& data);

// -lh5- blocks as writers that never prune their tables write them: every
// symbol of every table has a code (no one-symbol forms, no trailing zero
// lengths), the literal 0 and the longest copy the shortest ones.  With
// `changing`, four other main symbols take 10-bit codes that move every
// block, so no block repeats the table before it.
class FullTableLh5Writer {
 public:
  struct Token {
    std::uint16_t symbol;    // literal, or 256 + length - 3
    std::uint16_t distance;  // a copy's distance - 1
  };
  FullTableLh5Writer(OutputFile& out, bool changing) : bits_(out), changing_(changing) {}
  void Block(const std::vector<Token>& tokens);
  void Finish() { bits_.Flush(); }
  std::uint64_t Size() const { return bits_.BytesWritten(); }

 private:
  void SmallTable(const std::uint8_t* lengths, int n, int countBits, int special);

  BitWriter bits_;
  bool changing_;
  int block_ = 0;
};

// data as -lh5- (greedy matching) in blocks of blockTokens tokens, written
// by FullTableLh5Writer.
Bytes EncodeLh5FullTables(const Bytes& data, int blockTokens, bool changing);

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
