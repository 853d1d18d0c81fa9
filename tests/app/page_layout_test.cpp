// The static layout of the PLC, Alarm, Parameter, User Parameter (both), Hardware,
// Machine, NC Files and Upgrade pages: every page is built with the built-in captions and
// with a small language file, and a sample of its names, captions and grids is checked.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/language/language.h"
#include "app/pages/alarm_page.h"
#include "app/pages/hardware_page.h"
#include "app/pages/machine_page.h"
#include "app/pages/ncfiles_page.h"
#include "app/pages/parameter_page.h"
#include "app/pages/plc_page.h"
#include "app/pages/upgrade_page.h"
#include "app/pages/user_parameter2_page.h"
#include "app/pages/user_parameter_page.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/value_text.h"

namespace talvo::app {
namespace {

// Keys the small language file changes; one of them to an empty text.
constexpr const char* kLanguageFile =
    "[PLC]\nIBit_Label=Eingang\n[Alarm]\nHistoryGroup_Label=Verlauf\n"
    "[Parameter]\nSysParamGroup1=Achsen\n[UserParameter2]\nUserParam2Explain_Label=Notes\n"
    "[Hardware]\nSystemInfoNo_Label=SysVar\n[FileTrans]\nTransIO=IO files\nSetupUpload_Label=\n"
    "[FileString]\nListViewPcFileC3=Datum\n";

const QString kBlanks(127, ' ');

struct TText {
  const char* name;
  QString builtIn;
  QString fromFile = {};  // null: as built in
};
struct TCell {
  int col;
  int row;
  QString builtIn;
  QString fromFile = {};
};
struct TGrid {
  const char* name;
  int rows;
  int cols;
  std::vector<TCell> cells;
  std::vector<int> widths = {};  // when given: the label column's, then the others but the last
};
struct TPageCase {
  const char* sheet;
  int tag;
  std::function<TPage*()> make;
  std::vector<const char*> names;
  std::vector<TText> texts;
  std::vector<TGrid> grids;
};

void PrintTo(const TPageCase& page, std::ostream* out) { *out << page.sheet; }

QString TextOf(const QWidget& widget) {
  if (auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
  if (auto* value = dynamic_cast<const ValueText*>(&widget)) return value->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
  if (auto* group = qobject_cast<const QGroupBox*>(&widget)) return group->title();
  if (auto* edit = qobject_cast<const QLineEdit*>(&widget)) return edit->text();
  if (auto* tree = qobject_cast<const QTreeWidget*>(&widget)) {
    QStringList titles;
    for (int col = 0; col < tree->columnCount(); ++col) titles << tree->headerItem()->text(col);
    return titles.join('|');
  }
  return "<no text>";
}

std::vector<TPageCase> PageCases() {
  return {
      {"TabSheetPLC",
       4,
       [] { return new TPlcPage; },
       {"PanelPlcIOCSA", "PanelPlcOther", "gridOBit", "gridCBit", "gridABit"},
       {},
       {{"gridIBit",
         53,
         11,
         {{0, 0, "I Bit", "Eingang"}, {1, 0, "0"}, {10, 0, "9"}, {0, 1, "000"}, {0, 52, "510"}},
         {62}},
        {"gridCounter", 65, 3, {{1, 0, "Current Value"}, {0, 64, "63"}}, {70}},
        {"gridTimmer", 65, 3, {{0, 0, "Timmer"}, {2, 0, "Set Value"}, {0, 1, "00"}}},
        {"gridRegister", 257, 2, {{0, 0, "Register"}, {0, 256, "255"}}},
        {"gridDRegister", 257, 2, {{0, 0, "D Register"}, {1, 0, "Value"}, {0, 1, "000"}}}}},
      {"TabSheetAlarm",
       5,
       [] { return new TAlarmPage; },
       {"AlarmMassage", "WarningMassage", "MemoHistoryList", "MemoOpHistoryList",
        "ProgressBarHistory"},
       {{"AlarmGroup", "Alarm"},
        {"WarningGroup", "Warning"},
        {"HistoryGroup", "History", "Verlauf"},
        {"SpeedButtonReadHistory", "Get History"},
        {"SpeedButtonReadOpHistory", "Get Operate History"}},
       {}},
      {"TabSheetParam",
       6,
       [] { return new TParameterPage; },
       {"PageControlSysParam", "TabSheetParamAll", "TabSheetParamGroup8", "EditParameterGoto",
        "EditParameterSearch", "PanelGetParam"},
       {{"SpeedButtonParamAllGroup", "All"},
        {"SpeedButtonParamGroup1", "Servo", "Achsen"},
        {"SpeedButtonParamGroup8", "Other"},
        {"LabelParameterGoto", "No."},
        {"SpeedButtonParameterGoto", "Go to"},
        {"SpeedButtonParameterSearch", "Search"}},
       {{"StringGridSysParamAll", 2, 5, {{0, 0, "No"}, {4, 0, "Explain"}}, {79, 84, 144, 86}},
        {"StringGridSysParamGroup8", 2, 5, {{2, 0, "Value"}, {3, 0, "Visible"}}}}},
      {"TabSheetUserParam",
       7,
       [] { return new TUserParameterPage; },
       {},
       {},
       {{"UserParamGrid",
         41,
         4,
         {{0, 1, "001 - D051"},
          {0, 20, "020 - D070"},
          {0, 21, "021 - D081"},
          {0, 40, "040 - D100"},
          {2, 0, "Function"}},
         {84, 100, 130}}}},
      {"TabSheetUserParam2",
       13,
       [] { return new TUserParameter2Page; },
       {},
       {},
       {{"UserParamGrid2",
         41,
         4,
         {{0, 1, "001"}, {0, 40, "040"}, {1, 0, "Value"}, {3, 0, "Explain", "Notes"}}}}},
      {"TabSheetHardware",
       8,
       [] { return new THardwarePage; },
       {"Panel8", "Panel3", "S1", "S6", "H3", "ED6"},
       {{"CardInfLabel", "KVELM"},
        {"CardType", "KVELM CARD UNDEFINED"},
        {"DogLabel", "Dog"},
        {"EncoderFalseLabel", "Encoder"},
        {"LabelHardwareAxis1", "X"}},
       {{"gridHardware",
         11,
         3,
         {{1, 0, "Status"},
          {0, 1, "  1"},
          {0, 9, "  9"},
          {1, 9, "???"},
          {2, 1, "SET1 REMOTE I/O MASTER"},
          {2, 7, "2nd CF CARD EXIST     "},
          {0, 10, ""}},
         {64, 56}},
        {"gridSystemInfo",
         181,
         3,
         {{0, 0, "System", "SysVar"}, {2, 0, "Comment"}, {0, 1, "000"}, {0, 180, "179"}},
         {72, 108}}}},
      {"TabSheetMachine",
       9,
       [] { return new TMachinePage; },
       {"EditMachine", "LabelMachineDataFileName", "ProgressBarMachineFiles",
        "CheckBoxTransMachineLadder", "CheckBoxTransMachineMmibase"},
       {{"LabelMachine", "Machine Path"},
        {"ButtonMachine", "..."},
        {"GroupBoxTransMachine", "Trans Machine"},
        {"CheckBoxTransMachineIO", "Trans IO" + kBlanks, "IO files" + kBlanks},
        {"CheckBoxTransMachineCNCLog", "Trans CNC Log File" + kBlanks},
        {"ButtonDownloadMachineFiles", "Download"},
        {"LabelMachineFilesPercentage", "0%"}},
       {}},
      {"TabSheetNCFiles",
       10,
       [] { return new TNcFilesPage; },
       {"FrameFile", "EditNcfiles", "EditPCFileCount", "EditPcDiskFree", "EditNCFileCount",
        "EditNcDiskFree", "MemoHistory", "ProgressBar"},
       {{"LabelPCFileList", "PC"},
        {"LabelNCFileList", "NC"},
        {"SpeedButtonRenamePC", "Rename"},
        {"SpeedButtonChangePathPC", "Change Path"},
        {"SpeedButtonFilePCtoNC", "Up>"},
        {"SpeedButtonFileNCtoPC", "<Down"},
        {"SpeedButtonExit", "Exit"},
        {"LabelPcDiskFree", "Disk Free"},
        {"LabelPercentange", "0%"},
        {"ListViewPcFile", "Name|Size|Modified|Attributes", "Name|Size|Datum|Attributes"},
        {"ListViewNcFile", "Name|Size|Modified|Attributes", "Name|Size|Datum|Attributes"}},
       {}},
      {"TabSheetUpgrade",
       11,
       [] { return new TUpgradePage; },
       {"labelNCVer", "NCVerBox", "EditSetup", "LabelSetupFileName", "ProgressBarSetup"},
       {{"LabelSetupPath", "Setup Path"},
        {"ButtonSetupChangePath", "..."},
        {"ButtonSetupUpload", "Setup", ""},
        {"LabelSetupPercentage", "0%"}},
       {}},
  };
}

class PageLayout : public testing::TestWithParam<TPageCase> {
 protected:
  PageLayout() {
    home = std::filesystem::temp_directory_path() /
           ("talvo-pages-" + std::to_string(::getpid()) + "-" + GetParam().sheet);
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home / "with-file" / "Language");
    std::ofstream(home / "with-file" / "Language" / TLanguage::FileName(2)) << kLanguageFile;
  }
  ~PageLayout() override { std::filesystem::remove_all(home); }

  std::filesystem::path home;
};

TEST_P(PageLayout, NamesCaptionsAndGrids) {
  const TPageCase& page = GetParam();
  for (const bool fromFile : {false, true}) {
    SCOPED_TRACE(fromFile ? "small language file" : "built-in captions");
    const TLanguage language((home / (fromFile ? "with-file/" : "none/")).string(), 2);
    std::unique_ptr<TPage> built(page.make());
    built->LoadCaptions(language);
    EXPECT_EQ(built->objectName(), page.sheet);
    EXPECT_EQ(built->Tag(), page.tag);

    std::set<QString> seen;
    for (const QWidget* child : built->findChildren<QWidget*>()) {
      const QString name = child->objectName();
      if (name.isEmpty() || name.startsWith("qt_")) continue;
      EXPECT_TRUE(seen.insert(name).second) << "two controls named " << name.toStdString();
    }
    for (const char* name : page.names) EXPECT_TRUE(seen.count(name)) << "missing " << name;

    for (const TText& text : page.texts) {
      const auto* widget = built->findChild<QWidget*>(text.name);
      ASSERT_TRUE(widget) << "missing " << text.name;
      const QString& expected = fromFile && !text.fromFile.isNull() ? text.fromFile : text.builtIn;
      EXPECT_EQ(TextOf(*widget), expected) << text.name;
    }
    for (const TGrid& expected : page.grids) {
      const auto* grid = built->findChild<StringGrid*>(expected.name);
      ASSERT_TRUE(grid) << "missing " << expected.name;
      EXPECT_EQ(grid->RowCount(), expected.rows) << expected.name;
      EXPECT_EQ(grid->ColCount(), expected.cols) << expected.name;
      EXPECT_EQ(grid->FixedRows(), 1) << expected.name;
      EXPECT_EQ(grid->FixedCols(), 1) << expected.name;
      for (const TCell& cell : expected.cells) {
        const QString& text = fromFile && !cell.fromFile.isNull() ? cell.fromFile : cell.builtIn;
        EXPECT_EQ(grid->Cell(cell.col, cell.row), text)
            << expected.name << " (" << cell.col << ", " << cell.row << ")";
      }
      for (std::size_t col = 0; col < expected.widths.size(); ++col) {
        const int width = col == 0 ? grid->verticalHeader()->maximumWidth()
                                   : grid->columnWidth(static_cast<int>(col) - 1);
        EXPECT_EQ(width, expected.widths[col]) << expected.name << " column " << col;
      }
    }

    // Laid out in the room the window gives a page, nothing asks for more.
    built->resize(1024, 700);
    const QSize least = built->minimumSizeHint();
    EXPECT_LE(least.width(), 1024);
    EXPECT_LE(least.height(), 700);
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, PageLayout, testing::ValuesIn(PageCases()),
                         [](const testing::TestParamInfo<TPageCase>& info) {
                           return std::string(info.param.sheet);
                         });

// What the window reaches through the pages' accessors, and the little they do at once.
TEST(PageAccessors, ReachTheNamedControls) {
  TParameterPage parameter;
  EXPECT_EQ(parameter.AllGrid()->objectName(), "StringGridSysParamAll");
  EXPECT_EQ(parameter.SelectedSheet(), 0);
  EXPECT_TRUE(parameter.SheetButton(0)->isChecked());
  EXPECT_TRUE(parameter.SheetButton(8)->isHidden());
  for (int sheet = 1; sheet <= 8; ++sheet)
    EXPECT_EQ(parameter.SheetGrid(sheet)->objectName(),
              QString("StringGridSysParamGroup%1").arg(sheet));
  parameter.SheetButton(3)->click();
  EXPECT_EQ(parameter.SelectedSheet(), 3);
  EXPECT_FALSE(parameter.SheetButton(0)->isChecked());
  EXPECT_TRUE(parameter.PanelGetParam()->isHidden());

  TAlarmPage alarm;
  EXPECT_EQ(alarm.AlarmGroup()->objectName(), "AlarmGroup");
  EXPECT_EQ(alarm.WarningGroup()->objectName(), "WarningGroup");
  EXPECT_EQ(alarm.ProgressBarHistory()->objectName(), "ProgressBarHistory");
  const auto memos = {alarm.AlarmMassage(), alarm.WarningMassage(), alarm.MemoHistoryList(),
                      alarm.MemoOpHistoryList()};
  for (QPlainTextEdit* memo : memos) memo->setPlainText("1012::");
  alarm.ClearLists();
  for (QPlainTextEdit* memo : memos)
    EXPECT_EQ(memo->toPlainText(), "") << memo->objectName().toStdString();
  EXPECT_FALSE(alarm.MemoOpHistoryList()->isReadOnly());
  EXPECT_TRUE(alarm.MemoHistoryList()->isReadOnly());

  THardwarePage hardware;
  for (int axis = 1; axis <= 6; ++axis)
    EXPECT_EQ(hardware.AxisLabel(axis)->objectName(), QString("LabelHardwareAxis%1").arg(axis));

  TMachinePage machine;
  EXPECT_EQ(machine.CategoryBox(0)->objectName(), "CheckBoxTransMachineLadder");
  EXPECT_EQ(machine.CategoryBox(3)->objectName(), "CheckBoxTransMachineGlobal");
  EXPECT_EQ(machine.CategoryBox(10)->objectName(), "CheckBoxTransMachineMmibase");
  machine.SetMachineFolder("/srv/machine/");
  EXPECT_EQ(machine.findChild<QLineEdit*>("EditMachine")->text(), "/srv/machine/");

  TUpgradePage upgrade;
  upgrade.SetSetupFolder("/srv/setup/");
  upgrade.SetNcVersion("V10.M1");
  EXPECT_EQ(upgrade.findChild<QLineEdit*>("EditSetup")->text(), "/srv/setup/");
  EXPECT_EQ(upgrade.findChild<QLineEdit*>("NCVerBox")->text(), "V10.M1");

  TNcFilesPage ncFiles;
  ncFiles.SetNcFilesFolder("/srv/nc/");
  EXPECT_EQ(ncFiles.findChild<QLineEdit*>("EditNcfiles")->text(), "/srv/nc/");
  EXPECT_EQ(ncFiles.FrameFile()->parent(), &ncFiles);
  EXPECT_TRUE(ncFiles.FrameFile()->findChild<QWidget*>("SpeedButtonExit")->isHidden());
}

}  // namespace
}  // namespace talvo::app
