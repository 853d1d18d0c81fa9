// The machine-list dialog on a real settings file: the grid, the IP editor and its keys,
// adding, deleting, compaction on close, and the connect callback.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

#include "app/dialogs/machine_list_dialog.h"
#include "app/language/language.h"
#include "app/settings/key_file.h"
#include "app/settings/machine_list.h"
#include "app/widgets/string_grid.h"
#include "tests/app/dialog_fixture.h"
#include "tests/support/file_bytes.h"

namespace talvo::app {
namespace {

class MachineListDialog : public testing::Test {
 protected:
  // Writes the settings file, then makes the dialog over it.
  void Open(const std::string& settings, bool showAutoConnect = false) {
    if (!settings.empty()) home.WriteFile("Talvo-Maintenance.ini", settings);
    dialog = std::make_unique<TFormAddCNC>(list, language, nullptr);
    dialog->SetShowAutoConnect(showAutoConnect);
    dialog->OnConnectMachine = [this](int index) {
      connects.push_back(index);
      visibleAtConnect = dialog->isVisible();
    };
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    grid = dialog->findChild<StringGrid*>("StringGridCNC");
    editor = dialog->findChild<QLineEdit*>("MaskEditIP");
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(editor, nullptr);
  }

  QPushButton* Button(const char* name) { return dialog->findChild<QPushButton*>(name); }
  void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
  std::string Settings() const {
    return vandir::test::ReadBytes(home.Path() / "Talvo-Maintenance.ini");
  }
  bool SettingsHas(const std::string& line) const {
    return ("\n" + Settings()).find("\n" + line + "\n") != std::string::npos;
  }
  // Keys go where the keyboard focus is at each key, as they would from a keyboard.
  void Type(const std::string& keys) {
    for (char c : keys) QTest::keyClick(QApplication::focusWidget(), c);
  }
  void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

