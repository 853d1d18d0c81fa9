#include "app/pages/position_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/language/language.h"
#include "app/pages/page_widgets.h"

namespace talvo::app {
namespace {

constexpr int kExtendedOffsets = 300;
constexpr int kMillingOffsetCols = 7 + kExtendedOffsets;
constexpr int kLatheOffsetCols = 7;
constexpr int kMillingTools = 100;
constexpr int kLatheTools = 31;
constexpr int kRowHeight = 22;

StringGrid* NewToolGrid(QWidget* parent, const char* name, int cols, int rows,
                        std::initializer_list<int> widths) {
  StringGrid* grid = NewGrid(parent, name, cols, rows, 1);
  int col = 0;
  for (int width : widths) grid->SetColWidth(col++, width);
  return grid;
}

void SetHeaders(StringGrid* grid, const TLanguage& language,
                std::initializer_list<const char*> keys) {
  int col = 0;
  for (const char* key : keys) grid->SetCell(col++, 0, language.Caption("Pos", key));
}

void LabelRows(StringGrid* grid, int last) {
  for (int r = 1; r <= last; ++r) grid->SetCell(0, r, Numbered("  %02d", r));
}

}  // namespace

TPositionPage::TPositionPage(QWidget* parent) : TPage("TabSheetPos", page_tag::kPosition, parent) {
  auto* page = new QVBoxLayout(this);

  GroupBoxPos = NewGroupBox(this, "GroupBoxPos");
  auto* boxes = new QHBoxLayout(GroupBoxPos);
  static const struct {
    const char* name;
    EPositionKind kind;
  } boxKinds[kBoxes] = {{"Coord1_ABS", EPositionKind::Absolute},
                        {"Coord2_INC", EPositionKind::Relative},
                        {"Coord3_MAC", EPositionKind::Machine},
                        {"Coord4_DIS", EPositionKind::DistanceToGo},
                        {"Coord5_HandlePos", EPositionKind::HandleIntPulse}};
  for (int i = 0; i < kBoxes; ++i) {
    CoordBoxes[static_cast<std::size_t>(i)] =
        new TTCoordBox(boxKinds[i].name, boxKinds[i].kind, GroupBoxPos);
    boxes->addWidget(CoordBoxes[static_cast<std::size_t>(i)]);
  }
  page->addWidget(GroupBoxPos);

  // Work-coordinate offsets: axis letters beside the grid, one row per axis.
  GroupBoxOffset = NewGroupBox(this, "GroupBoxOffset");
  auto* offset = new QGridLayout(GroupBoxOffset);
  auto* letters = new QVBoxLayout;
  letters->setSpacing(0);
  letters->addSpacing(kRowHeight + 2);
  for (int i = 0; i < kAxes; ++i) {
    LabelOffsetSetCoord[static_cast<std::size_t>(i)] =
        NewCaption(GroupBoxOffset, ("LabelOffsetSetCoord" + std::to_string(i + 1)).c_str(),
                   QString("XYZCAB").mid(i, 1));
    LabelOffsetSetCoord[static_cast<std::size_t>(i)]->setFixedHeight(kRowHeight);
    letters->addWidget(LabelOffsetSetCoord[static_cast<std::size_t>(i)]);
  }
  letters->addStretch(1);
  offset->addLayout(letters, 0, 0, 2, 1);
  StringGridOffsetSetCoord =
      NewGrid(GroupBoxOffset, "StringGridOffsetSetCoord", kMillingOffsetCols, 7, 0);
  StringGridOffsetSetCoord->SetDefaultColWidth(112);
  StringGridOffsetSetCoord->SetDefaultRowHeight(kRowHeight);
  offset->addWidget(StringGridOffsetSetCoord, 0, 1, 1, 3);
  LabelPosOffsetGoto = NewCaption(GroupBoxOffset, "LabelPosOffsetGoto");
  EditPosOffsetGoto = new QLineEdit(GroupBoxOffset);
  EditPosOffsetGoto->setObjectName("EditPosOffsetGoto");
  SpeedButtonPosOffsetGoto = new QPushButton(GroupBoxOffset);
  SpeedButtonPosOffsetGoto->setObjectName("SpeedButtonPosOffsetGoto");
  auto* gotoRow = new QHBoxLayout;
  gotoRow->addWidget(LabelPosOffsetGoto);
  gotoRow->addWidget(EditPosOffsetGoto);
  gotoRow->addWidget(SpeedButtonPosOffsetGoto);
  gotoRow->addStretch(1);
  offset->addLayout(gotoRow, 1, 1, 1, 3);
  page->addWidget(GroupBoxOffset, 1);

  // Tool tables: the stack shows the milling or the lathe sheet, never a tab of its own.
  GroupBoxTools = NewGroupBox(this, "GroupBoxTools");
  TypePage = new QStackedWidget(GroupBoxTools);
  TypePage->setObjectName("TypePage");
  (new QVBoxLayout(GroupBoxTools))->addWidget(TypePage);
  Milling = new QWidget(TypePage);
  Milling->setObjectName("Milling");
  gridMTools = NewToolGrid(Milling, "gridMTools", 8, kMillingTools,
                           {64, 95, 97, 97, 96, 100, 109, 101});
  GroupBoxTDC = NewGroupBox(Milling, "GroupBoxTDC");
  StringGridTDC = NewToolGrid(GroupBoxTDC, "StringGridTDC", 3, kMillingTools, {64, 125, 122});
  (new QVBoxLayout(GroupBoxTDC))->addWidget(StringGridTDC);
  auto* milling = new QHBoxLayout(Milling);
  milling->setContentsMargins(0, 0, 0, 0);
  milling->addWidget(gridMTools, 3);
  milling->addWidget(GroupBoxTDC, 1);
  Lathe = new QWidget(TypePage);
  Lathe->setObjectName("Lathe");
  GroupBoxGeon = NewGroupBox(Lathe, "GroupBoxGeon");
  gridGeom = NewToolGrid(GroupBoxGeon, "gridGeom", 6, kLatheTools, {52, 42, 68, 64, 64, 64});
  (new QVBoxLayout(GroupBoxGeon))->addWidget(gridGeom);
  GroupBoxWear = NewGroupBox(Lathe, "GroupBoxWear");
  gridWear = NewToolGrid(GroupBoxWear, "gridWear", 6, kLatheTools, {50, 41, 70, 64, 64, 64});
  (new QVBoxLayout(GroupBoxWear))->addWidget(gridWear);
  auto* lathe = new QHBoxLayout(Lathe);
  lathe->setContentsMargins(0, 0, 0, 0);
  lathe->addWidget(GroupBoxGeon);
  lathe->addWidget(GroupBoxWear);
  TypePage->addWidget(Milling);
  TypePage->addWidget(Lathe);
  page->addWidget(GroupBoxTools, 2);
}

void TPositionPage::LoadCaptions(const TLanguage& language) {
  static const char* const boxKeys[kBoxes] = {"ABS_Label", "INC_Label", "MAC_Label", "DIS_Label",
                                              "HandlePos_Label"};
  for (int i = 0; i < kBoxes; ++i)
    CoordBoxes[static_cast<std::size_t>(i)]->SetCaption(language.Caption("Pos", boxKeys[i]));
  GroupBoxPos->setTitle(language.Caption("Pos", "PosGroup_Label"));
  GroupBoxOffset->setTitle(language.Caption("Pos", "OffsetGroup_Label"));
  GroupBoxTools->setTitle(language.Caption("Pos", "ToolsGroup_Label"));
  GroupBoxTDC->setTitle(language.Caption("Pos", "TDCGroup_Label"));
  GroupBoxGeon->setTitle(language.Caption("Pos", "GeonGroup_Label"));
  GroupBoxWear->setTitle(language.Caption("Pos", "WearGroup_Label"));
  LabelPosOffsetGoto->setText(language.Caption("Pos", "OffsetGoto_Label"));
  SpeedButtonPosOffsetGoto->setText(language.Caption("Pos", "OffsetGoto_Button"));

  StringGrid* offsets = StringGridOffsetSetCoord;
  offsets->BeginUpdate();
  offsets->SetCell(0, 0, QStringLiteral("0"));
  for (int g = 0; g < 6; ++g) offsets->SetCell(1 + g, 0, Numbered("G%d", 54 + g));
  for (int n = 1; n <= kExtendedOffsets; ++n) offsets->SetCell(6 + n, 0, Numbered("G54P%d", n));
  offsets->EndUpdate();

  gridMTools->BeginUpdate();
  gridMTools->SetCell(0, 0, language.Caption("Pos", "MToolsNo_Label"));
  gridMTools->SetCell(1, 0, language.Caption("Pos", "MToolsRadius_Label"));
  LabelRows(gridMTools, 99);
  gridMTools->EndUpdate();
  // Until a controller names its axes, the letters the boxes start with.
  SetAxisLetters({"X", "Y", "Z", "C", "A", "B"}, language.Caption("Pos", "MToolsLength_Label"));
  StringGridTDC->BeginUpdate();
  SetHeaders(StringGridTDC, language, {"TDCNo_Label", "TDCValue_Label", "TDCTime_Label"});
  LabelRows(StringGridTDC, 99);
  StringGridTDC->EndUpdate();
  gridWear->BeginUpdate();
  SetHeaders(gridWear, language,
             {"WearNo_Label", "WearType_Label", "WearNose_Label", "WearX_Label", "WearY_Label",
              "WearZ_Label"});
  LabelRows(gridWear, 99);
  gridWear->EndUpdate();
  gridGeom->BeginUpdate();
  SetHeaders(gridGeom, language,
             {"GeonNo_Label", "GeonType_Label", "GeonNoseRadius", "GeonX_Label", "GeonY_Label",
              "GeonZ_Label"});
  LabelRows(gridGeom, 99);
  gridGeom->EndUpdate();
}

void TPositionPage::ApplySystemType(int type) {
  const bool milling = type == 0;
  std::array<bool, kAxes> rows{};
  rows.fill(true);
  if (!milling) rows[4] = rows[5] = false;
  for (TTCoordBox* box : CoordBoxes) box->SetRowsVisible(rows);
  StringGridOffsetSetCoord->BeginUpdate();
  StringGridOffsetSetCoord->SetColCount(milling ? kMillingOffsetCols : kLatheOffsetCols);
  StringGridOffsetSetCoord->SetRowCount(milling ? 7 : 5);
  StringGridOffsetSetCoord->EndUpdate();
  LabelOffsetSetCoord[4]->setVisible(milling);
  LabelOffsetSetCoord[5]->setVisible(milling);
  TypePage->setCurrentWidget(milling ? Milling : Lathe);
}

void TPositionPage::SetAxisLetters(const std::array<QString, kAxes>& letters,
                                   const QString& lengthSuffix) {
  gridMTools->BeginUpdate();
  for (std::size_t i = 0; i < kAxes; ++i) {
    LabelOffsetSetCoord[i]->setText(letters[i]);
    gridMTools->SetCell(static_cast<int>(i) + 2, 0, letters[i] + lengthSuffix);
  }
  gridMTools->EndUpdate();
  for (TTCoordBox* box : CoordBoxes) box->SetAxisLabels(letters);
}

}  // namespace talvo::app
