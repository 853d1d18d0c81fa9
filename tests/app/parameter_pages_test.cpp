// The Alarm, Parameter and both User Parameter pages against the simulator: what a connection
// fills in, what the controller's values and histories become on screen, and what an edit
// writes.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/frame/message_box.h"
#include "app/pages/alarm_page.h"
#include "app/pages/parameter_page.h"
#include "app/widgets/string_grid.h"
#include "service/param_index.h"
#include "tests/app/frame_fixture.h"
#include "tests/support/file_bytes.h"

namespace talvo::app::test {
namespace {

class ParameterPages : public FrameTest {
 protected:
  void SetUp() override {
    SetMessageBoxAnswerer([this](const TMessageBox& box) {
      boxes.push_back(box.text);
      return QMessageBox::Ok;
    });
    MakeWindow("SHOWTIMER=0\n");
  }
  void TearDown() override { SetMessageBoxAnswerer(nullptr); }

  TParameterPage& Params() const {
    return *static_cast<TParameterPage*>(window->PageByTag(page_tag::kParameter));
  }
  StringGrid& Grid(const char* name) const { return *Find<StringGrid>(name); }
  void Show(int tag) { window->PageControl()->setCurrentWidget(window->PageByTag(tag)); }
  void ConnectAndFill() {
    ConnectAndComplete();
    ASSERT_TRUE(RunUntil([&] { return Params().TablesBuilt(); }));
  }
  // Answers the pad with `entry`.
  void Enter(const QString& entry) {
    AnswerNextModal<TFrmInput>([entry](TFrmInput* pad) {
      pad->SetDisplay(entry);
      pad->accept();
    });
  }
  QString Memo(const char* name) const { return Find<QPlainTextEdit>(name)->toPlainText(); }
  void WriteControllerFile(const char* path, const std::string& bytes) const {
    std::ofstream(sim->Root() / path, std::ios::binary | std::ios::trunc) << bytes;
  }

