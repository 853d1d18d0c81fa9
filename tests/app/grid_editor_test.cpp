// EditGridValue against a real simulator: what the pad's number becomes on the controller for
// each kind of value, and the ways an edit ends without writing anything.
#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <chrono>
#include <thread>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/frame/message_box.h"
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

TEST_F(GridEditor, NothingIsAskedWhileDisconnected) {
  window->Service().CloseConnect();
  ASSERT_TRUE(RunUntil([&] { return !window->Service().GetSessionReady(); }));
  window->EditGridValue(EEditHow::DoubleClicked, EEditKind::LocalVar, "", 0, 3);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace talvo::app::test
