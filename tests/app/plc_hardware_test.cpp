// The PLC and Hardware pages against a simulator told exact values: where each bit, counter,
// timer, register and diagnosis flag lands, how a shown page is filled in one pass, and what
// the D register editors write.
#include <QApplication>
#include <QSignalSpy>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/widgets/lamp.h"
#include "tests/app/frame_fixture.h"
#include "tests/app/grid_input.h"

namespace talvo::app::test {
namespace {

class LivePage : public FrameTest {
 protected:
  void ConnectAndShow(const char* page) {
    MakeWindow("SHOWTIMER=0\n");
    ConnectAndComplete();
    window->PageControl()->setCurrentWidget(Find<QWidget>(page));
  }
  StringGrid* Grid(const char* name) { return Find<StringGrid>(name); }
  bool Shows(const char* grid, int col, int row, const QString& text) {
    StringGrid* g = Grid(grid);
    return RunUntil([&] { return g->Cell(col, row) == text; });
  }
};

TEST_F(LivePage, PlcGridsShowEveryValueWhereItsAddressSaysAndFillInOnePass) {
  for (const char* line :
       {"plc I 37 1", "plc I 511 1", "plc A 0 1", "plc O 9 1", "counter-now 5 42",
        "counter-set 63 99", "timer-now 0 7", "timer-set 10 500", "register 255 -70000",
        "backup 0 12"})
    sim->Command(line);
  MakeWindow("SHOWTIMER=0\n");
  ConnectAndComplete();
  StringGrid* iBits = Grid("gridIBit");
  QSignalSpy changed(iBits->model(), &QAbstractItemModel::dataChanged);
  window->PageControl()->setCurrentWidget(Find<QWidget>("TabSheetPLC"));
  EXPECT_TRUE(changed.isEmpty()) << "the views hear of the refresh once it is over";
  ASSERT_TRUE(RunUntil([&] { return !changed.isEmpty(); }));
  // Both blocks of the forced read in the one range the first signal announces.
  EXPECT_EQ(changed[0][0].toModelIndex(), iBits->model()->index(0, 0));
  EXPECT_EQ(changed[0][1].toModelIndex(), iBits->model()->index(51, 9));

  const struct {
    const char* grid;
    int col, row;
    const char* shown;
  } cells[] = {
      {"gridIBit", 8, 4, "1"},          {"gridIBit", 7, 4, "0"},        {"gridIBit", 2, 52, "1"},
      {"gridIBit", 1, 52, "0"},         {"gridIBit", 3, 52, ""},        {"gridIBit", 0, 52, "510"},
      {"gridOBit", 10, 1, "1"},         {"gridABit", 1, 1, "1"},        {"gridCBit", 1, 1, "0"},
      {"gridCounter", 1, 6, "42"},      {"gridCounter", 2, 64, "99"},   {"gridCounter", 0, 64, "63"},
      {"gridTimmer", 1, 1, "7"},        {"gridTimmer", 2, 11, "500"},   {"gridRegister", 1, 256, "-70000"},
      {"gridRegister", 0, 256, "255"},  {"gridDRegister", 1, 1, "12"},
  };
  for (const auto& c : cells)
    EXPECT_TRUE(Shows(c.grid, c.col, c.row, c.shown))
        << c.grid << " (" << c.col << ", " << c.row << ") shows "
        << Grid(c.grid)->Cell(c.col, c.row).toStdString();
}

TEST_F(LivePage, DRegisterEditorsWriteTheRowsRegisterTruncated) {
  ConnectAndShow("TabSheetPLC");
  StringGrid* d = Grid("gridDRegister");
  QString padShown;
  const auto enter = [&](const QString& entry) {
    AnswerNextModal<TFrmInput>([&padShown, entry](TFrmInput* pad) {
      padShown = pad->GetDisplay();
      pad->SetDisplay(entry);
      pad->accept();
    });
  };
  enter("12.9");
  DoubleClickCell(*d, 1, 1);
  EXPECT_EQ(padShown, "0");
  EXPECT_TRUE(RunUntil([&] { return sim->Command("get backup 0") == "ok 12"; }));
  EXPECT_TRUE(RunUntil([&] { return !program->ReturnCode.isVisible(); }));

  enter("-12.9");
  TypeInCell(*d, 1, 256, '-');
  EXPECT_EQ(padShown, "-0") << "the pad starts with the minus, which it shows as -0";
  EXPECT_TRUE(RunUntil([&] { return sim->Command("get backup 255") == "ok -12"; }));
  EXPECT_TRUE(RunUntil([&] { return !program->ReturnCode.isVisible(); }));
  EXPECT_TRUE(Shows("gridDRegister", 1, 256, "-12"));

  // The registers R are only shown.
  DoubleClickCell(*Grid("gridRegister"), 1, 1);
  TypeInCell(*Grid("gridRegister"), 1, 1, '5');
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(LivePage, HardwareShowsTheDiagnosisTheLampsAndTheSystemVariables) {
  // Check bits as the controller sends them: I/O set 1 slave 0 (bit 1), encoder fault of
  // axis 3 (bit 8), dogs of axes 1 and 5 (bits 9, 20), index of axis 6 (bit 23).
  const int bits = (1 << 1) | (1 << 8) | (1 << 9) | (1 << 20) | (1 << 23);
  for (const std::string& line :
       {"set hw-checks " + std::to_string(bits), std::string("set card-code 16385"),
        std::string("set storage2 1"), std::string("sysvar 0 123"), std::string("sysvar 47 -5")})
    sim->Command(line);
  ConnectAndShow("TabSheetHardware");

  EXPECT_TRUE(RunUntil([&] { return Text("CardType") == "unknow"; })) << Text("CardType").toStdString();
  const char* const status[] = {"OK", "FALSE", "OK", "OK", "OK", "OK", "OK", "FALSE", "OK"};
  for (int row = 1; row <= 9; ++row)
    EXPECT_TRUE(Shows("gridHardware", 1, row, status[row - 1]))
        << "row " << row << ": " << Grid("gridHardware")->Cell(1, row).toStdString();
  EXPECT_EQ(Grid("gridHardware")->Cell(2, 7), "2nd CF CARD EXIST     ");

  const QColor green(0, 255, 0), red(255, 0, 0);
  const struct {
    const char* prefix;
    std::array<bool, 6> green;
  } lamps[] = {{"S", {true, false, false, false, true, false}},
               {"H", {false, false, false, false, false, true}},
               {"ED", {true, true, false, true, true, true}}};
  for (const auto& row : lamps)
    for (int axis = 1; axis <= 6; ++axis) {
      const std::string name = row.prefix + std::to_string(axis);
      EXPECT_EQ(Find<Lamp>(name.c_str())->Color(), row.green[axis - 1] ? green : red) << name;
    }

  EXPECT_TRUE(Shows("gridSystemInfo", 1, 1, "123"));
  EXPECT_TRUE(Shows("gridSystemInfo", 1, 48, "-5"));
  EXPECT_EQ(Grid("gridSystemInfo")->Cell(1, 49), "0") << "variables the link does not fill";
  EXPECT_EQ(Grid("gridSystemInfo")->Cell(0, 180), "179");
  EXPECT_EQ(Grid("gridSystemInfo")->Cell(2, 1), "Interpolation cycle time (us)");
  EXPECT_EQ(Grid("gridSystemInfo")->Cell(2, 2), "CPU load (%, limit 100 %)")
      << "each pair of percent signs is one";
}

}  // namespace
}  // namespace talvo::app::test