  std::vector<QString> boxes;
};

TEST_F(ParameterPages, TablesFilledFromTheControllersIndexAndTexts) {
  ConnectAndFill();
  const ParamIndexResult read = ReadParamIndex(home.Path("Resource/param.idx").string());
  ASSERT_EQ(read.Status, ParamIndexStatus::Ok);
  const ParamIndex& index = read.Index;
  StringGrid& all = Grid("StringGridSysParamAll");
  EXPECT_TRUE(Find<QWidget>("PanelGetParam")->isHidden());
  EXPECT_EQ(all.RowCount(), 2001);
  EXPECT_EQ(all.Cell(0, 1), "0001");
  EXPECT_EQ(all.Cell(0, 2000), "2000");
  EXPECT_EQ(all.Cell(4, 141), "Axis 1 velocity feed-forward (%)") << "one of %% reduced";
  EXPECT_EQ(all.Cell(4, 1), window->DisplayStrings().Text(20001));

  // Every shown group's grid lists its descriptors in index order, named like its button.
  for (int sheet = 1; sheet <= 8; ++sheet) {
    const int group = sheet == 8 ? 11 : sheet;
    const int first = index.GroupStart[group - 1], count = index.GroupCount[group - 1];
    StringGrid& grid = *Params().SheetGrid(sheet);
    ASSERT_EQ(grid.RowCount(), count + 1) << sheet;
    if (count == 0) continue;
    const int n = index.Records[first + count - 1].Number;
    EXPECT_EQ(grid.Cell(0, count), QString::asprintf("%04d", n)) << sheet;
    EXPECT_EQ(grid.Cell(4, count), all.Cell(4, n)) << sheet;
    if (sheet < 8) {
      EXPECT_EQ(all.Cell(1, n), Params().SheetButton(sheet)->text()) << sheet;
    }
  }

  // Values arrive while the page is shown, in both grids that list a parameter.
  sim->Command("param 141 77");
  Show(page_tag::kParameter);
  const int servoFirst = index.GroupStart[0];
  int servoRow = 0;
  for (int j = 0; j < index.GroupCount[0]; ++j)
    if (index.Records[servoFirst + j].Number == 141) servoRow = j + 1;
  ASSERT_GT(servoRow, 0) << "141 is a servo parameter";
  EXPECT_TRUE(RunUntil([&] {
    return all.Cell(2, 141) == "77" && Params().SheetGrid(1)->Cell(2, servoRow) == "77";
  }));

  // A fill the closing window stops leaves the rest of the table as it was.
  all.SetCell(4, 2000, "");
  QMetaObject::invokeMethod(window, [this] { window->close(); }, Qt::QueuedConnection);
  Params().BuildParameterTables();
  EXPECT_FALSE(Params().TablesBuilt());
  EXPECT_EQ(all.Cell(4, 2000), "");
  EXPECT_TRUE(Find<QWidget>("PanelGetParam")->isHidden());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ParameterPages, GotoAndSearchActOnTheSelectedSheet) {
  ConnectAndFill();
  auto* gotoEdit = Find<QLineEdit>("EditParameterGoto");
  auto* gotoButton = Find<QPushButton>("SpeedButtonParameterGoto");
  auto* searchEdit = Find<QLineEdit>("EditParameterSearch");
  auto* searchButton = Find<QPushButton>("SpeedButtonParameterSearch");
  StringGrid& all = Grid("StringGridSysParamAll");
  StringGrid& servo = Grid("StringGridSysParamGroup1");

  gotoEdit->setText("1501");
  gotoButton->click();
  EXPECT_EQ(all.Row(), 1501);
  EXPECT_EQ(all.Col(), 2);
  Params().SheetButton(1)->click();
  const QString servoNumber = servo.Cell(0, 3);
  gotoEdit->setText(QString::number(servoNumber.toInt()));
  gotoButton->click();
  EXPECT_EQ(servo.Row(), 3);
  for (const char* notThere : {"1501", "0", "2001", "abc"}) {  // 1501 is no servo parameter
    boxes.clear();
    gotoEdit->setText(notThere);
    gotoButton->click();
    EXPECT_EQ(boxes, std::vector<QString>{"Search parameter not find"}) << notThere;
  }

  // Each click finds the next description holding the text, in any case.
  std::vector<int> speeds;
  for (int row = 1; row < all.RowCount() && speeds.size() < 2; ++row)
    if (all.Cell(4, row).contains("speed", Qt::CaseInsensitive)) speeds.push_back(row);
  ASSERT_EQ(speeds.size(), 2u);
  Params().SheetButton(0)->click();
  all.SetCurrentCell(2, 1);
  searchEdit->setText("Speed ");
  searchButton->click();
  EXPECT_EQ(all.Row(), speeds[0]);
  EXPECT_EQ(all.Col(), 4);
  searchButton->click();
  EXPECT_EQ(all.Row(), speeds[1]) << "the current cell is not found again";

  boxes.clear();
  searchEdit->setText("no such words");
  searchButton->click();
  EXPECT_EQ(boxes, std::vector<QString>{"Search parameter not find"});
}

TEST_F(ParameterPages, MakerParameterWrittenOnlyWithTheRightPassword) {
  ConnectAndFill();
  Show(page_tag::kParameter);
  sim->Command("param 301 5");
  StringGrid& all = Grid("StringGridSysParamAll");
  int asked = 0;
  const auto password = [&](const char* text, bool dontAskAgain) {
    AnswerNextModal<TPasswordForm>([&asked, text, dontAskAgain](TPasswordForm* form) {
      ++asked;
      form->findChild<QLineEdit*>("editPassword")->setText(text);
      form->SetShowNextTime(dontAskAgain);
      form->accept();
    });
  };
  // Columns other than the value and rows without a number write nothing.
  all.OnCellActivated(1, 301);
  all.OnCellActivated(3, 301);
  EXPECT_EQ(asked, 0);

  password("0000", true);
  Enter("321");
  // The refusal stays on screen until it is read; it unticks "don't ask again".
  AnswerNextModal<TFormReturnCode>([this](TFormReturnCode* result) {
    RunUntil([this] { return !program->Password.ShowNextTime(); });
    result->accept();
  });
  all.OnCellActivated(2, 301);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(sim->Command("get param 301"), "ok 5") << "wrong password";
  EXPECT_FALSE(program->Password.ShowNextTime()) << "a refused password is asked for again";

  password("1234", false);
  Enter("321");
  all.OnCellActivated(2, 301);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(sim->Command("get param 301"), "ok 321");
}

TEST_F(ParameterPages, UserParametersShowAndWriteTheirRegisters) {
  sim->Command("backup 55 9");
  sim->Command("param 1843 5");  // row 1 shows R5
  sim->Command("register 5 42");
  sim->Command("param 1845 300");  // no register: row 3 stays unnamed
  ConnectAndComplete();

  Show(page_tag::kUserParameter);
  StringGrid& user = Grid("UserParamGrid");
  EXPECT_TRUE(RunUntil([&] { return user.Cell(1, 5) == "9"; }));
  EXPECT_EQ(user.Cell(2, 1), window->DisplayStrings().Text(14551));
  EXPECT_FALSE(user.Cell(3, 40).isEmpty());
  Enter("45");
  user.OnCellActivated(1, 20);
  EXPECT_EQ(sim->Command("get backup 70"), "ok 45");
  user.SetCurrentCell(1, 21);
  AnswerNextModal<TFrmInput>([](TFrmInput* pad) { pad->accept(); });  // keeps the digit typed
  QTest::keyClick(&user, Qt::Key_7);
  EXPECT_EQ(sim->Command("get backup 81"), "ok 7");

  Show(page_tag::kUserParameter2);
  StringGrid& user2 = Grid("UserParamGrid2");
  EXPECT_TRUE(RunUntil([&] { return user2.Cell(0, 1) == "001 - R005"; }));
  // The row's register is known before its value is read.
  EXPECT_TRUE(RunUntil([&] { return user2.Cell(1, 1) == "42"; })) << user2.Cell(1, 1).toStdString();
  EXPECT_EQ(user2.Cell(0, 3), "003");
  EXPECT_EQ(user2.Cell(1, 3), "");
  EXPECT_EQ(user2.Cell(2, 40), window->DisplayStrings().Text(19540));
  sim->Command("register 5 43");
  EXPECT_TRUE(RunUntil([&] { return user2.Cell(1, 1) == "43"; }));
}

TEST_F(ParameterPages, AlarmPageListsAndHistories) {
  sim->Command("alarm 1012");  // a number without a text
  sim->Command("warning 2000");
  ConnectAndComplete();
  EXPECT_TRUE(RunUntil([&] { return Memo("AlarmMassage") == "1012::"; })) << Memo("AlarmMassage").toStdString();
  EXPECT_TRUE(RunUntil([&] { return Memo("WarningMassage") == "2001::AIR PRESSURE LOW"; }))
      << Memo("WarningMassage").toStdString();

  Show(page_tag::kAlarm);
  WriteControllerFile("C/MACHINE/CNCSYS.LOG", "H1\r\nM1\r\nH2\r\nM2\r\n  more\r\n");
  WriteControllerFile("C/MACHINE/OPMSG.LOG", "A\r\na\r\nB\r\nb\r\nC\r\nc\r\nD\r\nd\r\n2\r\n");
  Find<QPushButton>("SpeedButtonReadHistory")->click();
  EXPECT_TRUE(RunUntil([&] { return Memo("MemoHistoryList") == "H2\nM2more\n\nH1\nM1\n"; }))
      << Memo("MemoHistoryList").toStdString();
  EXPECT_TRUE(RunUntil([&] { return !boxes.empty(); }));
  EXPECT_EQ(boxes.back(), "FINISH") << "the fetch reports its end";
  EXPECT_TRUE(RunUntil([&] { return window->Service().GetProcessKind() == pkGetInformation; }));
  Find<QPushButton>("SpeedButtonReadOpHistory")->click();
  EXPECT_TRUE(RunUntil(
      [&] { return Memo("MemoOpHistoryList") == "B\nb\n\nA\na\n\nD\nd\n\nC\nc\n"; }))
      << Memo("MemoOpHistoryList").toStdString();
  EXPECT_TRUE(std::filesystem::exists(home.Path("History/OPMSG.LOG")));

  // Not connected: the fetch says so and the list stays.
  window->Service().CloseConnect();
  boxes.clear();
  Find<QPushButton>("SpeedButtonReadHistory")->click();
  EXPECT_EQ(boxes, std::vector<QString>{"Connect not ready !"});
  EXPECT_EQ(Memo("MemoHistoryList"), "H2\nM2more\n\nH1\nM1\n");
}

TEST_F(ParameterPages, HistoriesKeepToTheirOwnFolderAndLeaveABackupAlone) {
  ConnectAndComplete();
  Show(page_tag::kAlarm);
  home.WriteFile("Machine/CNCSYS.LOG", "the backup's own copy");
  WriteControllerFile("C/MACHINE/CNCSYS.LOG", "H1\r\nM1\r\n");
  sim->Command("hostile-names");  // a controller whose listings lie changes nothing here
  const auto before = vandir::test::TreeBelow(home.Path());
  for (const char* button : {"SpeedButtonReadHistory", "SpeedButtonReadOpHistory"}) {
    boxes.clear();
    Find<QPushButton>(button)->click();
    ASSERT_TRUE(RunUntil([&] {
      return window->Service().GetProcessKind() == pkGetInformation && !boxes.empty();
    })) << button;
    EXPECT_EQ(boxes, std::vector<QString>{"FINISH"}) << button;
  }
  EXPECT_EQ(Memo("MemoHistoryList"), "H1\nM1\n");
  EXPECT_EQ(home.ReadFile("Machine/CNCSYS.LOG"), "the backup's own copy");
  auto added = vandir::test::TreeBelow(home.Path());
  for (const auto& old : before) added.erase(old);
  EXPECT_EQ(added, (std::set<std::string>{"History", "History/CNCSYS.LOG", "History/OPMSG.LOG"}));
}

// An index whose servo group ends at 0: the loading panel stays and says why.
TEST_F(ParameterPages, FaultyIndexLeavesThePanelShowingWhy) {
  std::string faulty(32, '\0');
  faulty.replace(0, 9, "PARAM 3.0");
  faulty += std::string(4 + 4 * 16, '\0');  // no records, layout 0: 8 starts and 8 counts of 0
  WriteControllerFile("C/RESOURCE/param.idx", faulty);
  ConnectAndComplete();
  auto* panel = Find<QLabel>("PanelGetParam");
  EXPECT_TRUE(RunUntil([&] { return panel->text() == "Paramater Index File is Incorrect"; }));
  EXPECT_FALSE(panel->isHidden());
  EXPECT_FALSE(Params().TablesBuilt());
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "Paramater Index File is Incorrect"), 1)
      << "said once, by the page that found it";
}

}  // namespace
}  // namespace talvo::app::test
