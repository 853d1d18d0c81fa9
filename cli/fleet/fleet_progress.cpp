#include "cli/fleet/fleet_progress.h"

#include <unistd.h>

#include "cli/progress.h"

namespace talvo::cli {

FleetProgress::FleetProgress(std::FILE* stream, std::size_t machines)
    : stream_(stream), terminal_(isatty(fileno(stream)) == 1), machines_(machines) {}

FleetProgress::~FleetProgress() {
  if (barShown_) std::fputc('\n', stream_);
}

void FleetProgress::Line(const std::string& text) {
  const std::lock_guard lock(mutex_);
  // The bar's line is cleared for the text and drawn again below it.
  if (barShown_) std::fputs("\r\033[K", stream_);
  std::fprintf(stream_, "%s\n", text.c_str());
  DrawBar();
}

void FleetProgress::FilesPlanned(std::size_t count) {
  const std::lock_guard lock(mutex_);
  files_ += count;
  DrawBar();
}

void FleetProgress::FileDone() {
  const std::lock_guard lock(mutex_);
  ++filesDone_;
  DrawBar();
}

void FleetProgress::MachineDone() {
  const std::lock_guard lock(mutex_);
  ++machinesDone_;
  DrawBar();
}

void FleetProgress::DrawBar() {
  if (!terminal_) {
    std::fflush(stream_);
    return;
  }
  const int percent = files_ == 0 ? 0 : static_cast<int>(100 * filesDone_ / files_);
  const std::string label = std::to_string(filesDone_) + "/" + std::to_string(files_) + " files, " +
                            std::to_string(machinesDone_) + "/" + std::to_string(machines_) +
                            " machines";
  std::fprintf(stream_, "\r%s", ProgressLine(label, percent).c_str());
  std::fflush(stream_);
  barShown_ = true;
}

}  // namespace talvo::cli
