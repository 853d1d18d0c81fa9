#include "app/pages/work_page.h"

#include <algorithm>

#include <QGridLayout>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <QKeyEvent>

#include "app/format/display_format.h"
#include "app/frame/main_window.h"
#include "app/language/language.h"
#include "app/pages/page_controls.h"
#include "app/pages/work_texts.h"

namespace talvo::app {
namespace {

// Rows and variables of the two macro-variable grids, milling then lathe (header included).
constexpr int kLocalRows[2] = {34, 50};
constexpr int kGlobalRows[2] = {1001, 101};
constexpr int kLabelledLocalRows = 49;
constexpr int kLabelledGlobalRows = 1000;

StringGrid* NewVariableGrid(const char* name, int rows) { return NewSizedGrid(name, rows, {56, 100}); }

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
    ValueText** field;
    const char* name;
  } programRows[] = {{"MainProgNameLabel", &StaticTextMainProgName, "StaticTextMainProgName"},
                     {"NowProgNameLabel", &StaticTextNowProgName, "StaticTextNowProgName"},
                     {"NCodeLabel", &StaticTextNCode, "StaticTextNCode"},
                     {"LinesNoLabel", &StaticTextLinesNo, "StaticTextLinesNo"},
                     {"WorkModeLabel", &StaticTextWorkMode, "StaticTextWorkMode"},
                     {"WorkStaticeLabel", &StaticTextWorkStatice, "StaticTextWorkStatice"}};
  int row = 0;
  for (const auto& r : programRows) {
    program->addWidget(Named<QLabel>(r.caption), row / 2, (row % 2) * 2);
    *r.field = NewValueField(r.name);
    (*r.field)->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    program->addWidget(*r.field, row / 2, (row % 2) * 2 + 1);
    ++row;
  }
  program->setColumnStretch(1, 1);
  program->setColumnStretch(3, 1);

  // Feed and the three spindles: command, actual with its unit, override.
  auto* motion = new QGridLayout;
  left->addLayout(motion);
  motion->addWidget(Named<QLabel>("Label25", QString("F")), 0, 0);
  StaticTextCommandFeedRate = NewValueField("StaticTextCommandFeedRate", "0");
  motion->addWidget(StaticTextCommandFeedRate, 0, 1);
  motion->addWidget(Named<QLabel>("LFeedRate"), 0, 2);
  StaticTextActualFeedRate = NewValueField("StaticTextActualFeedRate", "0");
  motion->addWidget(StaticTextActualFeedRate, 0, 3);
  motion->addWidget(Named<QLabel>("FeedRateUnit"), 0, 4);
  motion->addWidget(Named<QLabel>("LFeedRatePer"), 0, 5);
  StaticTextFeedRatePer = NewValueField("StaticTextFeedRatePer", "100");
  motion->addWidget(StaticTextFeedRatePer, 0, 6);
  motion->addWidget(Named<QLabel>("Label18", QString("%")), 0, 7);
  for (int s = 0; s < 3; ++s) {
    const QByteArray n = QByteArray::number(s + 1);
    motion->addWidget(Named<QLabel>("LS" + n, QString("S" + n)), s + 1, 0);
    StaticTextSCom[s] = NewValueField("StaticTextS" + n + "Com", "0");
    motion->addWidget(StaticTextSCom[s], s + 1, 1);
    motion->addWidget(Named<QLabel>("S" + n + "_LNowSpeed"), s + 1, 2);
    StaticTextSActual[s] = NewValueField("StaticTextS" + n + "Actual", "0");
    motion->addWidget(StaticTextSActual[s], s + 1, 3);
    motion->addWidget(Named<QLabel>("S" + n + "_Unit"), s + 1, 4);
    motion->addWidget(Named<QLabel>("LS" + n + "Per"), s + 1, 5);
    StaticTextSPer[s] = NewValueField("StaticTextS" + n + "Per", "100");
    motion->addWidget(StaticTextSPer[s], s + 1, 6);
    motion->addWidget(Named<QLabel>("LS" + n + "PerUnit", QString("%")), s + 1, 7);
  }

