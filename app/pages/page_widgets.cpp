#include "app/pages/page_widgets.h"

#include "app/widgets/string_grid.h"

namespace talvo::app {

QLabel* NewCaption(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QLabel* NewValueField(QWidget* parent, const char* name, const QString& text) {
  auto* field = new QLabel(text, parent);
  field->setObjectName(name);
  field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  field->setAutoFillBackground(true);
  QPalette palette = field->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
  field->setPalette(palette);
  field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  field->setMinimumWidth(80);
  field->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return field;
}

QGroupBox* NewGroupBox(QWidget* parent, const char* name) {
  auto* box = new QGroupBox(parent);
  box->setObjectName(name);
  return box;
}

StringGrid* NewGrid(QWidget* parent, const char* name, int cols, int rows, int fixedCols) {
  auto* grid = new StringGrid(parent);
  grid->setObjectName(name);
  grid->SetFixedCols(fixedCols);
  grid->SetFixedRows(1);
  grid->SetColCount(cols);
  grid->SetRowCount(rows);
  return grid;
}

QString Numbered(const char* format, int value) { return QString::asprintf(format, value); }

}  // namespace talvo::app
