// The 512-byte package of the controller's command and DNC channels.
//
// A package is kept as the bytes that travel on the wire; the header words and the
// data-area values are read and written through little-endian accessors, so the
// layout is exact on any host. This header is self-contained on purpose: the
// simulator shares it and nothing else with the link.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vandir {

inline constexpr int kPackageSize = 512;
inline constexpr int kHeaderSize = 16;
inline constexpr int kDataSize = kPackageSize - kHeaderSize;  // 496
inline constexpr int kData = kHeaderSize;                       // offset of the data area
inline constexpr std::int16_t kPackageHead = 516;

// Ports of the controller (the PC is the client on each of them).
inline constexpr std::uint16_t kCommandPort = 1888;
inline constexpr std::uint16_t kDncCommandPort = 1988;
inline constexpr std::uint16_t kDncChannelPort = 2000;

// Codes the link machinery uses itself; the ordinary catalogue lives with the builders.
inline constexpr std::int16_t kCmdLogin = 256;
inline constexpr std::int16_t kCmdEcho = 271;
inline constexpr std::int16_t kCmdLogout = 511;
inline constexpr std::int16_t kReplyOffset = 256;  // ordinary reply code = request code + 256

// Login levels the handshake reply carries in iParam1.
inline constexpr std::int16_t kLoginLimited = 501;
inline constexpr std::int16_t kLoginFull = 502;
inline constexpr std::int16_t kLoginRefused = 500;
inline constexpr std::int16_t kLoginRefusedOther = 503;

struct defPACKAGE {
  std::array<std::uint8_t, kPackageSize> bytes{};

  // Header words (signed 16-bit, bytes 0-15).
  std::int16_t iHead() const { return i16(0); }
  std::int16_t iCommand() const { return i16(2); }
  std::int16_t iLength() const { return i16(4); }
  std::int16_t iIndex() const { return i16(6); }
  std::int16_t iReplyLength() const { return i16(8); }
  std::int16_t iParam1() const { return i16(10); }
  std::int16_t iParam2() const { return i16(12); }
  std::int16_t iParam3() const { return i16(14); }
  void set_iHead(std::int16_t v) { put_i16(0, v); }
  void set_iCommand(std::int16_t v) { put_i16(2, v); }
  void set_iLength(std::int16_t v) { put_i16(4, v); }
  void set_iIndex(std::int16_t v) { put_i16(6, v); }
  void set_iReplyLength(std::int16_t v) { put_i16(8, v); }
  void set_iParam1(std::int16_t v) { put_i16(10, v); }
  void set_iParam2(std::int16_t v) { put_i16(12, v); }
  void set_iParam3(std::int16_t v) { put_i16(14, v); }

  // Values at package offsets (the data area starts at kData). Callers keep the
  // offsets inside the package; readers of received bytes check them first.
  std::uint8_t u8(int off) const { return bytes[static_cast<std::size_t>(off)]; }
  std::int8_t i8(int off) const { return static_cast<std::int8_t>(u8(off)); }
  std::uint16_t u16(int off) const {
    return static_cast<std::uint16_t>(u8(off) | (u8(off + 1) << 8));
  }
  std::int16_t i16(int off) const { return static_cast<std::int16_t>(u16(off)); }
  std::uint32_t u32(int off) const {
    return static_cast<std::uint32_t>(u16(off)) | (static_cast<std::uint32_t>(u16(off + 2)) << 16);
  }
  std::int32_t i32(int off) const { return static_cast<std::int32_t>(u32(off)); }
  double f64(int off) const {
    const std::uint64_t lo = u32(off), hi = u32(off + 4);
    return std::bit_cast<double>(lo | (hi << 32));
  }

  void put_u8(int off, std::uint8_t v) { bytes[static_cast<std::size_t>(off)] = v; }
  void put_u16(int off, std::uint16_t v) {
    put_u8(off, static_cast<std::uint8_t>(v));
    put_u8(off + 1, static_cast<std::uint8_t>(v >> 8));
  }
  void put_i16(int off, std::int16_t v) { put_u16(off, static_cast<std::uint16_t>(v)); }
  void put_u32(int off, std::uint32_t v) {
    put_u16(off, static_cast<std::uint16_t>(v));
    put_u16(off + 2, static_cast<std::uint16_t>(v >> 16));
  }
  void put_i32(int off, std::int32_t v) { put_u32(off, static_cast<std::uint32_t>(v)); }
  void put_f64(int off, double v) {
    const auto raw = std::bit_cast<std::uint64_t>(v);
    put_u32(off, static_cast<std::uint32_t>(raw));
    put_u32(off + 4, static_cast<std::uint32_t>(raw >> 32));
  }

  // Copies `text` to `off` without its NUL (the package is zero where nothing was written).
  // Returns false, writing nothing, when it would not fit in the package.
  bool put_text(int off, std::string_view text) {
    if (off < 0 || off + static_cast<long>(text.size()) > kPackageSize) return false;
    std::memcpy(bytes.data() + off, text.data(), text.size());
    return true;
  }
  // The NUL-terminated text at `off`, read no further than `limit` (a package offset).
  std::string text(int off, int limit = kPackageSize) const {
    if (limit > kPackageSize) limit = kPackageSize;
    if (off < 0 || off >= limit) return {};
    const auto* begin = reinterpret_cast<const char*>(bytes.data() + off);
    const void* nul = std::memchr(begin, 0, static_cast<std::size_t>(limit - off));
    return std::string(begin, nul ? static_cast<const char*>(nul) : begin + (limit - off));
  }
};

// Requests and replies share one layout.
using defSEND_PACKAGE = defPACKAGE;
using defRECEIVE_PACKAGE = defPACKAGE;

}  // namespace vandir
