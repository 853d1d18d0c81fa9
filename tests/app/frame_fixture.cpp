#include "tests/app/frame_fixture.h"

#include <QLabel>


namespace talvo::app::test {

FrameTest::FrameTest(std::optional<vandir::test::Simulator::Options> simulator) {
  if (simulator) {
    sim = std::make_unique<vandir::test::Simulator>(*simulator);
    sim->Command("cycle off");
  }
}

FrameTest::~FrameTest() { window.reset(); }

void FrameTest::MakeWindow(const std::string& settings) {
  home.WriteFile("Talvo-Maintenance.ini",
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
