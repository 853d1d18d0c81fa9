// Building blocks the pages share: named controls, grids with their fixed labels, and the
// rows of a file-job page (a PC folder, the progress of the job).
#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <utility>

#include "app/widgets/value_text.h"

class QBoxLayout;
class QGridLayout;
class QVBoxLayout;
class QWidget;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace talvo::app {

class StringGrid;
class TLanguage;

// A control of type W, built with `args`, named `name`; its parent comes with its layout.
template <class W, class... Args>
W* Named(const char* name, Args&&... args) {
  auto* widget = new W(std::forward<Args>(args)...);
  widget->setObjectName(name);
  return widget;
}

// A sunken, read-only field that shows a value from the controller, named `name`.
ValueText* NewValueField(const char* name, const QString& text = {});

// A grid with a fixed header row and a fixed label column, `rows` rows counted with the
// header, one column per width. The last column takes what room is left, so the grid
// never shows an empty band on its right.
StringGrid* NewSizedGrid(const char* name, int rows, std::initializer_list<int> widths);
// The columns after the label column share the grid's width evenly (none narrower than
// the header's minimum, which follows the narrowest width given).
void ShareWidth(StringGrid& grid);
// Header row texts from `section`, one key per column, the label column's first.
void LoadHeaders(StringGrid& grid, const TLanguage& language, const char* section,
                 std::initializer_list<const char*> keys);
// Labels of rows first..last of the label column.
void LabelRows(StringGrid& grid, int first, int last, const std::function<QString(int row)>& label);
// Height that shows every row without a scroll bar (for grids of a few fixed rows).
void FitHeightToRows(StringGrid& grid);

// The column a form-like page lays its controls in: three quarters of the page's width
// from the left, so captions, fields and buttons stay close together on a wide screen.
QVBoxLayout* AddFormColumn(QWidget& page);

// A read-only PC folder in row `row` of `form`: its caption, the folder, and a "..." button
// that picks another.
struct TFolderRow {
  QLabel* label;
  QLineEdit* edit;
  QPushButton* button;
};
TFolderRow AddFolderRow(QGridLayout& form, int row, const char* label, const char* edit,
                        const char* button);
// A button that starts a file job: larger than the small tool buttons.
QPushButton* NewJobButton(const char* name);

// A file job's progress: the file under way (when `fileName` is given), a 0..100 bar and
// its percentage ("0%").
struct TProgressRow {
  QLabel* fileName;
  QProgressBar* bar;
  ValueText* percentage;
};
TProgressRow AddProgressRow(QBoxLayout& layout, const char* fileName, const char* bar,
                            const char* percentage);

}  // namespace talvo::app
