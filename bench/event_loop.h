// What the benchmarks of the Qt-based parts share: the process's CPU time, and an event loop
// that sleeps between events, as the program does, until something has happened.
#pragma once

#include <sys/resource.h>

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>

namespace talvo::bench {

inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the event loop until `done` or the timeout, looking every 5 ms.
inline bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (done()) loop.quit();
  });
  check.start(5);
  QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

// Runs the event loop for `time` with nothing of its own waking it, for measuring idleness.
inline void RunFor(std::chrono::milliseconds time) {
  QEventLoop loop;
  QTimer::singleShot(time, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace talvo::bench
