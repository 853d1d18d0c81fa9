// Replies as the controller lays them out, built byte by byte for the decoder and read tests.
#pragma once

#include <string>

#include "link/package.h"

namespace vandir::test {

struct ReplyBytes {
  defRECEIVE_PACKAGE p;
  explicit ReplyBytes(int code, int p1 = 0, int p2 = 0, int p3 = 0) {
    p.set_iHead(kPackageHead);
    p.set_iCommand(static_cast<std::int16_t>(code));
    p.set_iLength(kPackageSize);
    p.set_iParam1(static_cast<std::int16_t>(p1));
    p.set_iParam2(static_cast<std::int16_t>(p2));
    p.set_iParam3(static_cast<std::int16_t>(p3));
  }
  // Offsets are data-area offsets.
  ReplyBytes& I32(int data, std::int32_t v) { p.put_i32(kData + data, v); return *this; }
  ReplyBytes& I16(int data, std::int16_t v) { p.put_i16(kData + data, v); return *this; }
  ReplyBytes& F64(int data, double v) { p.put_f64(kData + data, v); return *this; }
  ReplyBytes& U8(int data, std::uint8_t v) { p.put_u8(kData + data, v); return *this; }
  ReplyBytes& Text(int data, const std::string& t) { p.put_text(kData + data, t); return *this; }
};

}  // namespace vandir::test
