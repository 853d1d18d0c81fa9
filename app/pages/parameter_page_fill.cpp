// The Parameter page's tables: their texts from the parameter index and the display strings
// at each connection, and the values as the parameter object reads them.
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

#include <array>
#include <string>

#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/pages/parameter_page.h"
#include "app/pages/parameter_tables.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

constexpr int kNumberCol = 0;
constexpr int kGroupCol = 1;
constexpr int kValueCol = 2;
constexpr int kTypeCol = 3;
constexpr int kDescriptionCol = 4;
// Parameters written between two turns of the event loop; the panel counts one per turn.
constexpr int kRowsPerTurn = 20;
constexpr int kDescriptionKeyBase = 20000;

QString Numbered(int n) { return QString::asprintf("%04d", n); }

// Group names 1..11 and activation-type names 1..3 (index 0 unused).
struct TGridNames {
  std::array<QString, kParamGroups + 1> groups;
  std::array<QString, 4> types;
};

TGridNames ReadGridNames(const TLanguage& language) {
  TGridNames names;
  for (int g = 1; g <= kParamGroups; ++g)
    names.groups[static_cast<std::size_t>(g)] =
        language.Caption("Parameter", "SysParamGroup" + std::to_string(g));
  for (int t = 1; t <= 3; ++t)
    names.types[static_cast<std::size_t>(t)] =
        language.Caption("Parameter", "SysParamActiveType" + std::to_string(t));
  return names;
}

}  // namespace

void TParameterPage::ConnectionCompleted() {
  tablesBuilt_ = false;
  const ParamIndex& index = frame_->ParamDescriptors();
  AllGrid()->SetRowCount(1 + kParameterCount);
  for (int sheet = 1; sheet < kSheetCount; ++sheet) {
    const auto range = GroupRange(index, GroupOfSheet(sheet));
    SheetGrid(sheet)->SetRowCount(1 + (range ? range->End - range->First : 0));
  }
  QMetaObject::invokeMethod(this, [this] { BuildParameterTables(); }, Qt::QueuedConnection);
}

void TParameterPage::BuildParameterTables() {
  if (!frame_ || !frame_->Service().GetSessionReady()) return;
  const int generation = ++fillGeneration_;
  tablesBuilt_ = false;
  panelGetParam_->raise();
  panelGetParam_->show();
  if (!FillDescriptions(generation)) return;
  if (!FillGroups()) {
    const QString faulty = frame_->Language().Caption("FileString", "Msg_Param_Index_Data_Error");
    panelGetParam_->setText(faulty);
    ShowMessageBox(this, {{}, faulty, QMessageBox::Warning});
    return;
  }
  panelGetParam_->hide();
  tablesBuilt_ = true;
}

// False when the fill was ended early: the window stopped loading, the page went, or a
// newer fill took over (each checked after the window's events ran).
bool TParameterPage::FillDescriptions(int generation) {
  const QString noUse = frame_->Language().Caption("Parameter", "SysParamNoUse");
  const QString loading = frame_->Language().Caption("Parameter", "SysParamLoading");
  StringGrid& all = *AllGrid();
  QPointer<TParameterPage> alive(this);
  // The grid lies under the panel: it is redrawn once, when the fill ends, not on every turn.
  all.BeginUpdate();
  const auto endUpdate = [&all, grid = QPointer<StringGrid>(&all)] {
    if (grid) all.EndUpdate();
  };
  for (int first = 1; first <= kParameterCount; first += kRowsPerTurn) {
    if (frame_->StopLoading()) {
      endUpdate();
      panelGetParam_->hide();
      return false;
    }
    for (int n = first; n < first + kRowsPerTurn && n <= kParameterCount; ++n) {
      all.SetCell(kNumberCol, n, Numbered(n));
      const QString d = frame_->DisplayStrings().Text(n + kDescriptionKeyBase);
      all.SetCell(kDescriptionCol, n, d.isEmpty() ? noUse : ReduceFirstDoublePercent(d).trimmed());
    }
    panelGetParam_->setText(loading + QString::number(first / kRowsPerTurn + 1) + " %");
    QCoreApplication::processEvents();
    if (!alive || generation != fillGeneration_) {
      endUpdate();
      return false;
    }
  }
  endUpdate();
  return true;
}

// False when the index puts a shown group outside its table or names an unknown
// activation type.
bool TParameterPage::FillGroups() {
  const ParamIndex& index = frame_->ParamDescriptors();
  const TGridNames names = ReadGridNames(frame_->Language());
  StringGrid& all = *AllGrid();
  for (int sheet = 1; sheet < kSheetCount; ++sheet) {
    const int group = GroupOfSheet(sheet);
    const auto range = GroupRange(index, group);
    if (!range) return false;
    StringGrid& grid = *SheetGrid(sheet);
    const QString& groupName = names.groups[static_cast<std::size_t>(group)];
    all.BeginUpdate();
    grid.BeginUpdate();
    for (int j = range->First; j < range->End; ++j) {
      const ParamDescriptor& d = index.Records[static_cast<std::size_t>(j)];
      const int row = j - range->First + 1;
      const int n = d.Number;
      grid.SetCell(kNumberCol, row, Numbered(n));
      all.SetCell(kGroupCol, n, groupName);
      grid.SetCell(kGroupCol, row, groupName);
      if (d.ActiveType < 0 || d.ActiveType > 3) {
        grid.EndUpdate();
        all.EndUpdate();
        return false;
      }
      if (d.ActiveType > 0) {
        const QString& type = names.types[static_cast<std::size_t>(d.ActiveType)];
        all.SetCell(kTypeCol, n, type);
        grid.SetCell(kTypeCol, row, type);
      }
      grid.SetCell(kDescriptionCol, row, all.Cell(kDescriptionCol, n));
    }
    grid.EndUpdate();
    all.EndUpdate();
  }
  return true;
}

void TParameterPage::SharedInfoChanged(TTalvoInfo& info) {
  if (!frame_ || &info != &frame_->Infos().Parameter) return;
  // While a new connection waits for its key parameters the values are not shown.
  if (frame_->Activity() == maParamStart || frame_->Activity() == maParamWait) return;
  ShowValues(frame_->Infos().Parameter);
}

void TParameterPage::ShowValues(const TTalvoInfo_Parameter& values) {
  const int f = values.ChunkStart();
  const int last = std::min(f + TTalvoInfo_Parameter::kChunk, kParameterCount);
  StringGrid& all = *AllGrid();
  all.BeginUpdate();
  for (int i = f; i < last; ++i) all.SetCell(kValueCol, i + 1, QString::number(values.Value(i)));
  all.EndUpdate();
  const ParamIndex& index = frame_->ParamDescriptors();
  for (int sheet = 1; sheet < kSheetCount; ++sheet) {
    const auto range = GroupRange(index, GroupOfSheet(sheet));
    if (!range) continue;
    StringGrid& grid = *SheetGrid(sheet);
    grid.BeginUpdate();
    for (int j = range->First; j < range->End; ++j) {
      const int n = index.Records[static_cast<std::size_t>(j)].Number;
      if (n > f && n <= f + TTalvoInfo_Parameter::kChunk)
        grid.SetCell(kValueCol, j - range->First + 1, QString::number(values.Value(n - 1)));
    }
    grid.EndUpdate();
  }
}

}  // namespace talvo::app
