#include "app/pages/page_controls.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/language/language.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {

ValueText* NewValueField(const char* name, const QString& text) {
  auto* field = Named<ValueText>(name, text);
  field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  field->setAutoFillBackground(true);
  QPalette palette = field->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
  field->setPalette(palette);
  field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  field->setMinimumWidth(80);
  field->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  return field;
}

StringGrid* NewSizedGrid(const char* name, int rows, std::initializer_list<int> widths) {
  auto* grid = Named<StringGrid>(name);
  grid->SetColCount(static_cast<int>(widths.size()));
  grid->SetRowCount(rows);
  int col = 0;
  for (int width : widths) grid->SetColWidth(col++, width);
  grid->horizontalHeader()->setStretchLastSection(true);
  return grid;
}

void ShareWidth(StringGrid& grid) {
  grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void LoadHeaders(StringGrid& grid, const TLanguage& language, const char* section,
                 std::initializer_list<const char*> keys) {
  int col = 0;
  for (const char* key : keys) grid.SetCell(col++, 0, language.Caption(section, key));
}

void LabelRows(StringGrid& grid, int first, int last,
               const std::function<QString(int row)>& label) {
  grid.BeginUpdate();
  for (int row = first; row <= last; ++row) grid.SetCell(0, row, label(row));
  grid.EndUpdate();
}

void FitHeightToRows(StringGrid& grid) {
  const int body = grid.verticalHeader()->defaultSectionSize() * (grid.RowCount() - 1);
  const int header = grid.horizontalHeader()->sizeHint().height();
  grid.setFixedHeight(body + header + 2 * grid.frameWidth());
  grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QVBoxLayout* AddFormColumn(QWidget& page) {
  auto* columns = new QHBoxLayout(&page);
  auto* form = new QVBoxLayout;
  columns->addLayout(form, 3);
  columns->addStretch(1);
  return form;
}

TFolderRow AddFolderRow(QGridLayout& form, int row, const char* label, const char* edit,
                        const char* button) {
  TFolderRow folder{Named<QLabel>(label), Named<QLineEdit>(edit),
                    Named<QPushButton>(button, "...")};
  folder.edit->setReadOnly(true);
  folder.button->setFixedWidth(36);
  form.addWidget(folder.label, row, 0);
  form.addWidget(folder.edit, row, 1);
  form.addWidget(folder.button, row, 2);
  return folder;
}

QPushButton* NewJobButton(const char* name) {
  auto* button = Named<QPushButton>(name);
  button->setMinimumSize(140, 32);
  return button;
}

TProgressRow AddProgressRow(QBoxLayout& layout, const char* fileName, const char* bar,
                            const char* percentage) {
  TProgressRow row{fileName ? Named<QLabel>(fileName) : nullptr, Named<QProgressBar>(bar),
                   Named<ValueText>(percentage, "0%")};
  row.bar->setRange(0, 100);
  row.bar->setValue(0);
  row.bar->setTextVisible(false);
  row.percentage->setMinimumWidth(row.percentage->fontMetrics().horizontalAdvance("100%") + 8);
  row.percentage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* line = new QHBoxLayout;
  line->addWidget(row.bar, 1);
  line->addWidget(row.percentage);
  if (row.fileName) layout.addWidget(row.fileName);
  layout.addLayout(line);
  return row;
}

}  // namespace talvo::app
