// The send-message dialog against the simulator: what the user types arrives on the
// controller's screen in the controller's character set.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <string>

#include "app/dialogs/send_message_dialog.h"
#include "app/frame/message_box.h"
#include "app/language/language.h"
#include "tests/app/dialog_fixture.h"

namespace talvo::app {
namespace {

class SendMessageDialog : public dialog_test::ConnectedService {
 protected:
  // Opens the dialog, types `text` into the message box as keys would, presses Send, and
  // returns the modal result (-1 when the dialog was still open after that).
  int TypeAndSend(TFormSendMsg& dialog, const QString& text) {
    QTimer::singleShot(0, &dialog, [&] {
      auto* box = dialog.findChild<QLineEdit*>("UserMsgBox");
      EXPECT_TRUE(box->text().isEmpty()) << "the box is cleared when shown";
      for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &press);
      }
      QTest::mouseClick(dialog.findChild<QPushButton*>("buttonSend"), Qt::LeftButton);
      if (dialog.isVisible()) dialog.done(-1);
    });
    return dialog.exec();
  }

  // Waits for an operator message of kind 0 with these quoted bytes at the simulator.
  bool Arrives(const std::string& quoted) {
    const std::string item = "message 0 \"" + quoted + "\"";
    return dialog_test::RunUntil([&] { return sim.Command("messages").find(item) != std::string::npos; },
                          std::chrono::seconds(5));
  }
};

TEST_F(SendMessageDialog, TypedLineArrivesInTheInterfaceCodePage) {
  Connect(2);
  TLanguage language(home.Text(), 2);
  TFormSendMsg dialog(language, nullptr);
  dialog.SetService(service.get());
  EXPECT_EQ(dialog.windowTitle(), "Send Message to NC");
  EXPECT_EQ(TypeAndSend(dialog, QString::fromUtf8("Ölwechsel T5")), QDialog::Accepted);
  EXPECT_TRUE(Arrives("\\xd6lwechsel T5")) << sim.Command("messages");
}

TEST_F(SendMessageDialog, SimplifiedChineseIsSentAsBig5) {
  Connect(1);
  TLanguage language(home.Text(), 1);
  TFormSendMsg dialog(language, nullptr);
  dialog.SetService(service.get());
  // 国 is GB2312 B9 FA; the controller's Big5 has 國 at B0 EA. 一 is D2 BB / A4 40.
  EXPECT_EQ(TypeAndSend(dialog, QString::fromUtf8("A国一")), QDialog::Accepted);
  EXPECT_TRUE(Arrives("A\\xb0\\xea\\xa4@")) << sim.Command("messages");
}

TEST_F(SendMessageDialog, EmptyMessageNeitherSendsNorCloses) {
  Connect(2);
  TLanguage language(home.Text(), 2);
  TFormSendMsg dialog(language, nullptr);
  dialog.SetService(service.get());
  EXPECT_EQ(TypeAndSend(dialog, ""), -1) << "the dialog stays open";
  dialog_test::RunFor(std::chrono::milliseconds(200));
  EXPECT_EQ(sim.Command("messages"), "ok");
}

TEST_F(SendMessageDialog, MessageTheLinkTurnsAwayKeepsTheDialogOpen) {
  TLanguage language(home.Text(), 2);
  TFormSendMsg dialog(language, nullptr);
  dialog.SetService(service.get());  // not connected
  std::vector<QString> boxes;
  const auto previous = SetMessageBoxAnswerer([&](const TMessageBox& box) {
    boxes.push_back(box.text);
    return QMessageBox::Ok;
  });
  EXPECT_EQ(TypeAndSend(dialog, "hello"), -1);
  SetMessageBoxAnswerer(previous);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Set Fail");
}

}  // namespace
}  // namespace talvo::app
