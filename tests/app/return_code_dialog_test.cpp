// The command-result dialog against the simulator: it follows a real write to its outcome.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>

#include "app/dialogs/return_code_dialog.h"
#include "tests/app/dialog_fixture.h"

namespace talvo::app {
namespace {

class ReturnCodeDialog : public dialog_test::ConnectedService {
 protected:
  ReturnCodeDialog() {
    dialog.SetService(service.get());
    dialog.SetCloseDelay(300);
  }

  // Shows the dialog modally; it is closed with -1 when still open after `limit`.
  int Exec(std::chrono::milliseconds limit, const std::function<void()>& meanwhile = {}) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dialog, [this] { dialog.done(-1); });
    guard.start(limit);
    if (meanwhile) QTimer::singleShot(0, &dialog, meanwhile);
    return dialog.exec();
  }

  QString Panel() { return dialog.findChild<QLabel*>("PanelReturnMSG")->text(); }

  TFormReturnCode dialog{nullptr};
};

TEST_F(ReturnCodeDialog, AcceptedWriteShowsSetFinishAndClosesAfterTheDelay) {
  Connect();
  const int infos = service->GetTalvoInfoCount();
  sim.Command("stall 400");
  ASSERT_EQ(service->Link()->SetUserParameter(100, 1234, ""), 0);
  QElapsedTimer shown;
  shown.start();
  QString first;
  const int result = Exec(std::chrono::seconds(10), [&] {
    first = Panel();
    EXPECT_EQ(service->GetTalvoInfoCount(), infos + 1) << "the status object is polled";
  });
  EXPECT_NE(result, -1) << "the dialog closed by itself";
  EXPECT_EQ(first, "Net Waiting") << "before the answer arrives";
  EXPECT_EQ(Panel(), "Set Finish");
  EXPECT_GE(shown.elapsed(), 400 + 300 - 50) << "answer, then the close delay";
  EXPECT_EQ(service->GetTalvoInfoCount(), infos) << "hidden, the status object is not polled";
  sim.Command("stall 0");
  EXPECT_EQ(sim.Command("get param 100"), "ok 1234");
}

TEST_F(ReturnCodeDialog, RefusedWriteStaysUntilAccept) {
  Connect();
  ASSERT_EQ(service->Link()->SetMakerParameter(100, 5, "XXXX"), 0);
  const int result = Exec(std::chrono::seconds(10), [&] {
    EXPECT_TRUE(dialog_test::RunUntil([&] { return Panel() == "Password Error"; }, std::chrono::seconds(5)))
        << "the controller's refusal (wrong password) is shown";
    dialog_test::RunFor(std::chrono::milliseconds(600));
    EXPECT_TRUE(dialog.isVisible()) << "a refused write does not close the dialog";
    QTest::mouseClick(dialog.findChild<QPushButton*>("ButtonAccept"), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_NE(sim.Command("get param 100"), "ok 5");
}

TEST_F(ReturnCodeDialog, EachShowingReportsTheCurrentOutcomeAfresh) {
  Connect();
  ASSERT_EQ(service->Link()->SetUserParameter(101, 7, ""), 0);
  EXPECT_NE(Exec(std::chrono::seconds(10)), -1);
  EXPECT_EQ(Panel(), "Set Finish");
  // Shown again with nothing new written, it reports the same outcome again, and closes.
  EXPECT_NE(Exec(std::chrono::seconds(10)), -1);
  EXPECT_EQ(Panel(), "Set Finish");
}

}  // namespace
}  // namespace talvo::app
