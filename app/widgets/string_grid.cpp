#include "app/widgets/string_grid.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include <algorithm>

namespace talvo::app {

// All cells, fixed ones included; the view sees the fixed row and column as header data.
class StringGridModel : public QAbstractTableModel {
 public:
  int cols = 5;
  int rows = 5;
  int fixedCols = 1;
  int fixedRows = 1;
  bool editable = false;
  std::function<void(int, int)> onEdited;

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : std::max(0, rows - fixedRows);
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : std::max(0, cols - fixedCols);
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return Cell(index.column() + fixedCols, index.row() + fixedRows);
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
      return fixedRows ? Cell(section + fixedCols, 0) : QVariant();
    return fixedCols ? Cell(0, section + fixedRows) : QVariant();
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    auto f = QAbstractTableModel::flags(index);
    return editable ? f | Qt::ItemIsEditable : f;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole || !index.isValid()) return false;
    const int col = index.column() + fixedCols;
    const int row = index.row() + fixedRows;
    Store(col, row, value.toString());
    emit dataChanged(index, index);
    if (onEdited) onEdited(col, row);
    return true;
  }

  QString Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols || row >= rows) return {};
    return cells_[At(col, row)];
  }
  void Store(int col, int row, const QString& text) { cells_[At(col, row)] = text; }
  // New shape. Storage only grows, so cells cut off by a smaller shape come back with a
  // larger one: a grid shaped for a lathe and then for a milling machine keeps its labels.
  void Reshape(int newCols, int newRows) {
    if (newCols > storedCols_ || newRows > storedRows_) {
      const int keptCols = std::max(storedCols_, newCols);
      const int keptRows = std::max(storedRows_, newRows);
      std::vector<QString> cells(static_cast<std::size_t>(keptCols) * keptRows);
      for (int r = 0; r < storedRows_; ++r)
        for (int c = 0; c < storedCols_; ++c)
          cells[static_cast<std::size_t>(r) * keptCols + c] = std::move(cells_[At(c, r)]);
      cells_.swap(cells);
      storedCols_ = keptCols;
      storedRows_ = keptRows;
    }
    cols = newCols;
    rows = newRows;
  }

  // Update bracket: what changed while it was open.
  int depth = 0;
  bool reset = false;
  int minCol = 0, maxCol = -1, minRow = 0, maxRow = -1;
  bool headerChanged = false;

  void BeginReshape() {
    if (depth == 0) beginResetModel();
    else reset = true;
  }
  void EndReshape() {
    if (depth == 0) endResetModel();
  }
  void Changed(int col, int row) {
    if (col < fixedCols || row < fixedRows) {
      if (depth == 0) Announce(col, row, col, row, true);
      else headerChanged = true;
      return;
    }
    if (depth == 0) {
      Announce(col, row, col, row, false);
      return;
    }
    if (maxCol < minCol) {
      minCol = maxCol = col;
      minRow = maxRow = row;
    } else {
      minCol = std::min(minCol, col);
      maxCol = std::max(maxCol, col);
      minRow = std::min(minRow, row);
      maxRow = std::max(maxRow, row);
    }
  }
  void Flush() {
    if (reset) {
      beginResetModel();
      endResetModel();
    } else {
      if (maxCol >= minCol) Announce(minCol, minRow, maxCol, maxRow, false);
      if (headerChanged) Announce(0, 0, cols - 1, rows - 1, true);
    }
    reset = headerChanged = false;
    maxCol = maxRow = -1;
  }

 private:
  void Announce(int c0, int r0, int c1, int r1, bool header) {
    if (header) {
      if (fixedRows && r0 == 0 && cols > fixedCols)
        emit headerDataChanged(Qt::Horizontal, 0, cols - fixedCols - 1);
      if (fixedCols && c0 == 0 && rows > fixedRows)
        emit headerDataChanged(Qt::Vertical, 0, rows - fixedRows - 1);
      return;
    }
    emit dataChanged(index(r0 - fixedRows, c0 - fixedCols), index(r1 - fixedRows, c1 - fixedCols),
                     {Qt::DisplayRole});
  }

  std::size_t At(int col, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(storedCols_) +
           static_cast<std::size_t>(col);
  }

  int storedCols_ = 5;
  int storedRows_ = 5;
  std::vector<QString> cells_ = std::vector<QString>(25);
};

// Cell (0, 0) belongs to the fixed row and the fixed column at once, so neither header
// shows it; the view's corner does, drawn as one more header section.
class CornerCaption : public QObject {
 public:
  CornerCaption(QAbstractButton* corner, const StringGridModel* model)
      : QObject(corner), model_(model) {
    corner->installEventFilter(this);
    const auto repaint = [corner] { corner->update(); };
    connect(model, &QAbstractItemModel::headerDataChanged, corner, repaint);
    connect(model, &QAbstractItemModel::modelReset, corner, repaint);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    auto* corner = static_cast<QWidget*>(watched);
    QStyleOptionHeader option;
    // The corner is a disabled button (it must not select the whole grid); its caption
    // takes the grid's state, so it reads like the headers beside it.
    option.initFrom(corner->parentWidget());
    option.rect = corner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.textAlignment = Qt::AlignCenter;
    option.state |= QStyle::State_Raised;
    option.text = model_->Cell(0, 0);
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
    return true;
  }

