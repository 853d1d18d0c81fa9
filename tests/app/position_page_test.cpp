// The Position page against a real simulator: what each box and grid shows of the values the
// simulator was given, the writes of every grid editor, and the offset go-to.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/pages/position_page.h"
#include "app/widgets/coord_box.h"
#include "app/widgets/string_grid.h"
#include "tests/app/frame_fixture.h"

namespace talvo::app::test {
namespace {

// A cell of a named grid and the text it should show.
struct Shown {
  const char* grid;
  int col, row;
  const char* text;
};

// A write from a grid cell: how the edit starts, the pad's number, and the simulator's
// record of what arrived.
struct Write {
  const char* grid;
  int col, row;
  bool typed;  // a key typed into the cell, else a double click
  const char* entry;
  const char* query;
  const char* stored;
};

class PositionPage : public FrameTest {
 protected:
  explicit PositionPage(bool lathe = false)
      : FrameTest(vandir::test::Simulator::Options{.lathe = lathe, .extraArgs = {}}) {}

  void SetUp() override {
    MakeWindow("SHOWTIMER=0\n");
    window->resize(1200, 900);
    window->show();
    ConnectAndComplete();
  }
  void ShowPage() {
    Find<QTabWidget>("PageControlMain")->setCurrentWidget(Find<TPositionPage>("TabSheetPos"));
  }
  void ExpectShown(const std::vector<Shown>& cells) {
    for (const auto& c : cells) {
      auto* grid = Find<StringGrid>(c.grid);
      EXPECT_TRUE(RunUntil([&] { return grid->Cell(c.col, c.row) == c.text; }))
          << c.grid << " (" << c.col << ", " << c.row << ") shows "
          << grid->Cell(c.col, c.row).toStdString() << ", not " << c.text;
    }
  }
  // Edits the cell through the pad, lets the result dialog show the controller's answer,
  // and checks what the simulator stored.
  void ExpectWrites(const std::vector<Write>& writes) {
    for (const auto& w : writes) {
      SCOPED_TRACE(std::string(w.grid) + " (" + std::to_string(w.col) + ", " +
                   std::to_string(w.row) + ")");
      auto* grid = Find<StringGrid>(w.grid);
      grid->SetCurrentCell(w.col, w.row);  // brings the cell into view
      QString opened;
      const QString shown = grid->Cell(w.col, w.row).trimmed();
      AnswerNextModal<TFrmInput>([&, entry = QString(w.entry)](TFrmInput* pad) {
        opened = pad->GetDisplay();
        pad->SetDisplay(entry);
        pad->accept();
      });
      if (w.typed) {
        grid->setFocus();
        QTest::keyClick(grid, '7');
      } else {
        const QModelIndex cell = grid->model()->index(w.row - grid->FixedRows(),
                                                      w.col - grid->FixedCols());
        const QPoint at = grid->visualRect(cell).center();
        // A double click follows the press of a first click, as from a real mouse.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
      }
      EXPECT_EQ(opened, w.typed ? QString("7") : shown) << "a double click offers the cell's value";
      EXPECT_TRUE(RunUntil([&] { return sim->Command(w.query) == w.stored; }))
          << w.query << " gave " << sim->Command(w.query);
      EXPECT_TRUE(RunUntil([&] { return !program->ReturnCode.isVisible(); }));
      EXPECT_EQ(program->ReturnCode.findChild<QLabel*>("PanelReturnMSG")->text(), "Set Finish");
    }
  }
  // The offset grid's current column after going to `name`, from column 1.
  int GoTo(const char* name) {
    auto* offsets = Find<StringGrid>("StringGridOffsetSetCoord");
    offsets->SetCurrentCell(1, 2);
    Find<QLineEdit>("EditPosOffsetGoto")->setText(name);
    Find<QPushButton>("SpeedButtonPosOffsetGoto")->click();
    EXPECT_EQ(offsets->Row(), 2) << "the axis row stays";
    return offsets->Col();
  }
};

TEST_F(PositionPage, BoxesOffsetsAndToolsShowTheControllersValuesInTheirFormats) {
  for (const char* line :
       {"position absolute 125000 -1 0 0 0 2147483647", "position machine 10000 0 0 0 0 0",
        "position handle 1234 -1234 0 0 0 0", "position base -50000 0 0 0 0 7",
        "position g59 0 0 0 0 0 -1", "position g54p1 1 0 0 0 0 0",
        "position g54p300 0 0 0 0 0 99999", "tool 3 radius 12500", "tool 99 length6 -125",
        "tool 1 length1 125000", "tool 1 radius 0", "tool 1 tdc 25", "tool 1 tdc-time 1.5",
        "tool 2 tdc -3", "tool 2 tdc-time 0"})
    sim->Command(line);
  ShowPage();
  ExpectShown({{"StringGridOffsetSetCoord", 0, 1, "-5.0000"},
               {"StringGridOffsetSetCoord", 0, 6, "0.0007"},
               {"StringGridOffsetSetCoord", 6, 6, "-0.0001"},
               {"StringGridOffsetSetCoord", 7, 1, "0.0001"},
               {"StringGridOffsetSetCoord", 306, 6, "9.9999"},
               {"StringGridOffsetSetCoord", 306, 0, "G54P300"},
               {"gridMTools", 1, 3, "1.25"},
               {"gridMTools", 7, 99, "-0.0125"},
               {"gridMTools", 2, 1, "12.5"},
               {"gridMTools", 1, 1, "0"},
               {"StringGridTDC", 1, 1, "25"},
               {"StringGridTDC", 2, 1, "1.5"},
               {"StringGridTDC", 1, 2, "-3"},
               {"StringGridTDC", 2, 2, "0"}});
  const struct {
    const char* box;
    int axis;
    const char* text;
  } boxes[] = {{"Coord1_ABS", 0, "12.5000"},     {"Coord1_ABS", 1, "-0.0001"},
               {"Coord1_ABS", 5, "214748.3650"}, {"Coord3_MAC", 0, "1.0000"},
               {"Coord5_HandlePos", 0, "0.1234"}, {"Coord5_HandlePos", 1, "-0.1234"},
               {"Coord2_INC", 0, "0.0000"}};
  for (const auto& b : boxes) {
    auto* box = Find<TTCoordBox>(b.box);
    EXPECT_TRUE(RunUntil([&] { return box->Value(b.axis) == b.text; }))
        << b.box << " axis " << b.axis << " shows " << box->Value(b.axis).toStdString();
  }

  // A value changed later reaches its cell on the next polls.
  sim->Command("position g54p150 0 0 0 0 0 42");
  sim->Command("tool 45 radius -10000");
  ExpectShown({{"StringGridOffsetSetCoord", 156, 6, "0.0042"}, {"gridMTools", 1, 45, "-1"}});
}

// A position that changes at every poll repaints its field only: were the window laid out
// again for each new text, an open page would cost several times the polling itself.
TEST_F(PositionPage, NewPositionsAreShownWithoutLayingOutTheWindow) {
  struct LayoutCount : QObject {
    int requests = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::LayoutRequest) ++requests;
      return false;
    }
  } layouts;
  sim->Command("cycle off");
  ShowPage();
  auto* box = Find<TTCoordBox>("Coord1_ABS");
  ASSERT_TRUE(RunUntil([&] { return box->Value(0) == "0.0000"; }));
  RunFor(std::chrono::milliseconds(300));
  window->installEventFilter(&layouts);
  for (int step = 1; step <= 5; ++step) {
    sim->Command("position absolute " + std::to_string(step * 12345) + " 0 0 0 0 0");
    const QString shown = QString::number(step * 1.2345, 'f', 4);
    EXPECT_TRUE(RunUntil([&] { return box->Value(0) == shown; })) << shown.toStdString();
  }
  EXPECT_EQ(layouts.requests, 0);
}

