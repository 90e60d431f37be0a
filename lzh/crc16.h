// The CRC-16 of LZH archives ("ARC" CRC: reflected polynomial 0xA001,
// initial value 0); the check value of "123456789" is 0xBB3D.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kb::lzh {

std::uint16_t UpdateCrc16(std::uint16_t crc, const std::uint8_t* data, std::size_t size);

}  // namespace kb::lzh