  // The codes of the running block, counts and times, the tools in and beside the spindle.
  auto* codes = new QGridLayout;
  left->addLayout(codes);
  codes->addWidget(Named<QLabel>("LHCode", QString("H")), 0, 0);
  StaticTextHCode = NewValueField("StaticTextHCode", "0");
  codes->addWidget(StaticTextHCode, 0, 1);
  codes->addWidget(Named<QLabel>("LMCode", QString("M")), 0, 2);
  for (int m = 0; m < 3; ++m) {
    StaticTextMCode[m] = NewValueField("StaticTextMCode" + QByteArray::number(m + 1), "0");
    codes->addWidget(StaticTextMCode[m], 0, 3 + m);
  }
  const struct {
    const char* caption;
    const char* text;
    ValueText** field;
    const char* name;
  } codeRow[] = {{"LTCode", "T", &StaticTextTCode, "StaticTextTCode"},
                 {"LPCode", "P", &StaticTextPCode, "StaticTextPCode"},
                 {"LQCode", "Q", &StaticTextQCode, "StaticTextQCode"},
                 {"LRCode", "R", &StaticTextRCode, "StaticTextRCode"}};
  int column = 0;
  for (const auto& c : codeRow) {
    codes->addWidget(Named<QLabel>(c.caption, c.text), 1, column);
    *c.field = NewValueField(c.name, "0");
    codes->addWidget(*c.field, 1, column + 1);
    column += 2;
  }
  codes->addWidget(Named<QLabel>("LCutTime"), 2, 0);
  CutTime = NewValueField("CutTime", "00:00:00");
  codes->addWidget(CutTime, 2, 1);
  codes->addWidget(Named<QLabel>("LWorkTime"), 2, 2);
  WorkTime = NewValueField("WorkTime", "00:00");
  codes->addWidget(WorkTime, 2, 3);
  codes->addWidget(Named<QLabel>("LNowWorkPice"), 2, 4);
  NowWorkPice = NewValueField("NowWorkPice", "0");
  codes->addWidget(NowWorkPice, 2, 5);
  codes->addWidget(Named<QLabel>("LMaxWorkPice"), 2, 6);
  MaxWorkPice = NewValueField("MaxWorkPice", "0");
  codes->addWidget(MaxWorkPice, 2, 7);
  LSpindleT = Named<QLabel>("LSpindleT");
  codes->addWidget(LSpindleT, 3, 0);
  SpindleT = NewValueField("SpindleT", "0");
  codes->addWidget(SpindleT, 3, 1);
  LPrepareT = Named<QLabel>("LPrepareT");
  codes->addWidget(LPrepareT, 3, 2);
  PrepareT = NewValueField("PrepareT", "0");
  codes->addWidget(PrepareT, 3, 3);

  // The 18 G code groups, ten to a row.
  GcodeGroup = Named<QGroupBox>("GcodeGroup");
  auto* gLayout = new QVBoxLayout(GcodeGroup);
  StringGridGroup = Named<StringGrid>("StringGridGroup");
  StringGridGroup->SetFixedCols(0);
  StringGridGroup->SetFixedRows(0);
  StringGridGroup->SetColCount(10);
  StringGridGroup->SetRowCount(3);
  StringGridGroup->SetDefaultColWidth(40);
  StringGridGroup->setSelectionMode(QAbstractItemView::NoSelection);
  StringGridGroup->setFocusPolicy(Qt::NoFocus);
  StringGridGroup->setFixedSize(10 * 40 + 2 * StringGridGroup->frameWidth(),
                                3 * 22 + 2 * StringGridGroup->frameWidth());
  StringGridGroup->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGridGroup->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gLayout->addWidget(StringGridGroup);
  left->addWidget(GcodeGroup);
  left->addStretch(1);

  // The macro variables.
  LocalVerGroupBox = Named<QGroupBox>("LocalVerGroupBox");
  gridLocalVar = NewVariableGrid("gridLocalVar", kLabelledLocalRows + 1);
  (new QVBoxLayout(LocalVerGroupBox))->addWidget(gridLocalVar);
  GlobalVerGroupBox = Named<QGroupBox>("GlobalVerGroupBox");
  gridGlobalVar = NewVariableGrid("gridGlobalVar", kLabelledGlobalRows + 1);
  (new QVBoxLayout(GlobalVerGroupBox))->addWidget(gridGlobalVar);
  page->addWidget(LocalVerGroupBox, 1);
  page->addWidget(GlobalVerGroupBox, 1);
  pass_ = std::make_unique<TGridPass>(this, std::initializer_list<StringGrid*>{
                                                StringGridGroup, gridLocalVar, gridGlobalVar});
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
  LabelRows(*gridLocalVar, 1, kLabelledLocalRows,
            [](int row) { return QString::asprintf("  %02d", row); });
  gridLocalVar->EndUpdate();
  gridGlobalVar->BeginUpdate();
  gridGlobalVar->SetCell(0, 0, language.Caption("Work", "GlobalVerNo"));
  gridGlobalVar->SetCell(1, 0, language.Caption("Work", "GlobalVer"));
  LabelRows(*gridGlobalVar, 1, kLabelledGlobalRows,
            [](int row) { return QString::asprintf("  %03d", row); });
  gridGlobalVar->EndUpdate();
}

