// EditGridValue against a real simulator: what the pad's number becomes on the controller for
// each kind of value, and the ways an edit ends without writing anything.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <thread>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/frame/message_box.h"
#include "link/transport.h"
#include "link/vandircnc.h"
#include "tests/app/frame_fixture.h"

namespace talvo::app::test {
namespace {

class GridEditor : public FrameTest {
 protected:
  void SetUp() override {
    MakeWindow("SHOWTIMER=0\n");
    ConnectAndComplete();
  }
  // Answers the pad with `entry` (OK) and lets the result dialog close by itself.
  void Enter(const QString& entry) {
    AnswerNextModal<TFrmInput>([entry](TFrmInput* pad) {
      pad->SetDisplay(entry);
      pad->accept();
    });
  }
};

TEST_F(GridEditor, EachKindWritesThePadsNumberWhereItsIndexesSay) {
  const struct {
    EEditKind kind;
    int a, b;
    const char* entry;
    const char* read;  // simulator query
    const char* stored;
  } cases[] = {
      {EEditKind::LocalVar, 0, 3, "12.5", "get local 3", "ok 12.5"},
      {EEditKind::GlobalVar, 0, 999, "-7", "get var 999", "ok -7"},
      {EEditKind::MillTool, 0, 4, "2.5", "get tool 4 radius", "ok 25000"},
      {EEditKind::MillTool, 3, 4, "1", "get tool 4 length3", "ok 10000"},
      {EEditKind::BackupRegister, 0, 55, "12.9", "get backup 55", "ok 12"},
      {EEditKind::UserParameter, 0, 70, "-3.7", "get backup 70", "ok -3"},
  };
  for (const auto& c : cases) {
    Enter(c.entry);
    window->EditGridValue(EEditHow::DoubleClicked, c.kind, "", c.a, c.b);
    EXPECT_TRUE(RunUntil([&] { return sim->Command(c.read) == c.stored; }))
        << c.read << " gave " << sim->Command(c.read);
    EXPECT_TRUE(RunUntil([&] { return !program->ReturnCode.isVisible(); }));
  }
}

// The transport turns requests away while it takes another off its list; a write that meets
// that moment was never sent and goes out once the list is free, not shown as refused.
TEST_F(GridEditor, AWriteTheTransportTurnsAwayForAMomentIsSentOnceItIsFree) {
  vandir::Send_Recv& transport = *window->Service().Link()->SendCMD;
  std::thread release;
  AnswerNextModal<TFrmInput>([&](TFrmInput* pad) {
    pad->SetDisplay("4.5");
    transport.ListBusy = true;
    release = std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      transport.ListBusy = false;
    });
    pad->accept();
  });
  // Were the write shown as refused, the dialog would wait for the engineer.
  QTimer::singleShot(5000, &program->ReturnCode, [&] { program->ReturnCode.close(); });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  release.join();
  EXPECT_EQ(program->ReturnCode.findChild<QLabel*>("PanelReturnMSG")->text(), "Set Finish");
  EXPECT_EQ(sim->Command("get local 3"), "ok 4.5");
}

TEST_F(GridEditor, TypedDigitsStartThePadAndEverythingElseWritesNothing) {
  sim->Command("local 3 1");
  QString shown;
  AnswerNextModal<TFrmInput>([&](TFrmInput* pad) {
    shown = pad->GetDisplay();
    pad->reject();
  });
  window->EditGridValue(EEditHow::KeyTyped, EEditKind::LocalVar, "5", 0, 3);
  EXPECT_EQ(shown, "5");
  AnswerNextModal<TFrmInput>([&](TFrmInput* pad) {
    shown = pad->GetDisplay();
    pad->reject();
  });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  EXPECT_EQ(shown, "0") << "the cell's text is not offered";

  // A letter opens nothing: were the pad shown, nobody would close it.
  window->EditGridValue(EEditHow::KeyTyped, EEditKind::LocalVar, "x", 0, 3);

  std::vector<QString> boxes;
  SetMessageBoxAnswerer([&](const TMessageBox& box) {
    boxes.push_back(box.text);
    return QMessageBox::Ok;
  });
  Enter("-");  // a minus typed and nothing after it
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  SetMessageBoxAnswerer(nullptr);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Format Error!");
  RunFor(std::chrono::milliseconds(100));
  EXPECT_EQ(sim->Command("get local 3"), "ok 1");
}

