#include "tests/app/program_home.h"

#include <QApplication>

#include <unistd.h>

#include <atomic>
#include <thread>

#include "tests/support/file_bytes.h"

namespace talvo::app::test {

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void RunFor(std::chrono::milliseconds time) {
  RunUntil([] { return false; }, time);
}

ProgramHome::ProgramHome() {
  static std::atomic<int> serial{0};
  path_ = std::filesystem::temp_directory_path() /
          ("talvo-home-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
  std::filesystem::remove_all(path_);
  for (const char* folder : {"Resource", "Language", "Ncfiles"})
    std::filesystem::create_directories(path_ / folder);
  text_ = path_.string() + "/";
}

ProgramHome::~ProgramHome() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void ProgramHome::WriteFile(const std::filesystem::path& relative, const std::string& bytes) const {
  vandir::test::WriteBytes(path_ / relative, bytes);
}

std::string ProgramHome::ReadFile(const std::filesystem::path& relative) const {
  return vandir::test::ReadBytes(path_ / relative);
}

}  // namespace talvo::app::test