 private:
  const StringGridModel* model_;
};

StringGrid::StringGrid(QWidget* parent) : QTableView(parent), model_(new StringGridModel) {
  model_->setParent(this);
  setModel(model_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(22);
  verticalHeader()->setHighlightSections(false);
  model_->onEdited = [this](int col, int row) {
    if (OnEdited) OnEdited(col, row);
  };
  connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (OnCellActivated) OnCellActivated(index.column() + FixedCols(), index.row() + FixedRows());
  });
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid() && OnSelectCell)
              OnSelectCell(current.column() + FixedCols(), current.row() + FixedRows());
          });
  setCornerButtonEnabled(false);
  if (auto* corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
    new CornerCaption(corner, model_);
  ApplyFixed();
}

StringGrid::~StringGrid() = default;

int StringGrid::ColCount() const { return model_->cols; }
int StringGrid::RowCount() const { return model_->rows; }
int StringGrid::FixedCols() const { return model_->fixedCols; }
int StringGrid::FixedRows() const { return model_->fixedRows; }

void StringGrid::SetColCount(int count) {
  count = std::max(count, model_->fixedCols);
  if (count == model_->cols) return;
  model_->BeginReshape();
  model_->Reshape(count, model_->rows);
  model_->EndReshape();
}

void StringGrid::SetRowCount(int count) {
  count = std::max(count, model_->fixedRows);
  if (count == model_->rows) return;
  model_->BeginReshape();
  model_->Reshape(model_->cols, count);
  model_->EndReshape();
}

void StringGrid::SetFixedCols(int count) {
  model_->BeginReshape();
  model_->fixedCols = std::clamp(count, 0, 1);
  model_->EndReshape();
  ApplyFixed();
}

void StringGrid::SetFixedRows(int count) {
  model_->BeginReshape();
  model_->fixedRows = std::clamp(count, 0, 1);
  model_->EndReshape();
  ApplyFixed();
}

void StringGrid::ApplyFixed() {
  horizontalHeader()->setVisible(model_->fixedRows > 0);
  verticalHeader()->setVisible(model_->fixedCols > 0);
}

QString StringGrid::Cell(int col, int row) const { return model_->Cell(col, row); }

void StringGrid::SetCell(int col, int row, const QString& text) {
  if (col < 0 || row < 0 || col >= model_->cols || row >= model_->rows) return;
  if (model_->Cell(col, row) == text) return;
  model_->Store(col, row, text);
  model_->Changed(col, row);
}

void StringGrid::SetColWidth(int col, int width) {
  if (col < model_->fixedCols) {
    verticalHeader()->setFixedWidth(width);
    return;
  }
  // The header's own minimum follows its font and would widen a narrow column silently.
  QHeaderView& header = *horizontalHeader();
  if (width < header.minimumSectionSize()) header.setMinimumSectionSize(width);
  header.resizeSection(col - model_->fixedCols, width);
}

void StringGrid::SetDefaultColWidth(int width) {
  horizontalHeader()->setDefaultSectionSize(width);
}

void StringGrid::SetDefaultRowHeight(int height) {
  verticalHeader()->setDefaultSectionSize(height);
}

void StringGrid::BeginUpdate() { ++model_->depth; }

void StringGrid::EndUpdate() {
  if (model_->depth == 0) return;
  if (--model_->depth == 0) model_->Flush();
}

QModelIndex StringGrid::ModelIndex(int col, int row) const {
  return model_->index(row - model_->fixedRows, col - model_->fixedCols);
}

int StringGrid::Col() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.column() + model_->fixedCols : model_->fixedCols;
}

int StringGrid::Row() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() + model_->fixedRows : model_->fixedRows;
}

void StringGrid::SetCurrentCell(int col, int row) {
  const QModelIndex index = ModelIndex(col, row);
  if (!index.isValid()) return;
  setCurrentIndex(index);
  scrollTo(index);
}

int StringGrid::TopRow() const { return rowAt(0) + model_->fixedRows; }

void StringGrid::SetTopRow(int row) {
  const QModelIndex index = ModelIndex(std::max(Col(), model_->fixedCols), row);
  if (index.isValid()) scrollTo(index, QAbstractItemView::PositionAtTop);
}

void StringGrid::SetEditable(bool editable) {
  model_->editable = editable;
  setEditTriggers(editable ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::DoubleClicked
                           : QAbstractItemView::NoEditTriggers);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
  if (OnKey && OnKey(event)) return;
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !model_->editable &&
      currentIndex().isValid() && OnCellActivated) {
    OnCellActivated(Col(), Row());
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace talvo::app
