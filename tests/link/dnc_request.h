// DNC requests as the controller lays them out, built byte by byte.
#pragma once

#include <cstring>
#include <string>

#include "link/package.h"

namespace vandir::test {

struct DncRequest {
  defPACKAGE p;
  explicit DncRequest(int code, int index, int p1 = 0, int p2 = 0, int p3 = 0) {
    p.set_iHead(kPackageHead);
    p.set_iCommand(static_cast<std::int16_t>(code));
    p.set_iLength(kPackageSize);
    p.set_iIndex(static_cast<std::int16_t>(index));
    p.set_iParam1(static_cast<std::int16_t>(p1));
    p.set_iParam2(static_cast<std::int16_t>(p2));
    p.set_iParam3(static_cast<std::int16_t>(p3));
  }
  // Offsets are package offsets; the data area starts at 16.
  DncRequest& Bytes(int at, const std::string& bytes) {
    std::memcpy(p.bytes.data() + at, bytes.data(), bytes.size());
    return *this;
  }
  DncRequest& I32(int at, std::int32_t v) {
    p.put_i32(at, v);
    return *this;
  }
};

}  // namespace vandir::test