TEST_F(PositionPage, ShowingThePageFillsEachGridInOnePass) {
  auto* offsets = Find<StringGrid>("StringGridOffsetSetCoord");
  auto* tools = Find<StringGrid>("gridMTools");
  int told = 0;
  for (StringGrid* grid : {offsets, tools}) {
    QObject::connect(grid->model(), &QAbstractItemModel::dataChanged, [&] { ++told; });
    QObject::connect(grid->model(), &QAbstractItemModel::modelReset, [&] { ++told; });
  }
  ShowPage();
  EXPECT_EQ(offsets->Cell(200, 3), "0.0000") << "the forced refresh wrote every block";
  EXPECT_EQ(tools->Cell(7, 99), "0");
  EXPECT_EQ(told, 0) << "the views hear of it once the pass ends";
  EXPECT_TRUE(RunUntil([&] { return told > 0; }));
}

TEST_F(PositionPage, EveryEditorWritesItsValueThroughThePad) {
  for (const char* set : {"base", "g56", "g54p1", "g54p300"})
    sim->Command(std::string("position ") + set + " 0 0 0 0 0 0");
  ShowPage();
  ExpectWrites({
      {"StringGridOffsetSetCoord", 0, 1, false, "1.25", "get position base", "ok 12500 0 0 0 0 0"},
      {"StringGridOffsetSetCoord", 3, 2, true, "-2", "get position g56", "ok 0 -20000 0 0 0 0"},
      {"StringGridOffsetSetCoord", 7, 3, false, "0.5", "get position g54p1", "ok 0 0 5000 0 0 0"},
      {"StringGridOffsetSetCoord", 306, 6, true, "3", "get position g54p300",
       "ok 0 0 0 0 0 30000"},
      {"gridMTools", 1, 4, false, "2.5", "get tool 4 radius", "ok 25000"},
      {"gridMTools", 7, 5, true, "0.1", "get tool 5 length6", "ok 1000"},
      {"StringGridTDC", 1, 6, false, "25", "get tool 6 tdc", "ok 25"},
      {"StringGridTDC", 2, 6, true, "1.5", "get tool 6 tdc-time", "ok 1.5"},
  });
  // The page shows what was written once the polls read it back.
  ExpectShown({{"StringGridOffsetSetCoord", 7, 3, "0.5000"}, {"StringGridTDC", 1, 6, "25"}});
}

