// A disk that fills up, for the tests of what a program does when a write fails half-way: while
// a FileSizeLimit lives, this process cannot make any file larger than `bytes` (writes beyond
// fail with EFBIG instead of raising SIGXFSZ). Unlike folder permissions this holds for root
// too. Reading is not limited. Child processes started meanwhile inherit the limit.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstddef>

namespace vandir::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::size_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    signal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*signal_)(int) = SIG_DFL;
};

}  // namespace vandir::test
