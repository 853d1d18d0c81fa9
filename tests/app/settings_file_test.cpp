// The settings file through a whole session of the program: what the user did not change
// stays byte for byte, whatever the file holds; and a change the file does not take is told
// to the user once per action, naming the file and the reason.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include "app/dialogs/machine_list_dialog.h"
#include "app/frame/message_box.h"
#include "app/widgets/string_grid.h"
#include "tests/app/frame_fixture.h"
#include "tests/support/file_size_limit.h"

namespace talvo::app::test {
namespace {

using namespace std::string_literals;

// Adds an entry and types its address into the IP editor, key by key.
void AddMachine(TFormAddCNC* dialog, const char* address) {
  QTest::mouseClick(dialog->findChild<QPushButton*>("SpeedButtonAdd"), Qt::LeftButton);
  auto* grid = dialog->findChild<StringGrid*>("StringGridCNC");
  grid->SetCurrentCell(0, grid->RowCount() - 1);
  // The first digit on the address cell opens the editor; the rest go into it.
  QTest::keyClick(grid, address[0]);
  auto* editor = dialog->findChild<QLineEdit*>("MaskEditIP");
  for (const char* c = address + 1; *c; ++c) QTest::keyClick(editor, *c);
}

// Where two files part, with a little of each from there: a 64 KiB line is no message.
std::string FirstDifference(const std::string& actual, const std::string& expected) {
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  if (at == actual.size() && at == expected.size()) return "none";
  return "at byte " + std::to_string(at) + ": " +
         testing::PrintToString(actual.substr(at, 40)) + " instead of " +
         testing::PrintToString(expected.substr(at, 40));
}

class SettingsFrame : public FrameTest {
 protected:
  using FrameTest::FrameTest;

  // The machine-list dialog as the tool bar opens it: `edit` works on it, then it closes.
  void EditMachineList(std::function<void(TFormAddCNC*)> edit) {
    bool closed = false;
    AnswerNextModal<TFormAddCNC>([&](TFormAddCNC* dialog) {
      edit(dialog);
      dialog->close();
      closed = true;
    });
    Find<QPushButton>("SpeedButtonAddWork")->click();
    EXPECT_TRUE(closed);
  }
};

class SettingsSession : public SettingsFrame {
 protected:
  SettingsSession()
      : SettingsFrame(vandir::test::Simulator::Options{.lathe = true, .extraArgs = {}}) {}
};

TEST_F(SettingsSession, WhatTheUserDidNotChangeStaysByteForByte) {
  const std::string longLine = "NOTE=" + std::string(64 * 1024, 'n') + "\r\n";
  // After the fixture's own "[OPTIONS]\nSERVICE_PROCESS_INTERVAL=20\n" (LF): CR LF lines, a
  // NUL byte, a junk line, a 64 KiB line, Big5 bytes and two sections written twice.
  const std::string rest =
      "LANGUAGE=2\r\nSHOWTIMER=1\r\nENABLE_RECONNECT=1\r\nENABLE_RECONNECT_TIMES=0\r\n"
      "LastSysType=0\r\n\0\0\xFF\r\nthis line means nothing\r\n" + longLine +
      "[MACHINEDATA]\r\nCNCCOUNT=1\r\nCNCNAME0=\xA4\xA4\xA4\xE5\r\nCNCIP0=10.0.0.1\r\n\r\n"
      "; kept for the next technician\r\n[OPTIONS]\r\nSHOWTIMER=9\r\nLastSysType=5\r\n"
      "[machinedata]\r\nCNCNAME5=Shadow\r\n"s;
  MakeWindow(rest);
  const std::string original = home.ReadFile("Talvo-Maintenance.ini");
  EXPECT_EQ(window->Options().ShowTimer(), 1) << "the first of a section written twice answers";
  EXPECT_EQ(home.ReadFile("Talvo-Maintenance.ini"), original) << "a plain start writes nothing";

  ConnectAndComplete();  // a lathe: the system type is stored
  Find<QSlider>("trackbarDelayTime")->setValue(3);
  Find<QPushButton>("SpeedButtonOptionApply")->click();
  EditMachineList([](TFormAddCNC* dialog) { AddMachine(dialog, "10.9.8.7"); });
  ASSERT_EQ(window->Machines().Count(), 2);
  EXPECT_EQ(window->Machines().Ip(1), "10.9.8.7");

  // The changed keys' lines changed (new ones end like the lines before them); not one other
  // byte did.
  std::string expected = original;
  const auto change = [&expected](const std::string& from, const std::string& to) {
    const auto at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, from.size(), to);
  };
  change("SHOWTIMER=1\r\n", "SHOWTIMER=3\r\n");
  change("LastSysType=0\r\n", "LastSysType=1\r\n");
  change("CNCCOUNT=1\r\n", "CNCCOUNT=2\r\n");
  change("CNCIP0=10.0.0.1\r\n", "CNCIP0=10.0.0.1\r\nCNCNAME1=\r\nCNCIP1=10.9.8.7\r\n");
  const std::string now = home.ReadFile("Talvo-Maintenance.ini");
  EXPECT_TRUE(now == expected) << "the file differs beyond the changed keys' lines "
                               << FirstDifference(now, expected);
}

class SettingsNotSaved : public SettingsFrame {
 protected:
  SettingsNotSaved() : SettingsFrame(std::nullopt) {
    SetMessageBoxAnswerer([this](const TMessageBox& box) {
      boxes.push_back(box.text);
      return QMessageBox::Ok;
    });
  }
  ~SettingsNotSaved() override { SetMessageBoxAnswerer(nullptr); }

  std::vector<QString> boxes;
};

TEST_F(SettingsNotSaved, EachActionTellsItOnceWithTheFileAndTheReason) {
  home.WriteFile("Talvo-Maintenance.ini",
                 "[OPTIONS]\nSERVICE_PROCESS_INTERVAL=20\nLANGUAGE=7\nLastSysType=5\n"
                 "[MACHINEDATA]\nCNCCOUNT=1\nCNCIP0=10.0.0.1\n");
  const std::string original = home.ReadFile("Talvo-Maintenance.ini");
  const QString path = QString::fromStdString(home.Text()) + "Talvo-Maintenance.ini";
  const vandir::test::FileSizeLimit full(16);  // the disk fills up

  const auto told = [&](const char* action) {
    ASSERT_EQ(boxes.size(), 1u) << action;
    EXPECT_TRUE(boxes[0].startsWith("Could not save the settings to " + path + ": ")) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].endsWith("File too large")) << boxes[0].toStdString();
    boxes.clear();
  };
  // Two repairs at start, one message.
  ReopenWindow();
  told("start");

  Find<QSlider>("trackbarDelayTime")->setValue(4);
  Find<QPushButton>("SpeedButtonOptionApply")->click();
  told("Option page Apply");
  EXPECT_EQ(Find<QSlider>("trackbarDelayTime")->value(), 1) << "the page shows what is kept";

  auto* graphics = Find<QCheckBox>("CheckBoxTransMachineGraph");
  graphics->click();
  told("a machine-data check box");
  EXPECT_TRUE(graphics->isChecked()) << "the box shows what is kept";

  // Adding and typing an address are many writes; while the file refuses them, one message.
  EditMachineList([](TFormAddCNC* dialog) { AddMachine(dialog, "10.0.0.2"); });
  told("the machine list");
  EXPECT_EQ(home.ReadFile("Talvo-Maintenance.ini"), original);
}

}  // namespace
}  // namespace talvo::app::test
