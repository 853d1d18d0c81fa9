#include "app/pages/plc_page.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

#include "app/frame/main_window.h"
#include "app/language/language.h"
#include "app/pages/page_controls.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

constexpr int kBitsPerArea = 512;
constexpr int kBitsPerRow = 10;
constexpr int kBitRows = 1 + (kBitsPerArea + kBitsPerRow - 1) / kBitsPerRow;  // 53
constexpr int kCounters = 64;
constexpr int kRegisters = 256;

struct TBitArea {
  const char* grid;
  const char* headerKey;
};
constexpr TBitArea kBitAreas[] = {{"gridIBit", "IBit_Label"},
                                  {"gridOBit", "OBit_Label"},
                                  {"gridCBit", "CBit_Label"},
                                  {"gridSBit", "SBit_Label"},
                                  {"gridABit", "ABit_Label"}};

StringGrid* NewBitGrid(const char* name) {
  auto* grid = NewSizedGrid(name, kBitRows, {62, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20});
  // The ten bit columns share the room the area gets, so the three columns of areas fill
  // the band evenly and never scroll sideways.
  ShareWidth(*grid);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return grid;
}

// Counters and timers: the current and the set value share the room alike.
StringGrid* NewCounterGrid(const char* name, std::initializer_list<int> widths) {
  auto* grid = NewSizedGrid(name, 1 + kCounters, widths);
  ShareWidth(*grid);
  return grid;
}

}  // namespace

TPlcPage::TPlcPage(QWidget* parent)
    : TPage("TabSheetPLC", page_tag::kPLC, parent),
      counters_(NewCounterGrid("gridCounter", {70, 75, 78})),
      timers_(NewCounterGrid("gridTimmer", {70, 79, 76})),
      registers_(NewSizedGrid("gridRegister", 1 + kRegisters, {70, 169})),
      dRegisters_(NewSizedGrid("gridDRegister", 1 + kRegisters, {70, 164})) {
  for (std::size_t kind = 0; kind < bits_.size(); ++kind)
    bits_[kind] = NewBitGrid(kBitAreas[kind].grid);
  enum { I, O, C, S, A };

  // I above O, then A, then C above S.
  auto* areas = Named<QWidget>("PanelPlcIOCSA");
  auto* areaColumns = new QHBoxLayout(areas);
  areaColumns->setContentsMargins(0, 0, 0, 0);
  auto* io = new QVBoxLayout;
  io->addWidget(bits_[I]);
  io->addWidget(bits_[O]);
  auto* cs = new QVBoxLayout;
  cs->addWidget(bits_[C]);
  cs->addWidget(bits_[S]);
  areaColumns->addLayout(io, 1);
  areaColumns->addWidget(bits_[A], 1);
  areaColumns->addLayout(cs, 1);

  auto* other = Named<QWidget>("PanelPlcOther");
  auto* otherColumns = new QHBoxLayout(other);
  otherColumns->setContentsMargins(0, 0, 0, 0);
  // Counters and timers have two value columns, the registers one.
  otherColumns->addWidget(counters_, 5);
  otherColumns->addWidget(timers_, 5);
  otherColumns->addWidget(registers_, 4);
  otherColumns->addWidget(dRegisters_, 4);

  auto* page = new QVBoxLayout(this);
  page->addWidget(areas, 3);
  page->addWidget(other, 2);

  std::vector<StringGrid*> grids(bits_.begin(), bits_.end());
  grids.insert(grids.end(), {counters_, timers_, registers_, dRegisters_});
  pass_ = std::make_unique<TGridPass>(this, std::move(grids));
}

