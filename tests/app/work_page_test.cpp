// The Work page against a simulator told exact values: every field in its format, the G code
// grid, the variable grids and their editors, the tool fields, and which rows an event repaints.
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>

#include <limits>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/pages/work_page.h"
#include "tests/app/frame_fixture.h"
#include "tests/app/grid_input.h"

namespace talvo::app::test {
namespace {

class WorkPage : public FrameTest {
 protected:
  explicit WorkPage(bool lathe = false) : FrameTest(Machine(lathe)) {}
  static vandir::test::Simulator::Options Machine(bool lathe) {
    vandir::test::Simulator::Options options;
    options.lathe = lathe;
    return options;
  }

  void Connect() {
    MakeWindow("SHOWTIMER=0\n");
    ConnectAndComplete();
    page = Find<TWorkPage>("TabSheetWork");
  }
  // Waits for the page to show `text` in the field `name`.
  bool Shows(const char* name, const QString& text) {
    return RunUntil([&] { return Text(name) == text; });
  }
  bool Shows(StringGrid* grid, int col, int row, const QString& text) {
    return RunUntil([&] { return grid->Cell(col, row) == text; });
  }

  TWorkPage* page = nullptr;
};

class LatheWorkPage : public WorkPage {
 protected:
  LatheWorkPage() : WorkPage(true) {}
};

TEST_F(WorkPage, EveryFieldShowsTheControllersValueInItsFormat) {
  const char* const settings[] = {
      "set program O0042",     "set current-program O9001", "set ncode 1230",
      "set line 456",          "set mode 3",                "set status 2",
      "set feed 1234567",      "set feed-actual 600000",    "set feed-override 12.9",
      "set spindle 3000",      "set spindle-actual 2990",   "set spindle-override 95.5",
      "set spindle2 1600",     "set spindle2-actual 1500",  "set spindle2-override 100",
      "set spindle3 800",      "set spindle3-actual 700",   "set spindle3-override 0",
      "set hcode 17",          "set mcode 3",               "set mcode2 8",
      "set mcode3 98",         "set tcode 12",              "set pcode 21",
      "set worktime 3725000",  "set totaltime 7380000",     "set parts 17",
      "set maxparts 250",      "gcode 0 17",                "gcode 5 -1",
      "gcode 17 5",            "local 0 12.5",              "local 1 1.7976931348623157e308",
      "local 32 0",            "var 0 -7",                  "var 999 2.25",
      "backup 55 1",           "backup 73 7",               "backup 74 3",
      "backup 3 12"};
  for (const char* line : settings) sim->Command(line);
  Connect();

  const struct {
    const char* name;
    const char* shown;
  } fields[] = {
      {"StaticTextMainProgName", "O0042"}, {"StaticTextNowProgName", "O9001"},
      {"StaticTextNCode", "N1230"},        {"StaticTextLinesNo", "456"},
      {"StaticTextWorkMode", "JOG"},       {"StaticTextWorkStatice", "RUNNING"},
      {"StaticTextCommandFeedRate", "123.4567"}, {"StaticTextActualFeedRate", "60.0000"},
      {"StaticTextFeedRatePer", "12"},     {"StaticTextS1Com", "3000"},
      {"StaticTextS1Actual", "2990"},      {"StaticTextS1Per", "95"},
      {"StaticTextS2Com", "1600"},         {"StaticTextS2Actual", "1500"},
      {"StaticTextS2Per", "100"},          {"StaticTextS3Com", "800"},
      {"StaticTextS3Actual", "700"},       {"StaticTextS3Per", "0"},
      {"StaticTextHCode", "17"},           {"StaticTextMCode1", "3"},
      {"StaticTextMCode2", "8"},           {"StaticTextMCode3", "98"},
      {"StaticTextTCode", "12"},           {"StaticTextPCode", "21"},
      {"CutTime", "1:2:5"},                {"WorkTime", "2:3"},
      {"NowWorkPice", "17"},               {"MaxWorkPice", "250"},
      {"SpindleT", "7"},                   {"PrepareT", "12"},
  };
  for (const auto& f : fields) EXPECT_TRUE(Shows(f.name, f.shown)) << f.name << " shows " << Text(f.name).toStdString();

  StringGrid* g = page->StringGridGroup;
  EXPECT_TRUE(Shows(g, 0, 0, "G17"));
  EXPECT_EQ(g->Cell(5, 0), "") << "a negative group value";
  EXPECT_EQ(g->Cell(7, 1), "G5") << "a milling controller has the 18th group";
  EXPECT_EQ(g->Cell(8, 1), "") << "no 19th group";

  StringGrid* locals = page->gridLocalVar;
  EXPECT_TRUE(Shows(locals, 1, 1, "12.5000"));
  EXPECT_EQ(locals->Cell(1, 2), "VACANT");
  EXPECT_EQ(locals->Cell(1, 33), "0.0000");
  EXPECT_EQ(locals->RowCount(), 34);
  StringGrid* globals = page->gridGlobalVar;
  // Each block of globals arrives on a poll of its own.
  EXPECT_TRUE(Shows(globals, 1, 1000, "2.2500"));
  EXPECT_TRUE(Shows(globals, 1, 1, "-7.0000"));
  EXPECT_EQ(globals->Cell(0, 1000), "  1000");
  EXPECT_EQ(globals->RowCount(), 1001);

  EXPECT_TRUE(page->SpindleT->isVisibleTo(page));
  sim->Command("backup 74 41");
  EXPECT_TRUE(Shows("PrepareT", "0")) << "pocket 41 is no pocket";
  sim->Command("backup 55 0");
  EXPECT_TRUE(RunUntil([&] { return !page->SpindleT->isVisibleTo(page); }));
  for (QWidget* w : {static_cast<QWidget*>(page->LSpindleT), static_cast<QWidget*>(page->LPrepareT),
                     static_cast<QWidget*>(page->PrepareT)})
    EXPECT_FALSE(w->isVisibleTo(page)) << w->objectName().toStdString();
}

TEST_F(LatheWorkPage, LatheHasNoLastGGroupNoToolFieldsAndItsOwnVariableCounts) {
  for (const char* line : {"gcode 16 4", "gcode 17 5", "backup 55 1", "backup 73 7", "local 48 3",
                           "var 99 4"})
    sim->Command(line);
  Connect();
  StringGrid* g = page->StringGridGroup;
  EXPECT_TRUE(Shows(g, 6, 1, "G4"));
  EXPECT_EQ(g->Cell(7, 1), "") << "whatever the 18th group holds";
  EXPECT_TRUE(Shows(page->gridLocalVar, 1, 49, "3.0000"));
  EXPECT_TRUE(Shows(page->gridGlobalVar, 1, 100, "4.0000"));
  EXPECT_EQ(page->gridLocalVar->RowCount(), 50);
  EXPECT_EQ(page->gridGlobalVar->RowCount(), 101);
  EXPECT_FALSE(page->SpindleT->isVisibleTo(page)) << "only a milling machine has a magazine";
  EXPECT_FALSE(page->PrepareT->isVisibleTo(page));
}

TEST_F(WorkPage, VariableEditorsWriteTheVariableTheirRowShows) {
  Connect();
  QString padShown, padTarget, padCurrent;
  const auto enter = [&](const QString& entry) {
    AnswerNextModal<TFrmInput>([&, entry](TFrmInput* pad) {
      padShown = pad->GetDisplay();
      padTarget = pad->findChild<QLabel*>("LabelTarget")->text();
      padCurrent = pad->findChild<QLabel*>("LabelCurrent")->text();
      pad->SetDisplay(entry);
      pad->accept();
    });
  };
  const auto resultClosed = [&] { return RunUntil([&] { return !program->ReturnCode.isVisible(); }); };

  sim->Command("local 3 1.5");
  ASSERT_TRUE(Shows(page->gridLocalVar, 1, 4, "1.5000"));
  enter("3.25");
  DoubleClickCell(*page->gridLocalVar, 1, 4);
  EXPECT_EQ(padShown, "1.5000") << "a double click offers the cell's value";
  EXPECT_EQ(padTarget, "Local Var  04") << "the pad says which variable it edits";
  EXPECT_EQ(padCurrent, "1.5000");
  EXPECT_TRUE(RunUntil([&] { return sim->Command("get local 3") == "ok 3.25"; }));
  EXPECT_TRUE(resultClosed());

  enter("-8.5");
  TypeInCell(*page->gridGlobalVar, 1, 1000, '5');
  EXPECT_EQ(padShown, "5") << "the typed digit starts the pad";
  EXPECT_EQ(padTarget, "Global Var  1000");
  EXPECT_FALSE(padCurrent.isEmpty()) << "and the value it has now, not the digit";
  EXPECT_NE(padCurrent, "5");
  EXPECT_TRUE(RunUntil([&] { return sim->Command("get var 999") == "ok -8.5"; }));
  EXPECT_TRUE(resultClosed());
  EXPECT_TRUE(Shows(page->gridGlobalVar, 1, 1000, "-8.5000")) << "the row shows what it wrote";

  // A letter opens nothing: were the pad shown, nobody would close it.
  TypeInCell(*page->gridLocalVar, 1, 4, 'x');
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WorkPage, AGlobalBlockRepaintsOnlyItsOwnRows) {
  Connect();
  StringGrid* globals = page->gridGlobalVar;
  ASSERT_TRUE(RunUntil([&] { return !globals->Cell(1, 1000).isEmpty(); }));
  // The first fill of a new connection may still be coming in: wait for a quiet grid.
  ASSERT_TRUE(RunUntil([&] {
    QSignalSpy filling(globals->model(), &QAbstractItemModel::dataChanged);
    RunFor(std::chrono::milliseconds(200));
    return filling.isEmpty();
  }));
  QSignalSpy changed(globals->model(), &QAbstractItemModel::dataChanged);
  sim->Command("var 520 1.5");
  sim->Command("var 549 2");
  ASSERT_TRUE(Shows(globals, 1, 550, "2.0000"));
  EXPECT_EQ(globals->Cell(1, 521), "1.5000");
  ASSERT_FALSE(changed.isEmpty());
  for (const QList<QVariant>& signal : changed) {
    // Model rows are grid rows less the header: the block of variables 500..549.
    EXPECT_GE(signal[0].toModelIndex().row(), 500);
    EXPECT_LE(signal[1].toModelIndex().row(), 549);
  }
}

}  // namespace
}  // namespace talvo::app::test
