// The link's reads hand out the cached value and a changed flag; a report or a poll that
// wants the value only reads it through these.
#pragma once

#include <array>
#include <cstdint>

#include "link/vandircnc.h"

namespace talvo::cli {

template <class T>
T Read(vandir::TVandirCNC& link, int (vandir::TVandirCNC::*get)(T*, int*)) {
  T value{};
  int changed = 0;
  (link.*get)(&value, &changed);
  return value;
}

// For the reads that fill one value per axis: their signature is that of a single value.
inline std::array<std::int32_t, vandir::kAxes> ReadAxes(
    vandir::TVandirCNC& link, int (vandir::TVandirCNC::*get)(std::int32_t*, int*)) {
  std::array<std::int32_t, vandir::kAxes> values{};
  int changed = 0;
  (link.*get)(values.data(), &changed);
  return values;
}

}  // namespace talvo::cli
