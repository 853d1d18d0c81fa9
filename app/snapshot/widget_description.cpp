#include "app/snapshot/widget_description.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSaveFile>
#include <QSpinBox>
#include <QTableView>
#include <QTextEdit>
#include <QTreeView>

#include <optional>
#include <vector>

#include "app/widgets/lamp.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/value_text.h"

namespace talvo::app {
namespace {

// Our widgets carry no meta-object of their own, so Qt would call them by their base class.
QString ClassName(const QWidget* widget) {
  if (dynamic_cast<const StringGrid*>(widget)) return "StringGrid";
  if (dynamic_cast<const Lamp*>(widget)) return "Lamp";
  if (dynamic_cast<const ValueText*>(widget)) return "ValueText";
  return widget->metaObject()->className();
}

std::optional<QString> Text(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* value = dynamic_cast<const ValueText*>(widget)) return value->text();
  if (auto* edit = qobject_cast<const QLineEdit*>(widget))
    // A password must not leave the machine in a support ticket: give what the screen shows.
    return edit->echoMode() == QLineEdit::Normal ? edit->text() : edit->displayText();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* box = qobject_cast<const QGroupBox*>(widget)) return box->title();
  if (auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
  if (auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) return edit->toPlainText();
  if (auto* edit = qobject_cast<const QTextEdit*>(widget)) return edit->toPlainText();
  if (auto* spin = qobject_cast<const QAbstractSpinBox*>(widget)) return spin->text();
  return std::nullopt;
}

std::optional<bool> Checked(const QWidget* widget) {
  if (auto* button = qobject_cast<const QAbstractButton*>(widget); button && button->isCheckable())
    return button->isChecked();
  if (auto* box = qobject_cast<const QGroupBox*>(widget); box && box->isCheckable())
    return box->isChecked();
  return std::nullopt;
}

std::optional<int> Value(const QWidget* widget) {
  if (auto* bar = qobject_cast<const QProgressBar*>(widget)) return bar->value();
  if (auto* slider = qobject_cast<const QAbstractSlider*>(widget)) return slider->value();
  if (auto* spin = qobject_cast<const QSpinBox*>(widget)) return spin->value();
  return std::nullopt;
}

// Lamps, and the widgets whose colour the program states in their "color" property.
std::optional<QColor> Color(const QWidget* widget) {
  if (auto* lamp = dynamic_cast<const Lamp*>(widget)) return lamp->Color();
  const QVariant property = widget->property("color");
  if (!property.isValid()) return std::nullopt;
  const QColor color = property.value<QColor>();
  return color.isValid() ? std::optional(color) : std::nullopt;
}

QJsonObject Grid(int cols, const QJsonArray& cells) {
  return {{"rows", static_cast<int>(cells.size())}, {"cols", cols}, {"cells", cells}};
}

QJsonObject DescribeStringGrid(const StringGrid& grid) {
  QJsonArray cells;
  for (int row = 0; row < grid.RowCount(); ++row) {
    QJsonArray line;
    for (int col = 0; col < grid.ColCount(); ++col) line.append(grid.Cell(col, row));
    cells.append(line);
  }
  return Grid(grid.ColCount(), cells);
}

// Logical sections in the order the header shows them, hidden ones left out.
std::vector<int> ShownSections(const QHeaderView& header) {
  std::vector<int> sections;
  for (int visual = 0; visual < header.count(); ++visual) {
    const int logical = header.logicalIndex(visual);
    if (!header.isSectionHidden(logical)) sections.push_back(logical);
  }
  return sections;
}

// Which rows and columns of a view's model appear, in screen order, and which headers show.
struct ShownLayout {
  std::vector<int> rows;
  std::vector<int> cols;
  bool headerRow = false;
  bool headerCol = false;
};

QJsonObject Tabulate(const QAbstractItemModel& model, const QModelIndex& root,
                     const ShownLayout& shown) {
  const auto text = [&](int row, int col) {
    return model.data(model.index(row, col, root), Qt::DisplayRole).toString();
  };
  const auto header = [&](int section, Qt::Orientation orientation) {
    return model.headerData(section, orientation, Qt::DisplayRole).toString();
  };
  QJsonArray cells;
  if (shown.headerRow) {
    QJsonArray line;
    if (shown.headerCol) line.append(QString());
    for (int col : shown.cols) line.append(header(col, Qt::Horizontal));
    cells.append(line);
  }
  for (int row : shown.rows) {
    QJsonArray line;
    if (shown.headerCol) line.append(header(row, Qt::Vertical));
    for (int col : shown.cols) line.append(text(row, col));
    cells.append(line);
  }
  return Grid(static_cast<int>(shown.cols.size()) + (shown.headerCol ? 1 : 0), cells);
}

ShownLayout Shown(const QAbstractItemView& view, const QAbstractItemModel& model) {
  ShownLayout shown;
  if (auto* table = qobject_cast<const QTableView*>(&view)) {
    shown.rows = ShownSections(*table->verticalHeader());
    shown.cols = ShownSections(*table->horizontalHeader());
    shown.headerRow = !table->horizontalHeader()->isHidden();
    shown.headerCol = !table->verticalHeader()->isHidden();
    return shown;
  }
  auto* tree = qobject_cast<const QTreeView*>(&view);
  auto* list = qobject_cast<const QListView*>(&view);
  const QModelIndex root = view.rootIndex();
  for (int row = 0; row < model.rowCount(root); ++row)
    if (!(tree && tree->isRowHidden(row, root)) && !(list && list->isRowHidden(row)))
      shown.rows.push_back(row);
  if (tree) {
    shown.cols = ShownSections(*tree->header());
    shown.headerRow = !tree->header()->isHidden();
  } else if (list) {
    shown.cols = {list->modelColumn()};
  }
  return shown;
}

struct NamedWidget {
  const QWidget* widget;
  QString path;  // named containers below root and the widget's own name, joined by '/'
};

bool Listed(const QWidget& widget) {
  const QString name = widget.objectName();
  return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// Depth first in child order, which is creation order: the same tree gives the same keys.
void Collect(const QWidget& parent, const QString& containers, const QWidget* exclude,
             std::vector<NamedWidget>& found) {
  for (const QObject* child : parent.children()) {
    auto* widget = qobject_cast<const QWidget*>(child);
    // Dialogs and popups owned by the window are windows of their own, not part of it.
    if (!widget || widget == exclude || widget->isWindow()) continue;
    QString path = containers;
    if (Listed(*widget)) {
      path = containers.isEmpty() ? widget->objectName()
                                  : containers + '/' + widget->objectName();
      found.push_back({widget, path});
    }
    if (!IsGrid(widget)) Collect(*widget, path, exclude, found);
  }
}

// The plain name where it is unique below root. Where the name repeats, the nearest named
// container whose own name is unique and the name ("Coord1_ABS/Pos1", however deep the box
// keeps its rows), or the whole path when no container is unique; numbered where even
// that repeats.
std::vector<QString> Keys(const std::vector<NamedWidget>& found) {
  QHash<QString, int> nameCount;
  for (const auto& named : found) ++nameCount[named.widget->objectName()];
  auto repeatedKey = [&](const NamedWidget& named) {
    const QStringList parts = named.path.split('/');
    for (auto i = parts.size() - 1; i-- > 0;)
      if (nameCount[parts[i]] == 1) return parts[i] + '/' + parts.back();
    return named.path;
  };
  std::vector<QString> keys;
  QHash<QString, int> keyCount;
  for (const auto& named : found) {
    const QString name = named.widget->objectName();
    keys.push_back(nameCount[name] > 1 ? repeatedKey(named) : name);
    ++keyCount[keys.back()];
  }
  QHash<QString, int> numbered;
  for (QString& key : keys)
    if (keyCount[key] > 1) key += '#' + QString::number(++numbered[key]);
  return keys;
}

}  // namespace

QJsonObject DescribeItem(const QWidget* widget, const QWidget* relativeTo) {
  QJsonObject item{{"class", ClassName(widget)},
                   {"visible", widget->isVisibleTo(relativeTo)},
                   {"enabled", widget->isEnabled()}};
  if (const auto text = Text(widget)) item["text"] = *text;
  if (const auto checked = Checked(widget)) item["checked"] = *checked;
  if (const auto value = Value(widget)) item["value"] = *value;
  if (const auto color = Color(widget)) item["color"] = color->name(QColor::HexRgb);
  return item;
}

bool IsGrid(const QWidget* widget) {
  return qobject_cast<const QTableView*>(widget) || qobject_cast<const QTreeView*>(widget) ||
         qobject_cast<const QListView*>(widget);
}

QJsonObject DescribeGrid(const QWidget* widget) {
  if (auto* grid = dynamic_cast<const StringGrid*>(widget)) return DescribeStringGrid(*grid);
  auto* view = qobject_cast<const QAbstractItemView*>(widget);
  if (!view || !IsGrid(view)) return {};
  if (!view->model()) return Grid(0, {});
  return Tabulate(*view->model(), view->rootIndex(), Shown(*view, *view->model()));
}

void DescribeNamed(const QWidget* root, const QWidget* relativeTo, QJsonObject& items,
                   QJsonObject& grids, const QWidget* exclude) {
  std::vector<NamedWidget> found;
  Collect(*root, QString(), exclude, found);
  const std::vector<QString> keys = Keys(found);
  for (std::size_t i = 0; i < found.size(); ++i) {
    const QWidget* widget = found[i].widget;
    if (IsGrid(widget)) {
      // A hidden lathe grid and the milling grid shown beside it differ only in these.
      QJsonObject grid = DescribeGrid(widget);
      grid["visible"] = widget->isVisibleTo(relativeTo);
      grid["enabled"] = widget->isEnabled();
      grids[keys[i]] = grid;
    } else
      items[keys[i]] = DescribeItem(widget, relativeTo);
  }
}

bool WriteSnapshotJson(const QString& path, const QJsonObject& document) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = QJsonDocument(document).toJson(QJsonDocument::Indented);
  return file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace talvo::app