void TPlcPage::Attach(TFormMain& frame) {
  frame_ = &frame;
  TInfoObjects& infos = frame.Infos();
  for (std::size_t area = 0; area < infos.PlcBits.size(); ++area)
    infos.PlcBits[area].OnChange = [this, area](TTalvoInfo*) { BitsChange(area); };
  for (std::size_t kind = 0; kind < infos.CountersTimers.size(); ++kind)
    infos.CountersTimers[kind].OnChange = [this, kind](TTalvoInfo*) { CounterTimerChange(kind); };
  infos.PlcRegisters.OnChange = [this](TTalvoInfo*) { RegistersChange(false); };
  infos.PlcBackupRegisters.OnChange = [this](TTalvoInfo*) { RegistersChange(true); };

  dRegisters_->OnCellActivated = [this](int col, int row) {
    if (row >= 1 && col == 1)
      frame_->EditGridValue(EEditHow::DoubleClicked, EEditKind::BackupRegister,
                            dRegisters_->Cell(col, row), 0, row - 1,
                            CellTarget(*dRegisters_, col, row));
  };
  dRegisters_->OnKey = [this](QKeyEvent* event) {
    // Keys without a character (arrows, Enter) keep their meaning in the grid.
    if (event->text().isEmpty() || !event->text()[0].isPrint()) return false;
    frame_->EditGridValue(EEditHow::KeyTyped, EEditKind::BackupRegister, event->text(),
                          dRegisters_->Col(), dRegisters_->Row() - 1,
                          CellTarget(*dRegisters_, dRegisters_->Col(), dRegisters_->Row()));
    return true;
  };
}

void TPlcPage::BitsChange(std::size_t area) {
  const TTalvoInfo_PLCxxBit& bits = frame_->Infos().PlcBits[area];
  StringGrid& grid = *bits_[area];
  pass_->Touch();
  const int first = bits.ChunkStart();
  const int end = std::min(first + TTalvoInfo_PLCxxBit::kChunk, kBitsPerArea);
  for (int i = first; i < end; ++i)
    grid.SetCell(i % kBitsPerRow + 1, i / kBitsPerRow + 1, QString::number(bits.Bit(i)));
}

void TPlcPage::CounterTimerChange(std::size_t kind) {
  // Kinds in order: counter now, counter set, timer now, timer set.
  const TTalvoInfo_PLCCounterTimer& values = frame_->Infos().CountersTimers[kind];
  StringGrid& grid = kind < 2 ? *counters_ : *timers_;
  const int col = kind % 2 == 0 ? 1 : 2;
  pass_->Touch();
  for (int i = 0; i < kCounters; ++i) grid.SetCell(col, i + 1, QString::number(values.Value(i)));
}

void TPlcPage::RegistersChange(bool backup) {
  const TInfoObjects& infos = frame_->Infos();
  const TTalvoInfo_PLCRegister& values = backup ? infos.PlcBackupRegisters : infos.PlcRegisters;
  StringGrid& grid = backup ? *dRegisters_ : *registers_;
  pass_->Touch();
  const int first = values.ChunkStart();
  const int end = std::min(first + TTalvoInfo_PLCRegister::kChunk, kRegisters);
  for (int i = first; i < end; ++i) grid.SetCell(1, i + 1, QString::number(values.Value(i)));
}

void TPlcPage::LoadCaptions(const TLanguage& language) {
  for (std::size_t kind = 0; kind < bits_.size(); ++kind) {
    StringGrid& grid = *bits_[kind];
    grid.BeginUpdate();
    grid.SetCell(0, 0, language.Caption("PLC", kBitAreas[kind].headerKey));
    for (int col = 1; col <= kBitsPerRow; ++col) grid.SetCell(col, 0, QString::number(col - 1));
    grid.EndUpdate();
    LabelRows(grid, 1, kBitRows - 1,
              [](int row) { return QString::asprintf("%03d", (row - 1) * kBitsPerRow); });
  }
  LoadHeaders(*counters_, language, "PLC",
              {"CounterNo_Label", "CounterCurrentValue_Label", "CounterSetValue_Label"});
  LoadHeaders(*timers_, language, "PLC",
              {"TimmerNo_Label", "TimmerCurrentValue_Label", "TimmerSetValue_Label"});
  LoadHeaders(*registers_, language, "PLC", {"RegisterNo_Label", "RegisterValue_Label"});
  LoadHeaders(*dRegisters_, language, "PLC", {"DRegisterNo_Label", "DRegisterValue_Label"});
  for (StringGrid* grid : {counters_, timers_})
    LabelRows(*grid, 1, kCounters, [](int row) { return QString::asprintf("%02d", row - 1); });
  for (StringGrid* grid : {registers_, dRegisters_})
    LabelRows(*grid, 1, kRegisters, [](int row) { return QString::asprintf("%03d", row - 1); });
}

}  // namespace talvo::app
