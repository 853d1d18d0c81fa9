// StringGrid: the program's one grid of texts, addressed by column and row as the pages
// think of them. Row 0 and column 0 can be fixed: they become the view's headers, so they
// stay in place while the rest scrolls. A model/view pair keeps a 2001-row or 307-column
// grid as cheap as the cells on screen. Changes made inside BeginUpdate/EndUpdate reach the
// view as one reset or one changed range, so a page refresh repaints once.
#pragma once

#include <QTableView>

#include <functional>
#include <vector>

namespace talvo::app {

class StringGridModel;

class StringGrid : public QTableView {
 public:
  explicit StringGrid(QWidget* parent = nullptr);
  ~StringGrid() override;

  int ColCount() const;
  int RowCount() const;
  void SetColCount(int count);
  void SetRowCount(int count);
  int FixedCols() const;
  int FixedRows() const;
  // 0 or 1 each.
  void SetFixedCols(int count);
  void SetFixedRows(int count);

  QString Cell(int col, int row) const;
  void SetCell(int col, int row, const QString& text);
  // Column widths in pixels; the fixed column is the row header.
  void SetColWidth(int col, int width);
  void SetDefaultColWidth(int width);
  void SetDefaultRowHeight(int height);

  void BeginUpdate();
  void EndUpdate();

  // The current cell in grid coordinates (fixed rows and columns counted).
  int Col() const;
  int Row() const;
  void SetCurrentCell(int col, int row);
  // The first scrollable row shown at the top.
  int TopRow() const;
  void SetTopRow(int row);
  // Whether the user may type into the cells (the cell's text changes, OnEdited follows).
  void SetEditable(bool editable);

  // A double click, or Enter, on a cell that is not fixed.
  std::function<void(int col, int row)> OnCellActivated;
  // A key typed into a cell that is not fixed, before the view sees it; true swallows it.
  std::function<bool(QKeyEvent* event)> OnKey;
  std::function<void(int col, int row)> OnEdited;
  std::function<void(int col, int row)> OnSelectCell;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ApplyFixed();
  QModelIndex ModelIndex(int col, int row) const;

  StringGridModel* model_;
};

}  // namespace talvo::app