void TWorkPage::ApplySystemType(int type) {
  const int t = type == 1 ? 1 : 0;
  lathe_ = t == 1;
  gridLocalVar->SetRowCount(kLocalRows[t]);
  gridGlobalVar->SetRowCount(kGlobalRows[t]);
  const bool milling = t == 0;
  for (QWidget* w : {static_cast<QWidget*>(LSpindleT), static_cast<QWidget*>(SpindleT),
                     static_cast<QWidget*>(LPrepareT), static_cast<QWidget*>(PrepareT),
                     static_cast<QWidget*>(StaticTextMCode[1]),
                     static_cast<QWidget*>(StaticTextMCode[2])})
    w->setVisible(milling);
  // The tool fields wait for the registers that may show them again.
  if (frame_) BackupRegisterChange();
}

void TWorkPage::ClearProgramTexts() {
  for (ValueText* text : {StaticTextMainProgName, StaticTextNowProgName, StaticTextNCode,
                          StaticTextLinesNo, StaticTextWorkMode, StaticTextWorkStatice})
    text->setText({});
}

void TWorkPage::MachineChanged() {
  ClearProgramTexts();
  for (ValueText* text : {NowWorkPice, MaxWorkPice, CutTime, WorkTime}) text->setText({});
}

void TWorkPage::Attach(TFormMain& frame) {
  frame_ = &frame;
  TInfoObjects& infos = frame.Infos();
  infos.Program.OnChange = [this](TTalvoInfo*) { ProgramChange(); };
  infos.WorkPiece.OnChange = [this](TTalvoInfo*) { WorkPieceChange(); };
  infos.WorkTime.OnChange = [this](TTalvoInfo*) { WorkTimeChange(); };
  infos.WorkBackupRegisters.OnChange = [this](TTalvoInfo*) { BackupRegisterChange(); };
  ValueText* const codeFields[] = {StaticTextHCode,    StaticTextMCode[0], StaticTextMCode[1],
                                   StaticTextMCode[2], StaticTextTCode,    StaticTextPCode};
  for (std::size_t i = 0; i < infos.Codes.size(); ++i) {
    TTalvoInfo_GetCodeXX& code = infos.Codes[i];
    ValueText* field = codeFields[i];
    code.OnChange = [&code, field](TTalvoInfo*) { field->setText(QString::number(code.Value())); };
  }
  infos.FeedRate.OnChange = [this](TTalvoInfo*) { FeedRateChange(); };
  infos.SpindleSpeed.OnChange = [this](TTalvoInfo*) { SpindleSpeedChange(); };
  infos.MacroVariable.OnChange = [this](TTalvoInfo*) { MacroVariableChange(); };
  BindVariableGrid(*gridLocalVar, EEditKind::LocalVar);
  BindVariableGrid(*gridGlobalVar, EEditKind::GlobalVar);
}

void TWorkPage::BindVariableGrid(StringGrid& grid, EEditKind kind) {
  grid.OnCellActivated = [this, &grid, kind](int col, int row) {
    if (row >= 1 && col == 1)
      frame_->EditGridValue(EEditHow::DoubleClicked, kind, grid.Cell(col, row), 0, row - 1,
                            CellTarget(grid, col, row));
  };
  grid.OnKey = [this, &grid, kind](QKeyEvent* event) {
    // Keys without a character (arrows, Enter) keep their meaning in the grid.
    if (grid.Col() != 1 || event->text().isEmpty() || !event->text()[0].isPrint()) return false;
    frame_->EditGridValue(EEditHow::KeyTyped, kind, event->text(), 0, grid.Row() - 1,
                          CellTarget(grid, 1, grid.Row()));
    return true;
  };
}

void TWorkPage::SharedInfoChanged(TTalvoInfo& info) {
  if (!frame_) return;
  if (&info == &frame_->Infos().StatusMode) StatusModeChange();
  else if (&info == &frame_->Infos().GGroup) GGroupChange();
}

void TWorkPage::StatusModeChange() {
  const TTalvoInfo_StatusMode& status = frame_->Infos().StatusMode;
  const TDisplayStrings& texts = frame_->DisplayStrings();
  if (status.ModeChanged()) StaticTextWorkMode->setText(texts.Text(status.Mode() + 10000));
  if (status.StatusChanged()) StaticTextWorkStatice->setText(texts.Text(status.Status() + 10016));
}

