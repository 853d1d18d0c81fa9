#include "tests/app/frame_fixture.h"

#include <QApplication>
#include <QLabel>

#include "app/widgets/value_text.h"
#include <QTimer>


namespace talvo::app::test {

FrameTest::FrameTest(std::optional<vandir::test::Simulator::Options> simulator) {
  if (simulator) {
    sim = std::make_unique<vandir::test::Simulator>(*simulator);
    sim->Command("cycle off");
  }
}

FrameTest::~FrameTest() { CloseWindow(); }

void FrameTest::MakeWindow(const std::string& settings) {
  home.WriteFile("Talvo-Maintenance.ini",
                 "[OPTIONS]\nSERVICE_PROCESS_INTERVAL=20\n" + settings);
  ReopenWindow();
}

void FrameTest::ReopenWindow() {
  CloseWindow();
  program = std::make_unique<TProgramWindows>(home.Text());
  window = &program->Main;
  window->OnConnectionCompleted = [this] { ++completions; };
}

void FrameTest::CloseWindow() {
  window = nullptr;
  program.reset();
}

void FrameTest::AnswerModal(std::function<bool(QWidget*)> answer) {
  // Polls for the dialog: the one waited for opens inside a nested event loop of its own.
  auto* timer = new QTimer(answers_.get());
  QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && answer(modal)) timer->deleteLater();
  });
  timer->start(5);
}

void FrameTest::ConnectAndComplete() {
  const int before = completions;
  ASSERT_TRUE(window->ConnectToAddress(sim->Address()));
  ASSERT_TRUE(RunUntil([&] { return completions > before; })) << Text("LabelConnectStatus").toStdString();
}

QString FrameTest::Text(const char* name) const {
  if (auto* label = window->findChild<QLabel*>(name)) return label->text();
  if (auto* value = window->findChild<ValueText*>(name)) return value->text();
  return QString("<no %1>").arg(name);
}

}  // namespace talvo::app::test
