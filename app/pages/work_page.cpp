#include "app/pages/work_page.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/language/language.h"
#include "app/pages/page_widgets.h"

namespace talvo::app {
namespace {

// Rows and variables of the two macro-variable grids, milling then lathe (header included).
constexpr int kLocalRows[2] = {34, 50};
constexpr int kGlobalRows[2] = {1001, 101};
constexpr int kLabelledLocalRows = 49;
constexpr int kLabelledGlobalRows = 1000;

StringGrid* NewVariableGrid(QWidget* parent, const char* name, int rows) {
  StringGrid* grid = NewGrid(parent, name, 2, rows, 1);
  grid->SetColWidth(0, 56);
  grid->horizontalHeader()->setStretchLastSection(true);
  return grid;
}

}  // namespace

TWorkPage::TWorkPage(QWidget* parent) : TPage("TabSheetWork", page_tag::kWork, parent) {
  auto* page = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  page->addLayout(left, 3);

  // Programs, block and the machine's mode and status.
  auto* program = new QGridLayout;
  left->addLayout(program);
  const struct {
    const char* caption;
    QLabel** field;
    const char* name;
  } programRows[] = {{"MainProgNameLabel", &StaticTextMainProgName, "StaticTextMainProgName"},
                     {"NowProgNameLabel", &StaticTextNowProgName, "StaticTextNowProgName"},
                     {"NCodeLabel", &StaticTextNCode, "StaticTextNCode"},
                     {"LinesNoLabel", &StaticTextLinesNo, "StaticTextLinesNo"},
                     {"WorkModeLabel", &StaticTextWorkMode, "StaticTextWorkMode"},
                     {"WorkStaticeLabel", &StaticTextWorkStatice, "StaticTextWorkStatice"}};
  int row = 0;
  for (const auto& r : programRows) {
    program->addWidget(NewCaption(this, r.caption), row / 2, (row % 2) * 2);
    *r.field = NewValueField(this, r.name);
    (*r.field)->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    program->addWidget(*r.field, row / 2, (row % 2) * 2 + 1);
    ++row;
  }
  program->setColumnStretch(1, 1);
  program->setColumnStretch(3, 1);

  // Feed and the three spindles: command, actual with its unit, override.
  auto* motion = new QGridLayout;
  left->addLayout(motion);
  motion->addWidget(NewCaption(this, "Label25", "F"), 0, 0);
  StaticTextCommandFeedRate = NewValueField(this, "StaticTextCommandFeedRate", "0");
  motion->addWidget(StaticTextCommandFeedRate, 0, 1);
  motion->addWidget(NewCaption(this, "LFeedRate"), 0, 2);
  StaticTextActualFeedRate = NewValueField(this, "StaticTextActualFeedRate", "0");
  motion->addWidget(StaticTextActualFeedRate, 0, 3);
  motion->addWidget(NewCaption(this, "FeedRateUnit"), 0, 4);
  motion->addWidget(NewCaption(this, "LFeedRatePer"), 0, 5);
  StaticTextFeedRatePer = NewValueField(this, "StaticTextFeedRatePer", "100");
  motion->addWidget(StaticTextFeedRatePer, 0, 6);
  motion->addWidget(NewCaption(this, "Label18", "%"), 0, 7);
  for (int s = 0; s < 3; ++s) {
    const QByteArray n = QByteArray::number(s + 1);
    motion->addWidget(NewCaption(this, "LS" + n, "S" + n), s + 1, 0);
    StaticTextSCom[s] = NewValueField(this, "StaticTextS" + n + "Com", "0");
    motion->addWidget(StaticTextSCom[s], s + 1, 1);
    motion->addWidget(NewCaption(this, "S" + n + "_LNowSpeed"), s + 1, 2);
    StaticTextSActual[s] = NewValueField(this, "StaticTextS" + n + "Actual", "0");
    motion->addWidget(StaticTextSActual[s], s + 1, 3);
    motion->addWidget(NewCaption(this, "S" + n + "_Unit"), s + 1, 4);
    motion->addWidget(NewCaption(this, "LS" + n + "Per"), s + 1, 5);
    StaticTextSPer[s] = NewValueField(this, "StaticTextS" + n + "Per", "100");
    motion->addWidget(StaticTextSPer[s], s + 1, 6);
    motion->addWidget(NewCaption(this, "LS" + n + "PerUnit", "%"), s + 1, 7);
  }

  // The codes of the running block, counts and times, the tools in and beside the spindle.
  auto* codes = new QGridLayout;
  left->addLayout(codes);
  codes->addWidget(NewCaption(this, "LHCode", "H"), 0, 0);
  StaticTextHCode = NewValueField(this, "StaticTextHCode", "0");
  codes->addWidget(StaticTextHCode, 0, 1);
  codes->addWidget(NewCaption(this, "LMCode", "M"), 0, 2);
  for (int m = 0; m < 3; ++m) {
    StaticTextMCode[m] = NewValueField(this, "StaticTextMCode" + QByteArray::number(m + 1), "0");
    codes->addWidget(StaticTextMCode[m], 0, 3 + m);
  }
  const struct {
    const char* caption;
    const char* text;
    QLabel** field;
    const char* name;
  } codeRow[] = {{"LTCode", "T", &StaticTextTCode, "StaticTextTCode"},
                 {"LPCode", "P", &StaticTextPCode, "StaticTextPCode"},
                 {"LQCode", "Q", &StaticTextQCode, "StaticTextQCode"},
                 {"LRCode", "R", &StaticTextRCode, "StaticTextRCode"}};
  int column = 0;
  for (const auto& c : codeRow) {
    codes->addWidget(NewCaption(this, c.caption, c.text), 1, column);
    *c.field = NewValueField(this, c.name, "0");
    codes->addWidget(*c.field, 1, column + 1);
    column += 2;
  }
  codes->addWidget(NewCaption(this, "LCutTime"), 2, 0);
  CutTime = NewValueField(this, "CutTime", "00:00:00");
  codes->addWidget(CutTime, 2, 1);
  codes->addWidget(NewCaption(this, "LWorkTime"), 2, 2);
  WorkTime = NewValueField(this, "WorkTime", "00:00");
  codes->addWidget(WorkTime, 2, 3);
  codes->addWidget(NewCaption(this, "LNowWorkPice"), 2, 4);
  NowWorkPice = NewValueField(this, "NowWorkPice", "0");
  codes->addWidget(NowWorkPice, 2, 5);
  codes->addWidget(NewCaption(this, "LMaxWorkPice"), 2, 6);
  MaxWorkPice = NewValueField(this, "MaxWorkPice", "0");
  codes->addWidget(MaxWorkPice, 2, 7);
  LSpindleT = NewCaption(this, "LSpindleT");
  codes->addWidget(LSpindleT, 3, 0);
  SpindleT = NewValueField(this, "SpindleT", "0");
  codes->addWidget(SpindleT, 3, 1);
  LPrepareT = NewCaption(this, "LPrepareT");
  codes->addWidget(LPrepareT, 3, 2);
  PrepareT = NewValueField(this, "PrepareT", "0");
  codes->addWidget(PrepareT, 3, 3);

  // The 18 G code groups, ten to a row.
  GcodeGroup = NewGroupBox(this, "GcodeGroup");
  auto* gLayout = new QVBoxLayout(GcodeGroup);
  StringGridGroup = NewGrid(GcodeGroup, "StringGridGroup", 10, 3, 0);
  StringGridGroup->SetFixedRows(0);
  StringGridGroup->SetDefaultColWidth(40);
  StringGridGroup->setSelectionMode(QAbstractItemView::NoSelection);
  StringGridGroup->setFocusPolicy(Qt::NoFocus);
  StringGridGroup->setFixedHeight(3 * 22 + 4);
  StringGridGroup->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGridGroup->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gLayout->addWidget(StringGridGroup);
  left->addWidget(GcodeGroup);
  left->addStretch(1);

  // The macro variables.
  LocalVerGroupBox = NewGroupBox(this, "LocalVerGroupBox");
  gridLocalVar = NewVariableGrid(LocalVerGroupBox, "gridLocalVar", kLabelledLocalRows + 1);
  (new QVBoxLayout(LocalVerGroupBox))->addWidget(gridLocalVar);
  GlobalVerGroupBox = NewGroupBox(this, "GlobalVerGroupBox");
  gridGlobalVar = NewVariableGrid(GlobalVerGroupBox, "gridGlobalVar", kLabelledGlobalRows + 1);
  (new QVBoxLayout(GlobalVerGroupBox))->addWidget(gridGlobalVar);
  page->addWidget(LocalVerGroupBox, 1);
  page->addWidget(GlobalVerGroupBox, 1);
}

void TWorkPage::LoadCaptions(const TLanguage& language) {
  static const char* const captions[] = {
      "MainProgNameLabel", "NowProgNameLabel", "NCodeLabel", "LinesNoLabel", "WorkModeLabel",
      "WorkStaticeLabel",  "LFeedRate",        "S1_LNowSpeed", "S2_LNowSpeed", "S3_LNowSpeed",
      "S1_Unit",           "S2_Unit",          "S3_Unit",    "LFeedRatePer", "LS1Per",
      "LS2Per",            "LS3Per",           "LCutTime",   "LWorkTime",  "LNowWorkPice",
      "LMaxWorkPice",      "LSpindleT",        "LPrepareT"};
  for (const char* name : captions)
    if (auto* label = findChild<QLabel*>(name)) label->setText(language.Caption("Work", name));
  findChild<QLabel*>("FeedRateUnit")->setText(language.Caption("Work", "FeedRateUnit_Metric"));
  GcodeGroup->setTitle(language.Caption("Work", "GcodeGroup"));
  LocalVerGroupBox->setTitle(language.Caption("Work", "LocalVerGroup"));
  GlobalVerGroupBox->setTitle(language.Caption("Work", "GlobalVerGroup"));

  gridLocalVar->BeginUpdate();
  gridLocalVar->SetCell(0, 0, language.Caption("Work", "LocalVerNo"));
  gridLocalVar->SetCell(1, 0, language.Caption("Work", "LocalVer"));
  for (int r = 1; r <= kLabelledLocalRows; ++r) gridLocalVar->SetCell(0, r, Numbered("  %02d", r));
  gridLocalVar->EndUpdate();
  gridGlobalVar->BeginUpdate();
  gridGlobalVar->SetCell(0, 0, language.Caption("Work", "GlobalVerNo"));
  gridGlobalVar->SetCell(1, 0, language.Caption("Work", "GlobalVer"));
  for (int r = 1; r <= kLabelledGlobalRows; ++r)
    gridGlobalVar->SetCell(0, r, Numbered("  %03d", r));
  gridGlobalVar->EndUpdate();
}

void TWorkPage::ApplySystemType(int type) {
  const int t = type == 1 ? 1 : 0;
  gridLocalVar->SetRowCount(kLocalRows[t]);
  gridGlobalVar->SetRowCount(kGlobalRows[t]);
  const bool milling = t == 0;
  for (QWidget* w : {static_cast<QWidget*>(LSpindleT), static_cast<QWidget*>(SpindleT),
                     static_cast<QWidget*>(LPrepareT), static_cast<QWidget*>(PrepareT),
                     static_cast<QWidget*>(StaticTextMCode[1]),
                     static_cast<QWidget*>(StaticTextMCode[2])})
    w->setVisible(milling);
}

void TWorkPage::ClearProgramTexts() {
  for (QLabel* text : {StaticTextMainProgName, StaticTextNowProgName, StaticTextNCode,
                       StaticTextLinesNo, StaticTextWorkMode, StaticTextWorkStatice})
    text->clear();
}

}  // namespace talvo::app
