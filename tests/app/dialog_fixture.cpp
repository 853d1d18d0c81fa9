#include "tests/app/dialog_fixture.h"

#include <QCoreApplication>

#include <atomic>
#include <thread>
#include <unistd.h>

#include "tests/support/file_bytes.h"

namespace talvo::app::dialog_test {

ProgramHome::ProgramHome() {
  static std::atomic<int> serial{0};
  path_ = std::filesystem::temp_directory_path() /
          ("talvo-dialogs-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_ / "Resource");
  std::filesystem::create_directories(path_ / "Ncfiles");
  std::filesystem::create_directories(path_ / "Language");
}

ProgramHome::~ProgramHome() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void ProgramHome::WriteFile(const std::filesystem::path& relative, const std::string& bytes) const {
  vandir::test::WriteBytes(path_ / relative, bytes);
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void RunFor(std::chrono::milliseconds time) {
  RunUntil([] { return false; }, time);
}

ConnectedService::ConnectedService() {
  sim.Command("cycle off");
  service = std::make_unique<TTalvoService>();
  service->SetProcessInterval(20);
  service->OnConnect = [this](TTalvoService*) { connected = true; };
}

ConnectedService::~ConnectedService() { service.reset(); }

void ConnectedService::Connect(int language) {
  const std::string resource = home.Text() + "Resource/";
  ASSERT_TRUE(service->ConnectToMachine(1, sim.Address(), -1, "", resource, home.Text() + "Ncfiles/",
                                        resource + "DspE.str", language));
  ASSERT_TRUE(RunUntil([this] { return connected; })) << "no connection to the simulator";
}

}  // namespace talvo::app::dialog_test
