// The CRC-32 of zip and Ethernet, so a control line can name a file's contents in eight
// hex digits that any tool reproduces.
#pragma once

#include <cstdint>
#include <span>

namespace vandir::sim {

// The CRC of everything hashed so far followed by `bytes`; start with 0.
std::uint32_t Crc32(std::uint32_t crc, std::span<const std::uint8_t> bytes);

}  // namespace vandir::sim