  dialog_test::ProgramHome home;
  TIniFile file{home.Path() / "Talvo-Maintenance.ini"};
  TMachineList list{file};
  TLanguage language{home.Text(), 2};
  std::unique_ptr<TFormAddCNC> dialog;
  StringGrid* grid = nullptr;
  QLineEdit* editor = nullptr;
  std::vector<int> connects;
  bool visibleAtConnect = true;
};

constexpr const char* kThree =
    "[MACHINEDATA]\nCNCCOUNT=3\nCNCNAME0=Mill\nCNCIP0=10.0.0.1\nCNCNAME1=Lathe\n"
    "CNCIP1=10.0.0.2\nCNCNAME2=Drill\nCNCIP2=10.0.0.3\n";

TEST_F(MachineListDialog, ShowsTheListWithCaptionsAndTheEditorOnTheAddressCell) {
  home.WriteFile("Language/MLangENG.ini", "[AddCNCString]\nForm=Machines\nStringGridCNCIP=Address\n");
  language = TLanguage(home.Text(), 2);
  Open(kThree);
  EXPECT_EQ(dialog->windowTitle(), "Machines");
  EXPECT_EQ(grid->Cell(0, 0), "Address");
  EXPECT_EQ(grid->Cell(1, 0), "Name");
  EXPECT_EQ(Button("SpeedButtonAdd")->text(), "Add");
  EXPECT_EQ(Button("SpeedButtonDelete")->text(), "Del");
  ASSERT_EQ(grid->RowCount(), 4);
  EXPECT_EQ(grid->Cell(0, 3), "10.0.0.3");
  EXPECT_EQ(grid->Cell(1, 2), "Lathe");
  EXPECT_TRUE(grid->isEnabled());
  EXPECT_FALSE(dialog->findChild<QCheckBox*>("CheckBoxAutoConnect")->isVisible());
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->text(), "10.0.0.1");
  const QRect cell = grid->visualRect(grid->currentIndex());
  EXPECT_TRUE(cell.contains(editor->geometry())) << "the editor lies inside the current cell";
}

TEST_F(MachineListDialog, WithoutMachineDataTheListIsEmptyAndAnEntryWithoutAddressIsNotKept) {
  Open("");
  EXPECT_EQ(list.Count(), 0) << "a first start offers no blank machine";
  EXPECT_EQ(grid->RowCount(), 2) << "an empty list still shows its one row, disabled";
  EXPECT_EQ(grid->Cell(0, 1), "");
  EXPECT_FALSE(grid->isEnabled());
  EXPECT_FALSE(Button("SpeedButtonDelete")->isEnabled());
  EXPECT_FALSE(Button("SpeedButtonConnect")->isEnabled());
  EXPECT_FALSE(editor->isVisible());
  QLabel* hint = dialog->findChild<QLabel*>("LabelNoAddress");
  ASSERT_NE(hint, nullptr);
  EXPECT_FALSE(hint->isVisible());

  Click("SpeedButtonAdd");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(grid->isEnabled());
  EXPECT_TRUE(editor->isVisible());
  EXPECT_TRUE(hint->isVisible()) << "the new entry has no address yet";
  EXPECT_EQ(hint->text(), "An entry without an IP address is not kept.");
  grid->setFocus();
  Type("7");
  EXPECT_FALSE(hint->isVisible());
  editor->selectAll();
  Key(Qt::Key_Delete);
  EXPECT_TRUE(hint->isVisible());

  Click("SpeedButtonExit");
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(SettingsHas("CNCCOUNT=0"));
}

TEST_F(MachineListDialog, TypingAnAddressStoresItWithoutTheMaskBlanks) {
  Open("[MACHINEDATA]\nCNCCOUNT=1\nCNCNAME0=Mill\nCNCIP0=\n");
  grid->setFocus();
  Type("1");
  EXPECT_TRUE(editor->hasFocus()) << "a digit on an address cell opens the editor";
  EXPECT_EQ(editor->text(), "1...");
  Type("92.168.1.10");
  EXPECT_EQ(editor->displayText(), "192.168.1  .10 ") << "the mask as the user sees it";
  EXPECT_EQ(grid->Cell(0, 1), "192.168.1.10");
  EXPECT_TRUE(SettingsHas("CNCIP0=192.168.1.10"));
  EXPECT_EQ(list.Ip(0), "192.168.1.10");

  editor->selectAll();
  Key(Qt::Key_Delete);
  EXPECT_EQ(list.Ip(0), "") << "dots alone are no address";
}

TEST_F(MachineListDialog, AnAddressIsStoredHoweverItsDigitsArrive) {
  Open("[MACHINEDATA]\nCNCCOUNT=1\nCNCNAME0=Mill\nCNCIP0=10.0.0.1\n");
  grid->setFocus();
  Key(Qt::Key_F2);
  ASSERT_TRUE(editor->hasFocus());
  editor->setCursorPosition(13);  // after the last group's first digit: "10 .0  .0  .1|  "
  // A key held down repeats presses before its one release; an input method commits text
  // without any key event.
  QTest::keyPress(editor, Qt::Key_2, {}, -1);
  EXPECT_EQ(list.Ip(0), "10.0.0.12");
  QInputMethodEvent commit;
  commit.setCommitString("3");
  QApplication::sendEvent(editor, &commit);
  EXPECT_EQ(editor->text(), "10.0.0.123");
  EXPECT_EQ(list.Ip(0), "10.0.0.123");
  QTest::keyRelease(editor, Qt::Key_2);
  Key(Qt::Key_Return);
  EXPECT_EQ(grid->Cell(0, 1), "10.0.0.123");
}

TEST_F(MachineListDialog, NamesAreWrittenAsTheyAreTyped) {
  Open(kThree);
  grid->SetCurrentCell(1, 2);
  EXPECT_FALSE(editor->isVisible()) << "the IP editor belongs to the address column";
  grid->setFocus();
  Type("Turn");
  Type("er");
  EXPECT_EQ(list.Name(1), "Turner");
  Click("SpeedButtonExit");
  EXPECT_EQ(list.Name(1), "Turner");
  EXPECT_EQ(list.Count(), 3);
}

TEST_F(MachineListDialog, KeysMoveBetweenGridAndEditor) {
  Open(kThree);
  grid->setFocus();
  Key(Qt::Key_F2);
  ASSERT_TRUE(editor->hasFocus());
  EXPECT_EQ(editor->text(), "10.0.0.1") << "F2 keeps the address";
  Key(Qt::Key_Up);
  EXPECT_EQ(grid->Row(), 1) << "no row above the first";
  EXPECT_TRUE(editor->hasFocus());
  Key(Qt::Key_Down);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_TRUE(grid->hasFocus());
  EXPECT_TRUE(editor->isVisible()) << "the editor follows to the new cell";
  EXPECT_EQ(editor->text(), "10.0.0.2");
  Key(Qt::Key_Return);
  ASSERT_TRUE(editor->hasFocus());
  Key(Qt::Key_PageDown);
  EXPECT_EQ(grid->Row(), 3);
  Key(Qt::Key_Enter);
  ASSERT_TRUE(editor->hasFocus());
  Key(Qt::Key_Down);
  EXPECT_EQ(grid->Row(), 3) << "no row below the last";
  Key(Qt::Key_Return);
  EXPECT_TRUE(grid->hasFocus()) << "Enter in the editor gives the keys back to the grid";
  EXPECT_TRUE(editor->isVisible());

  Key(Qt::Key_X);
  EXPECT_TRUE(editor->hasFocus()) << "any other key leads into the editor";
  EXPECT_EQ(list.Ip(2), "10.0.0.3") << "and is swallowed";
  Key(Qt::Key_Return);
  Key(Qt::Key_Right);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_FALSE(editor->isVisible());
  Key(Qt::Key_Left);
  EXPECT_TRUE(editor->isVisible());

  grid->setFocus();
  QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(editor->hasFocus());
  EXPECT_EQ(editor->selectedText(), editor->displayText()) << "a click into the editor selects all";
}

TEST_F(MachineListDialog, DeleteMovesLaterEntriesDownAndAddAppendsAnEmptyOne) {
  Open(kThree);
  grid->SetCurrentCell(0, 2);
  Click("SpeedButtonDelete");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.MenuCaption(1), "Drill-10.0.0.3");
  EXPECT_FALSE(file.ValueExists("MACHINEDATA", "CNCNAME2"));
  EXPECT_FALSE(file.ValueExists("MACHINEDATA", "CNCIP2"));
  ASSERT_EQ(grid->RowCount(), 3);
  EXPECT_EQ(grid->Cell(1, 2), "Drill");
  EXPECT_EQ(grid->Row(), 2) << "the current row stays";

