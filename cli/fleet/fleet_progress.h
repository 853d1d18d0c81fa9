// What a fleet command tells on stderr while it works on many machines at once: whole lines
// from every worker, never mixed, and on a terminal a bar under them that counts the files.
#pragma once

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

namespace talvo::cli {

class FleetProgress {
 public:
  FleetProgress(std::FILE* stream, std::size_t machines);
  // Ends the bar's line.
  ~FleetProgress();
  FleetProgress(const FleetProgress&) = delete;
  FleetProgress& operator=(const FleetProgress&) = delete;

  void Line(const std::string& text);
  void FilesPlanned(std::size_t count);
  void FileDone();
  void MachineDone();

 private:
  void DrawBar();

  std::mutex mutex_;
  std::FILE* stream_;
  const bool terminal_;
  const std::size_t machines_;
  std::size_t machinesDone_ = 0;
  std::size_t files_ = 0;
  std::size_t filesDone_ = 0;
  bool barShown_ = false;
};

}  // namespace talvo::cli
