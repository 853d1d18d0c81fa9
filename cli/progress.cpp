#include "cli/progress.h"

#include <unistd.h>

#include <algorithm>

namespace talvo::cli {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

std::string ProgressLine(std::string_view label, int percent) {
  percent = std::clamp(percent, 0, 100);
  const int filled = percent * kBarWidth / 100;
  char figure[8];
  std::snprintf(figure, sizeof figure, "%4d%%", percent);
  return "[" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " + figure + "  " +
         std::string(label);
}

ProgressBar::ProgressBar(std::FILE* stream, std::string label)
    : stream_(stream), enabled_(isatty(fileno(stream)) == 1), label_(std::move(label)) {}

ProgressBar::~ProgressBar() {
  if (enabled_ && shown_ >= 0) std::fputc('\n', stream_);
}

void ProgressBar::Show(int percent) {
  if (!enabled_ || percent == shown_) return;
  shown_ = percent;
  std::fprintf(stream_, "\r%s", ProgressLine(label_, percent).c_str());
  std::fflush(stream_);
}

}  // namespace talvo::cli
