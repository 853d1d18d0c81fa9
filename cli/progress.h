// The progress of a transfer on stderr. Only a terminal gets it: in a cron job's log a
// bar redrawn with carriage returns is noise.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace talvo::cli {

// "[#######.............]  35%  NAME"; the link may report more than 100 percent.
std::string ProgressLine(std::string_view label, int percent);

class ProgressBar {
 public:
  ProgressBar(std::FILE* stream, std::string label);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Show(int percent);

 private:
  std::FILE* stream_;
  bool enabled_;
  std::string label_;
  int shown_ = -1;
};

}  // namespace talvo::cli
