#include "cli/stop_signals.h"

#include <signal.h>

#include <cerrno>

namespace talvo::cli {

namespace {

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

void BlockStopSignals() {
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void AwaitStopSignal() {
  const sigset_t signals = StopSignals();
  int taken = 0;
  while (sigwait(&signals, &taken) != 0) {
  }
}

bool StopSignalWithin(std::chrono::milliseconds timeout) {
  const sigset_t signals = StopSignals();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
  const timespec wait{static_cast<time_t>(seconds.count()),
                      static_cast<long>(std::chrono::nanoseconds(timeout - seconds).count())};
  int taken = -1;
  do {
    taken = sigtimedwait(&signals, nullptr, &wait);
  } while (taken < 0 && errno == EINTR);
  return taken >= 0;
}

}  // namespace talvo::cli
