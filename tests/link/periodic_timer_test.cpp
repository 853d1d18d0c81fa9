#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "link/periodic_timer.h"
#include "tests/support/timing.h"

namespace vandir {
namespace {

using namespace std::chrono_literals;

TEST(PeriodicTimer, FiresOnlyWhileEnabled) {
  std::atomic<int> ticks{0};
  PeriodicTimer timer(20ms, [&] { ++ticks; });
  std::this_thread::sleep_for(80ms);
  EXPECT_EQ(ticks, 0);

  const auto start = std::chrono::steady_clock::now();
  timer.SetEnabled(true);
  while (ticks < 3 && std::chrono::steady_clock::now() - start < 5s) std::this_thread::yield();
  timer.SetEnabled(false);
  const auto enabledFor = std::chrono::steady_clock::now() - start;
  const int fired = ticks;
  EXPECT_GE(fired, 3);
  EXPECT_LE(fired, enabledFor / 20ms + 1);  // never faster than its interval
  // A tick already due when the timer was disabled may still land, however late a loaded
  // machine runs it; none may follow it.
  std::this_thread::sleep_for(100ms);
  EXPECT_LE(ticks, fired + 1);
}

TEST(PeriodicTimer, DestructionDoesNotWaitForTheNextTick) {
  const auto start = std::chrono::steady_clock::now();
  {
    PeriodicTimer timer(10s, [] {});
    timer.SetEnabled(true);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, test::Stretched(1s));
}

}  // namespace
}  // namespace vandir