// A double-click offers the value the cell shows, selected: OK without a key leaves the
// controller alone (a pad that opened at 0 wrote 0 over a tool radius), and the first digit
// typed replaces the value instead of being appended to it.
TEST_F(GridEditor, ADoubleClickOffersTheCellsValueAndOkUnchangedWritesNothing) {
  sim->Command("tool 2 radius 15000");
  bool selected = false;
  AnswerNextModal<TFrmInput>([&](TFrmInput* pad) {
    selected = pad->Calculator().Selected();
    EXPECT_EQ(pad->GetDisplay(), "1.5000");
    pad->accept();
  });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::MillTool, " 1.5000", 0, 2);
  EXPECT_TRUE(selected);
  EXPECT_FALSE(program->ReturnCode.isVisible()) << "nothing was written, so nothing to report";
  RunFor(std::chrono::milliseconds(100));
  EXPECT_EQ(sim->Command("get tool 2 radius"), "ok 15000");

  AnswerNextModal<TFrmInput>([](TFrmInput* pad) {
    QTest::keyClicks(pad, "3");
    EXPECT_EQ(pad->GetDisplay(), "3");
    pad->accept();
  });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::MillTool, "1.5000", 0, 2);
  EXPECT_TRUE(RunUntil([&] { return sim->Command("get tool 2 radius") == "ok 30000"; }));
}

QString ResultText(const TFormReturnCode& dialog) {
  return dialog.findChild<QLabel*>("PanelReturnMSG")->text();
}

// The result dialog closed while its write still waits for the reply leaves the write gate
// shut: the next write is refused at the gate and never sent. Its dialog says so at once and
// never shows the earlier write's outcome as its own.
TEST_F(GridEditor, AWriteRefusedAtTheGateSaysSoAndNeverShowsAnotherWritesResult) {
  sim->Command("local 4 2");
  sim->Command("stall 1500");  // the first write's reply is late
  Enter("4.5");
  QString first;
  AnswerNextModal<TFormReturnCode>([&](TFormReturnCode* dialog) {
    first = ResultText(*dialog);
    dialog->accept();
  });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  EXPECT_EQ(first, "Net Waiting");

  Enter("9");
  QString second;
  AnswerNextModal<TFormReturnCode>([&](TFormReturnCode* dialog) {
    second = ResultText(*dialog);
    RunFor(std::chrono::milliseconds(1700));  // the earlier reply arrives meanwhile
    EXPECT_EQ(ResultText(*dialog), second) << "another write's result must not show here";
    dialog->accept();
  });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 4);
  EXPECT_EQ(second, "Busy: an earlier write still waits for its reply, nothing was written");
  sim->Command("stall 0");
  EXPECT_TRUE(RunUntil([&] { return sim->Command("get local 3") == "ok 4.5"; }));
  EXPECT_EQ(sim->Command("get local 4"), "ok 2") << "the refused write was never sent";

  // With the gate open again a write goes through as usual.
  Enter("7");
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 4);
  EXPECT_TRUE(RunUntil([&] { return sim->Command("get local 4") == "ok 7"; }));
}

// A write whose reply is lost with the link ends in a result: the dialog says the outcome is
// unknown instead of waiting for a reply that can no longer come.
TEST_F(GridEditor, AWritePendingWhenTheLinkDropsEndsSayingTheResultIsUnknown) {
  sim->Command("stall 3000");
  Enter("4.5");
  QString pending, ended;
  AnswerNextModal<TFormReturnCode>([&](TFormReturnCode* dialog) {
    pending = ResultText(*dialog);
    sim->Command("drop");
    RunUntil([&] { return ResultText(*dialog) != pending; });
    ended = ResultText(*dialog);
    dialog->accept();
  });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  sim->Command("stall 0");
  EXPECT_EQ(pending, "Net Waiting");
  EXPECT_EQ(ended, "The link was lost before the reply: the result is unknown");
}

