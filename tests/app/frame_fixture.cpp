#include "tests/app/frame_fixture.h"

#include <QApplication>
#include <QLabel>

#include <fstream>
#include <iterator>
#include <thread>

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

TempHome::TempHome() {
  static int counter = 0;
  path_ = std::filesystem::temp_directory_path() /
          ("talvo-home-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_ / "Resource");
  std::filesystem::create_directories(path_ / "Language");
  text_ = path_.string() + "/";
}

TempHome::~TempHome() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempHome::Write(const std::string& relative, const std::string& bytes) const {
  std::filesystem::create_directories(Path(relative).parent_path());
  std::ofstream(Path(relative), std::ios::binary | std::ios::trunc) << bytes;
}

std::string TempHome::Read(const std::string& relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

FrameTest::FrameTest(std::optional<vandir::test::Simulator::Options> simulator) {
  if (simulator) {
    sim = std::make_unique<vandir::test::Simulator>(*simulator);
    sim->Command("cycle off");
  }
}

FrameTest::~FrameTest() { window.reset(); }

void FrameTest::MakeWindow(const std::string& settings) {
  home.Write("Talvo-Maintenance.ini",
             "[OPTIONS]\nSERVICE_PROCESS_INTERVAL=20\n" + settings);
  window = std::make_unique<TFormMain>(home.Text());
  window->OnConnectionCompleted = [this] { ++completions; };
}

void FrameTest::ConnectAndComplete() {
  const int before = completions;
  ASSERT_TRUE(window->ConnectToAddress(sim->Address()));
  ASSERT_TRUE(RunUntil([&] { return completions > before; })) << Text("LabelConnectStatus").toStdString();
}

QString FrameTest::Text(const char* name) const {
  auto* label = window->findChild<QLabel*>(name);
  return label ? label->text() : QString("<no %1>").arg(name);
}

}  // namespace talvo::app::test