TEST_F(PositionPage, GoToMakesTheNamedOffsetColumnCurrent) {
  ShowPage();
  const struct {
    const char* name;
    int col;
  } cases[] = {{"g55", 2}, {"G54P12", 18}, {"  g54p300 ", 306}, {"0", 0},
               {"G54P301", 1}, {"G54P", 1}, {"", 1}, {"   ", 1}};
  for (const auto& c : cases) EXPECT_EQ(GoTo(c.name), c.col) << '"' << c.name << '"';
}

class LathePositionPage : public PositionPage {
 protected:
  LathePositionPage() : PositionPage(true) {}
};

TEST_F(LathePositionPage, FourAxesSevenOffsetColumnsAndTheGeometryAndWearTables) {
  for (const char* line : {"position g54 10000 20000 30000 40000 0 0", "tool 2 type 3",
                           "tool 2 geom-r 4000", "tool 2 geom-x 12500", "tool 2 geom-z -125",
                           "tool 2 wear-x 1", "tool 2 wear-r -20000", "tool 30 wear-z 7"})
    sim->Command(line);
  sim->Command("position base 0 0 0 0 0 0");
  ShowPage();
  auto* offsets = Find<StringGrid>("StringGridOffsetSetCoord");
  EXPECT_EQ(offsets->ColCount(), 7);
  EXPECT_EQ(offsets->RowCount(), 5);
  EXPECT_FALSE(Find<TTCoordBox>("Coord1_ABS")->findChild<ValueText*>("Pos5")->isVisibleTo(window));
  ExpectShown({{"StringGridOffsetSetCoord", 1, 4, "4.0000"},
               {"gridGeom", 1, 2, "3"},
               {"gridWear", 1, 2, "3"},
               {"gridGeom", 2, 2, "0.4"},
               {"gridGeom", 3, 2, "1.25"},
               {"gridGeom", 5, 2, "-0.0125"},
               {"gridWear", 3, 2, "0.0001"},
               {"gridWear", 2, 2, "-2"},
               {"gridWear", 5, 30, "0.0007"}});
  EXPECT_EQ(GoTo("G54P1"), 1) << "a lathe has no extended offsets";
  EXPECT_EQ(GoTo("g59"), 6);

  ExpectWrites({{"gridGeom", 1, 5, false, "4", "get tool 5 type", "ok 4"},
                {"gridGeom", 2, 5, true, "0.8", "get tool 5 geom-r", "ok 8000"},
                {"gridGeom", 4, 5, false, "1", "get tool 5 geom-y", "ok 10000"},
                {"gridWear", 1, 6, true, "2", "get tool 6 type", "ok 2"},
                {"gridWear", 3, 6, false, "-0.5", "get tool 6 wear-x", "ok -5000"},
                {"gridWear", 5, 6, true, "0.01", "get tool 6 wear-z", "ok 100"},
                {"StringGridOffsetSetCoord", 0, 4, true, "2", "get position base",
                 "ok 0 0 0 20000 0 0"}});
}

}  // namespace
}  // namespace talvo::app::test
