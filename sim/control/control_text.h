// Bytes and texts as the control channel shows and takes them, so that every reply stays
// one line whatever the bytes hold.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vandir::sim {

// Lower-case hex, two digits a byte.
std::string Hex(std::span<const std::uint8_t> bytes);
// The bytes of an even number of hex digits (either case); nullopt for anything else.
std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view text);

// The text in double quotes; a backslash, a quote and every byte outside printable ASCII
// are escaped (\\, \", \xHH).
std::string Quoted(std::string_view text);

}  // namespace vandir::sim
