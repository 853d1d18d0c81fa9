#include "app/pages/position_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/language/language.h"
#include "app/pages/page_controls.h"

namespace talvo::app {
namespace {

constexpr int kExtendedOffsets = 300;
constexpr int kMillingOffsetCols = 7 + kExtendedOffsets;
constexpr int kLatheOffsetCols = 7;
constexpr int kMillingTools = 100;
constexpr int kLatheTools = 31;
constexpr int kRowHeight = 22;
constexpr int kGotoWidth = 110;
constexpr int kMargin = 4;

// Tool rows are labelled "  01" .. "  99", as many as the grid has.
void LabelToolRows(StringGrid& grid) {
  LabelRows(grid, 1, 99, [](int row) { return QString::asprintf("  %02d", row); });
}

}  // namespace

TPositionPage::TPositionPage(QWidget* parent) : TPage("TabSheetPos", page_tag::kPosition, parent) {
  auto* page = new QVBoxLayout(this);

  GroupBoxPos = Named<QGroupBox>("GroupBoxPos");
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

  // Work-coordinate offsets: the axis letters stand beside the grid, each level with its row.
  GroupBoxOffset = Named<QGroupBox>("GroupBoxOffset");
  StringGridOffsetSetCoord = Named<StringGrid>("StringGridOffsetSetCoord");
  StringGridOffsetSetCoord->SetFixedCols(0);
  StringGridOffsetSetCoord->SetColCount(kMillingOffsetCols);
  StringGridOffsetSetCoord->SetRowCount(1 + kAxes);
  StringGridOffsetSetCoord->SetDefaultColWidth(112);
  StringGridOffsetSetCoord->SetDefaultRowHeight(kRowHeight);
  StringGridOffsetSetCoord->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int headerHeight = StringGridOffsetSetCoord->horizontalHeader()->sizeHint().height();
  const int frame = StringGridOffsetSetCoord->frameWidth();
  StringGridOffsetSetCoord->setFixedHeight(
      headerHeight + kAxes * kRowHeight + 2 * frame +
      StringGridOffsetSetCoord->horizontalScrollBar()->sizeHint().height());
  auto* letters = new QVBoxLayout;
  letters->setSpacing(0);
  letters->addSpacing(frame + headerHeight);
  for (std::size_t i = 0; i < kAxes; ++i) {
    LabelOffsetSetCoord[i] = Named<QLabel>(("LabelOffsetSetCoord" + std::to_string(i + 1)).c_str(),
                                           QString("XYZCAB").mid(static_cast<int>(i), 1));
    LabelOffsetSetCoord[i]->setFixedSize(24, kRowHeight);
    LabelOffsetSetCoord[i]->setAlignment(Qt::AlignCenter);
    letters->addWidget(LabelOffsetSetCoord[i]);
  }
  letters->addStretch(1);
  LabelPosOffsetGoto = Named<QLabel>("LabelPosOffsetGoto");
  EditPosOffsetGoto = Named<QLineEdit>("EditPosOffsetGoto");
  SpeedButtonPosOffsetGoto = Named<QPushButton>("SpeedButtonPosOffsetGoto");
  // The search stands beside the grid, which scrolls sideways anyway: below it, it would take
  // a row of height from the tool tables.
  auto* gotoColumn = new QVBoxLayout;
  gotoColumn->addWidget(LabelPosOffsetGoto);
  gotoColumn->addWidget(EditPosOffsetGoto);
  gotoColumn->addWidget(SpeedButtonPosOffsetGoto);
  gotoColumn->addStretch(1);
  EditPosOffsetGoto->setMaximumWidth(kGotoWidth);
  auto* offset = new QHBoxLayout(GroupBoxOffset);
  offset->addLayout(letters);
  offset->addWidget(StringGridOffsetSetCoord, 1, Qt::AlignTop);
  offset->addLayout(gotoColumn);
  page->addWidget(GroupBoxOffset);

  // Tool tables: the stack shows the milling or the lathe sheet, never a tab of its own.
  GroupBoxTools = Named<QGroupBox>("GroupBoxTools");
  TypePage = new QStackedWidget(GroupBoxTools);
  TypePage->setObjectName("TypePage");
  (new QVBoxLayout(GroupBoxTools))->addWidget(TypePage);
  Milling = new QWidget(TypePage);
  Milling->setObjectName("Milling");
  gridMTools = NewSizedGrid("gridMTools", kMillingTools, {64, 95, 97, 97, 96, 100, 109, 101});
  GroupBoxTDC = Named<QGroupBox>("GroupBoxTDC");
  StringGridTDC = NewSizedGrid("StringGridTDC", kMillingTools, {64, 125, 122});
  (new QVBoxLayout(GroupBoxTDC))->addWidget(StringGridTDC);
  auto* milling = new QHBoxLayout(Milling);
  milling->setContentsMargins(0, 0, 0, 0);
  milling->addWidget(gridMTools, 2);
  milling->addWidget(GroupBoxTDC, 1);
  Lathe = new QWidget(TypePage);
  Lathe->setObjectName("Lathe");
  GroupBoxGeon = Named<QGroupBox>("GroupBoxGeon");
  gridGeom = NewSizedGrid("gridGeom", kLatheTools, {52, 42, 68, 64, 64, 64});
  (new QVBoxLayout(GroupBoxGeon))->addWidget(gridGeom);
  GroupBoxWear = Named<QGroupBox>("GroupBoxWear");
  gridWear = NewSizedGrid("gridWear", kLatheTools, {50, 41, 70, 64, 64, 64});
  (new QVBoxLayout(GroupBoxWear))->addWidget(gridWear);
  auto* lathe = new QHBoxLayout(Lathe);
  lathe->setContentsMargins(0, 0, 0, 0);
  lathe->addWidget(GroupBoxGeon);
  lathe->addWidget(GroupBoxWear);
  TypePage->addWidget(Milling);
  TypePage->addWidget(Lathe);
  page->addWidget(GroupBoxTools, 2);

  // Narrow margins: on a small screen every pixel of height goes to the tool tables.
  page->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  for (QGroupBox* group : findChildren<QGroupBox*>())
    if (QLayout* inside = group->layout()) inside->setContentsMargins(kMargin, kMargin, kMargin, kMargin);

  pass_.emplace(this, std::initializer_list<StringGrid*>{StringGridOffsetSetCoord, gridMTools,
                                                          StringGridTDC, gridGeom, gridWear});
  connect(SpeedButtonPosOffsetGoto, &QPushButton::clicked, this, [this] { GotoOffset(); });
  connect(EditPosOffsetGoto, &QLineEdit::returnPressed, this, [this] { GotoOffset(); });
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
  for (int g = 0; g < 6; ++g) offsets->SetCell(1 + g, 0, QString::asprintf("G%d", 54 + g));
  for (int n = 1; n <= kExtendedOffsets; ++n)
    offsets->SetCell(6 + n, 0, QString::asprintf("G54P%d", n));
  offsets->EndUpdate();

  LoadHeaders(*gridMTools, language, "Pos", {"MToolsNo_Label", "MToolsRadius_Label"});
  LabelToolRows(*gridMTools);
  // Until a controller names its axes, the letters the boxes start with.
  SetAxisLetters({"X", "Y", "Z", "C", "A", "B"}, language.Caption("Pos", "MToolsLength_Label"));
  LoadHeaders(*StringGridTDC, language, "Pos", {"TDCNo_Label", "TDCValue_Label", "TDCTime_Label"});
  LabelToolRows(*StringGridTDC);
  LoadHeaders(*gridWear, language, "Pos",
              {"WearNo_Label", "WearType_Label", "WearNose_Label", "WearX_Label", "WearY_Label",
               "WearZ_Label"});
  LabelToolRows(*gridWear);
  LoadHeaders(*gridGeom, language, "Pos",
              {"GeonNo_Label", "GeonType_Label", "GeonNoseRadius", "GeonX_Label", "GeonY_Label",
               "GeonZ_Label"});
  LabelToolRows(*gridGeom);
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