  Click("SpeedButtonAdd");
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(grid->RowCount(), 4);
  EXPECT_EQ(grid->Cell(0, 3), "");
  EXPECT_TRUE(file.ValueExists("MACHINEDATA", "CNCIP2"));
  grid->SetCurrentCell(0, 3);
  Click("SpeedButtonDelete");
  Click("SpeedButtonDelete");
  Click("SpeedButtonDelete");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(grid->isEnabled());
  EXPECT_FALSE(Button("SpeedButtonDelete")->isEnabled());
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(MachineListDialog, ClosingDropsEveryEntryWithoutAnAddress) {
  Open("[MACHINEDATA]\nCNCCOUNT=4\nCNCIP0= \nCNCNAME1=keep\nCNCIP1=1.2.3.4\nCNCNAME2=gap\n"
       "CNCNAME3=last\nCNCIP3=5.6.7.8\n");
  dialog->close();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.MenuCaption(0), "keep-1.2.3.4");
  EXPECT_EQ(list.MenuCaption(1), "last-5.6.7.8");
}

TEST_F(MachineListDialog, ConnectWithoutAnAddressDoesNothing) {
  Open("[MACHINEDATA]\nCNCCOUNT=2\nCNCNAME0=none\nCNCIP0=  \nCNCNAME1=b\nCNCIP1=10.0.0.2\n");
  grid->SetCurrentCell(0, 1);
  Click("SpeedButtonConnect");
  dialog_test::RunFor(std::chrono::milliseconds(50));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(connects.empty());
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(MachineListDialog, ConnectCallsBackAfterClosingWithTheIndexLeftByCompaction) {
  Open("[MACHINEDATA]\nCNCCOUNT=4\nCNCNAME0=blank\nCNCIP0=\nCNCNAME1=a\nCNCIP1=10.0.0.1\n"
       "CNCNAME2=blank too\nCNCIP2= \nCNCNAME3=b\nCNCIP3=10.0.0.2\n");
  grid->SetCurrentCell(1, 4);
  Click("SpeedButtonConnect");
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(connects.empty()) << "the connection starts only after the dialog has closed";
  ASSERT_TRUE(dialog_test::RunUntil([&] { return !connects.empty(); }, std::chrono::seconds(2)));
  EXPECT_FALSE(visibleAtConnect);
  ASSERT_EQ(connects, std::vector<int>{1});
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.MenuCaption(connects[0]), "b-10.0.0.2") << "the chosen machine, not its old index";
}

TEST_F(MachineListDialog, AutoConnectBoxShowsAndWritesItsKeyOnlyWhenVisible) {
  Open("[MACHINEDATA]\nCNCCOUNT=1\nCNCIP0=1.1.1.1\nAUTOCONNECT=1\n", true);
  auto* box = dialog->findChild<QCheckBox*>("CheckBoxAutoConnect");
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->text(), "Auto Connect");
  EXPECT_TRUE(box->isChecked());
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_FALSE(list.AutoConnect());
  EXPECT_TRUE(SettingsHas("AUTOCONNECT=0"));
}

}  // namespace
}  // namespace talvo::app