void TWorkPage::GGroupChange() {
  const TTalvoInfo_GGroup& groups = frame_->Infos().GGroup;
  pass_->Touch();
  for (int g = 0; g < kGGroups; ++g)
    StringGridGroup->SetCell(g % kGGridColumns, g / kGGridColumns,
                             GGroupText(g, groups.ActiveG(g), lathe_));
}

void TWorkPage::ProgramChange() {
  const TTalvoInfo_Program& program = frame_->Infos().Program;
  const TLanguage& language = frame_->Language();
  if (program.MainPartChanged()) StaticTextMainProgName->setText(language.Decode(program.MainPart()));
  if (program.CurrentPartChanged())
    StaticTextNowProgName->setText(language.Decode(program.CurrentPart()));
  if (program.NChanged()) StaticTextNCode->setText("N" + QString::number(program.N()));
  if (program.BlockLineChanged()) StaticTextLinesNo->setText(QString::number(program.BlockLine()));
}

void TWorkPage::WorkPieceChange() {
  const TTalvoInfo_WorkPiece& pieces = frame_->Infos().WorkPiece;
  if (pieces.NowChanged()) NowWorkPice->setText(QString::number(pieces.NowCount()));
  if (pieces.MaxChanged()) MaxWorkPice->setText(QString::number(pieces.MaxCount()));
}

void TWorkPage::WorkTimeChange() {
  const TTalvoInfo_WorkTime& times = frame_->Infos().WorkTime;
  if (times.CurrentChanged()) {
    const TWorkTime& t = times.Current();
    CutTime->setText(TimeText(t.Hours, t.Minutes, t.Seconds));
  }
  if (times.TotalChanged()) WorkTime->setText(TimeText(times.Total().Hours, times.Total().Minutes));
}

void TWorkPage::FeedRateChange() {
  const TTalvoInfo_FeedRate& feed = frame_->Infos().FeedRate;
  if (feed.CommandChanged()) StaticTextCommandFeedRate->setText(LengthText(feed.Command()));
  if (feed.ActualChanged()) StaticTextActualFeedRate->setText(LengthText(feed.Actual()));
  if (feed.PercentageChanged()) StaticTextFeedRatePer->setText(PercentText(feed.Percentage()));
}

void TWorkPage::SpindleSpeedChange() {
  const TTalvoInfo_SpindleSpeed& spindles = frame_->Infos().SpindleSpeed;
  for (int s = 0; s < TTalvoInfo_SpindleSpeed::kSpindles; ++s) {
    if (spindles.CommandChanged(s)) StaticTextSCom[s]->setText(QString::number(spindles.Command(s)));
    if (spindles.ActualChanged(s)) StaticTextSActual[s]->setText(QString::number(spindles.Actual(s)));
    if (spindles.PercentageChanged(s)) StaticTextSPer[s]->setText(PercentText(spindles.Percentage(s)));
  }
}

void TWorkPage::MacroVariableChange() {
  const TTalvoInfo_MacroVariable& macros = frame_->Infos().MacroVariable;
  pass_->Touch();
  if (macros.LocalsChanged()) {
    for (int i = 0; i < macros.LocalCount(); ++i)
      gridLocalVar->SetCell(1, i + 1, VariableText(macros.Local(i)));
  }
  if (macros.GlobalsChanged()) {
    const int first = macros.ChunkStart();
    const int end = std::min(first + TTalvoInfo_MacroVariable::kChunk, macros.GlobalCount());
    for (int i = first; i < end; ++i) gridGlobalVar->SetCell(1, i + 1, VariableText(macros.Global(i)));
  }
}

void TWorkPage::BackupRegisterChange() {
  const TTalvoInfo_PLCRegister& registers = frame_->Infos().WorkBackupRegisters;
  const TToolInSpindle tools =
      ToolInSpindle(!lathe_, [&registers](int d) { return registers.Value(d); });
  for (QWidget* w : {static_cast<QWidget*>(LSpindleT), static_cast<QWidget*>(SpindleT),
                     static_cast<QWidget*>(LPrepareT), static_cast<QWidget*>(PrepareT)})
    w->setVisible(tools.shown);
  if (!tools.shown) return;
  SpindleT->setText(QString::number(tools.spindle));
  PrepareT->setText(QString::number(tools.prepared));
}

}  // namespace talvo::app
