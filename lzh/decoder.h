// Unpacking one member's data, whatever its method: the common interface of
// the decoders and the choice among them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "lzh/header.h"
#include "lzh/stream.h"

namespace kb::lzh {

// Every decoder hands out the original data in pieces.  Malformed data ends
// in LzhError (kBrokenData), never in a read or write outside its buffers.
class MemberDecoder {
 public:
  virtual ~MemberDecoder() = default;
  // Up to size bytes of the original data; 0 once all of it was produced.
  virtual std::size_t Read(std::uint8_t* out, std::size_t size) = 0;
};

// Whether this library unpacks the method: -lh0- to -lh7- (not -lh2- and
// -lh3-, which no released archiver wrote), -lhd- (a folder), -lzs-, -lz4-,
// -lz5- and -pm0- (stored).  The compressed PMarc methods -pm1- and -pm2-
// are not among them: such members are listed, and reported as of an
// unknown method when they are tested.
bool IsKnownMethod(const std::string& method);

// The decoder of the member's data.  Throws LzhError kMethod for a method
// IsKnownMethod refuses.
std::unique_ptr<MemberDecoder> MakeDecoder(ArchiveFile& file, const MemberLocation& member);

}  // namespace kb::lzh
