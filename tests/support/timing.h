// Bounds on how long something may take. Sanitizer builds run several times slower than plain
// ones, so the build names a slowdown (tests/CMakeLists.txt) and a bound is stretched by it.
// Every stretched bound must stay well below what the fault it catches would take: a stall of
// many seconds, or a wait for ever.
#pragma once

#include <chrono>

namespace vandir::test {

inline constexpr int kSlowdown = TALVO_TEST_SLOWDOWN;

constexpr std::chrono::milliseconds Stretched(std::chrono::milliseconds bound) {
  return bound * kSlowdown;
}

}  // namespace vandir::test