TEST_F(GridEditor, AWriteWhoseReplyNeverComesOnALiveLinkEndsSayingTheResultIsUnknown) {
  program->ReturnCode.SetReplyWait(300);
  sim->Command("stall 1500");  // shorter than the six seconds after which the link counts as lost
  Enter("4.5");
  QString ended;
  AnswerNextModal<TFormReturnCode>([&](TFormReturnCode* dialog) {
    RunUntil([&] { return ResultText(*dialog) != "Net Waiting" && !ResultText(*dialog).isEmpty(); });
    ended = ResultText(*dialog);
    RunFor(std::chrono::milliseconds(1500));  // the late reply does not overwrite it
    EXPECT_EQ(ResultText(*dialog), ended);
    dialog->accept();
  });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  sim->Command("stall 0");
  EXPECT_EQ(ended, "No reply came for the write: the result is unknown");
  EXPECT_EQ(Text("LabelConnectStatus"), "Connect");
}

// What the engineer reads after a write the controller or the link refused names the cause.
TEST_F(GridEditor, ARefusedWriteNamesItsCause) {
  sim->Command("param 300 5");
  const struct {
    EEditKind kind;
    int a, b;
    const char* password;
    const char* entry;
    const char* shown;
  } cases[] = {
      {EEditKind::SystemParameter, 0, 300, "1234", "100000000", "Over Range Error"},
      {EEditKind::SystemParameter, 0, 300, "0000", "7", "Password Error"},
      {EEditKind::WorkCoordinate, 6, 1, nullptr, "1", "Over Axis Range"},
  };
  for (const auto& c : cases) {
    if (c.password) {
      program->Password.SetShowNextTime(false);
      AnswerNextModal<TPasswordForm>([password = QString(c.password)](TPasswordForm* form) {
        form->findChild<QLineEdit*>("editPassword")->setText(password);
        form->accept();
      });
    }
    Enter(c.entry);
    QString shown;
    AnswerNextModal<TFormReturnCode>([&](TFormReturnCode* dialog) {
      RunUntil([&] { return ResultText(*dialog) != "Net Waiting"; });
      shown = ResultText(*dialog);
      dialog->accept();
    });
    window->EditGridValue(EEditHow::DoubleClicked, c.kind, "", c.a, c.b);
    EXPECT_EQ(shown, c.shown) << c.entry;
  }
  EXPECT_EQ(sim->Command("get param 300"), "ok 5");
}

// A controller that lets this PC only read: the link refuses the write for the login level.
class ReadOnlyGridEditor : public FrameTest {
 protected:
  ReadOnlyGridEditor() : FrameTest(vandir::test::Simulator::Options{.login = "501", .extraArgs = {}}) {}
};

TEST_F(ReadOnlyGridEditor, AWriteTheLoginLevelForbidsSaysSo) {
  MakeWindow("SHOWTIMER=0\n");
  ConnectAndComplete();
  AnswerNextModal<TFrmInput>([](TFrmInput* pad) {
    pad->SetDisplay("4.5");
    pad->accept();
  });
  QString shown;
  AnswerNextModal<TFormReturnCode>([&](TFormReturnCode* dialog) {
    shown = ResultText(*dialog);
    dialog->accept();
  });
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  EXPECT_EQ(shown, "PC site IP readonly, access denied!");
}

TEST_F(GridEditor, NothingIsAskedWhileDisconnected) {
  window->Service().CloseConnect();
  ASSERT_TRUE(RunUntil([&] { return !window->Service().GetSessionReady(); }));
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace talvo::app::test
