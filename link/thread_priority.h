// Raising a link thread's scheduling priority while it works, and restoring it afterwards.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace vandir {

// Best effort: an unprivileged process may not raise its priority, which is fine; the
// thread then simply works at the priority it has.
class RaisedThreadPriority {
 public:
  RaisedThreadPriority() {
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    if (errno == 0 && current > kRaised) {
      saved_ = current;
      raised_ = setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kRaised) == 0;
    }
  }
  ~RaisedThreadPriority() {
    if (raised_) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), saved_);
  }
  RaisedThreadPriority(const RaisedThreadPriority&) = delete;
  RaisedThreadPriority& operator=(const RaisedThreadPriority&) = delete;

 private:
  static constexpr int kRaised = -10;
  int saved_ = 0;
  bool raised_ = false;
};

}  // namespace vandir
