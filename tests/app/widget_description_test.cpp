// The window as data: items, grids and their keys as a --snapshot run writes them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <functional>
#include <utility>
#include <string>

#include "app/snapshot/widget_description.h"
#include "app/widgets/lamp.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

// Compact JSON with sorted keys, so a mismatch prints as readable text.
std::string Compact(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::string Compact(const char* json) {
  const QJsonDocument document = QJsonDocument::fromJson(json);
  EXPECT_TRUE(document.isObject()) << "expected JSON does not parse: " << json;
  return Compact(document.object());
}

template <typename W, typename... Args>
W* Named(QWidget* parent, const char* name, Args&&... args) {
  auto* widget = new W(std::forward<Args>(args)..., parent);
  widget->setObjectName(name);
  return widget;
}

struct ItemCase {
  const char* what;
  std::function<QWidget*(QWidget* page)> make;
  const char* expected;
};

TEST(DescribeItem, EachKindGivesTheKeysThatApplyToIt) {
  const ItemCase cases[] = {
      {"plain widget", [](QWidget* p) { return new QWidget(p); },
       R"({"class":"QWidget","visible":true,"enabled":true})"},
      {"label",
       [](QWidget* p) { return new QLabel("Ready", p); },
       R"({"class":"QLabel","visible":true,"enabled":true,"text":"Ready"})"},
      {"disabled push button has no checked state",
       [](QWidget* p) {
         auto* button = new QPushButton("Connect", p);
         button->setEnabled(false);
         return button;
       },
       R"({"class":"QPushButton","visible":true,"enabled":false,"text":"Connect"})"},
      {"checkable push button",
       [](QWidget* p) {
         auto* button = new QPushButton("Hold", p);
         button->setCheckable(true);
         return button;
       },
       R"({"class":"QPushButton","visible":true,"enabled":true,"text":"Hold","checked":false})"},
      {"check box",
       [](QWidget* p) {
         auto* box = new QCheckBox("Reconnect", p);
         box->setChecked(true);
         return box;
       },
       R"({"class":"QCheckBox","visible":true,"enabled":true,"text":"Reconnect","checked":true})"},
      {"coloured checkable group box",
       [](QWidget* p) {
         auto* box = new QGroupBox("Spindle", p);
         box->setCheckable(true);
         box->setChecked(false);
         box->setProperty("color", QColor(0, 128, 0));
         return box;
       },
       R"({"class":"QGroupBox","visible":true,"enabled":true,"text":"Spindle","checked":false,
           "color":"#008000"})"},
      {"a color property that is no colour is left out",
       [](QWidget* p) {
         auto* box = new QGroupBox("Feed", p);
         box->setProperty("color", QColor());
         return box;
       },
       R"({"class":"QGroupBox","visible":true,"enabled":true,"text":"Feed"})"},
      {"lamp by its own class name",
       [](QWidget* p) { return new Lamp(colors::kBrightGreen, p); },
       R"({"class":"Lamp","visible":true,"enabled":true,"color":"#00ff00"})"},
      {"progress bar",
       [](QWidget* p) {
         auto* bar = new QProgressBar(p);
         bar->setValue(40);
         return bar;
       },
       R"({"class":"QProgressBar","visible":true,"enabled":true,"value":40})"},
      {"spin box",
       [](QWidget* p) {
         auto* spin = new QSpinBox(p);
         spin->setValue(7);
         return spin;
       },
       R"({"class":"QSpinBox","visible":true,"enabled":true,"text":"7","value":7})"},
      {"combo box by its current text",
       [](QWidget* p) {
         auto* combo = new QComboBox(p);
         combo->addItems({"English", "Chinese"});
         combo->setCurrentIndex(1);
         return combo;
       },
       R"({"class":"QComboBox","visible":true,"enabled":true,"text":"Chinese"})"},
      {"line edit",
       [](QWidget* p) { return new QLineEdit("192.168.0.5", p); },
       R"({"class":"QLineEdit","visible":true,"enabled":true,"text":"192.168.0.5"})"},
      {"plain text edit",
       [](QWidget* p) { return new QPlainTextEdit("line 1\nline 2", p); },
       R"({"class":"QPlainTextEdit","visible":true,"enabled":true,"text":"line 1\nline 2"})"},
      {"hidden label",
       [](QWidget* p) {
         auto* label = new QLabel("Alarm", p);
         label->hide();
         return label;
       },
       R"({"class":"QLabel","visible":false,"enabled":true,"text":"Alarm"})"},
      {"label inside a hidden container",
       [](QWidget* p) {
         auto* box = new QWidget(p);
         box->hide();
         return new QLabel("Warning", box);
       },
       R"({"class":"QLabel","visible":false,"enabled":true,"text":"Warning"})"},
      {"label inside a disabled container",
       [](QWidget* p) {
         auto* box = new QWidget(p);
         box->setEnabled(false);
         return new QLabel("X", box);
       },
       R"({"class":"QLabel","visible":true,"enabled":false,"text":"X"})"},
  };
  for (const auto& c : cases) {
    QWidget page;
    const QWidget* widget = c.make(&page);
    EXPECT_EQ(Compact(DescribeItem(widget, &page)), Compact(c.expected)) << c.what;
  }
}

TEST(DescribeItem, PasswordLeavesOnlyWhatTheScreenShows) {
  QWidget page;
  auto* edit = new QLineEdit("secret", &page);
  edit->setEchoMode(QLineEdit::Password);
  const QString text = DescribeItem(edit, &page)["text"].toString();
  EXPECT_EQ(text, edit->displayText());
  EXPECT_EQ(text.size(), 6);
  EXPECT_FALSE(text.contains("secret"));
}

TEST(DescribeItem, VisibleIsAsSeenWhileThePageIsCurrent) {
  QTabWidget tabs;
  auto* first = new QWidget;
  auto* second = new QWidget;
  auto* shown = new QLabel("shown", second);
  auto* hidden = new QLabel("hidden", second);
  hidden->hide();
  tabs.addTab(first, "One");
  tabs.addTab(second, "Two");
  tabs.show();
  ASSERT_FALSE(shown->isVisible()) << "the page behind the current one is hidden by the tabs";
  EXPECT_TRUE(DescribeItem(shown, second)["visible"].toBool());
  EXPECT_FALSE(DescribeItem(hidden, second)["visible"].toBool());
  EXPECT_FALSE(DescribeItem(shown, &tabs)["visible"].toBool())
      << "relative to the window, a page that is not current is out of sight";
}

TEST(DescribeGrid, StringGridGivesEveryCellWithItsFixedRowAndColumn) {
  StringGrid grid;
  grid.SetColCount(3);
  grid.SetRowCount(3);
  const char* texts[3][3] = {{"No.", "Value", "Unit"}, {"1", "100", "mm"}, {"2", "", "s"}};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) grid.SetCell(col, row, texts[row][col]);
  EXPECT_TRUE(IsGrid(&grid));
  EXPECT_EQ(Compact(DescribeGrid(&grid)),
            Compact(R"({"rows":3,"cols":3,"cells":[["No.","Value","Unit"],["1","100","mm"],
                       ["2","","s"]]})"));

  grid.SetFixedCols(0);
  grid.SetFixedRows(0);
  grid.SetRowCount(1);
  EXPECT_EQ(Compact(DescribeGrid(&grid)),
            Compact(R"({"rows":1,"cols":3,"cells":[["No.","Value","Unit"]]})"));
}

TEST(DescribeGrid, TreeGivesItsHeaderAndTopLevelRowsAsShown) {
  QTreeWidget tree;
  tree.setHeaderLabels({"Name", "Size", "Date"});
  auto* folder = new QTreeWidgetItem(&tree, QStringList{"PROG", "", "2024-01-02"});
  new QTreeWidgetItem(folder, QStringList{"O0001", "120", "2024-01-01"});
  new QTreeWidgetItem(&tree, QStringList{"O0002", "64", "2024-01-03"});
  new QTreeWidgetItem(&tree, QStringList{"HIDDEN", "1", "-"});
  tree.setRowHidden(2, {}, true);
  tree.header()->moveSection(2, 1);  // Date shown before Size
  EXPECT_TRUE(IsGrid(&tree));
  EXPECT_EQ(Compact(DescribeGrid(&tree)),
            Compact(R"({"rows":3,"cols":3,"cells":[["Name","Date","Size"],
                       ["PROG","2024-01-02",""],["O0002","2024-01-03","64"]]})"));

  tree.setColumnHidden(1, true);
  tree.setHeaderHidden(true);
  EXPECT_EQ(Compact(DescribeGrid(&tree)),
            Compact(R"({"rows":2,"cols":2,"cells":[["PROG","2024-01-02"],["O0002","2024-01-03"]]})"));
}

TEST(DescribeGrid, ListGivesOneColumnWithoutHiddenRows) {
  QListWidget list;
  list.addItems({"Simulator", "Lathe", "Spare"});
  list.setRowHidden(1, true);
  EXPECT_TRUE(IsGrid(&list));
  EXPECT_EQ(Compact(DescribeGrid(&list)),
            Compact(R"({"rows":2,"cols":1,"cells":[["Simulator"],["Spare"]]})"));
}

TEST(DescribeGrid, TableGivesItsShownHeadersAsARowAndAColumn) {
  QTableWidget table(2, 2);
  table.setHorizontalHeaderLabels({"X", "Y"});
  table.setItem(0, 0, new QTableWidgetItem("1.5"));
  table.setItem(1, 1, new QTableWidgetItem("-2"));
  EXPECT_EQ(Compact(DescribeGrid(&table)),
            Compact(R"({"rows":3,"cols":3,"cells":[["","X","Y"],["1","1.5",""],["2","","-2"]]})"));

  table.verticalHeader()->hide();
  table.horizontalHeader()->hide();
  EXPECT_EQ(Compact(DescribeGrid(&table)),
            Compact(R"({"rows":2,"cols":2,"cells":[["1.5",""],["","-2"]]})"));
}

TEST(DescribeGrid, WhatIsNoGridIsNotOne) {
  QLabel label;
  QHeaderView header(Qt::Horizontal);
  EXPECT_FALSE(IsGrid(&label));
  EXPECT_FALSE(IsGrid(&header));
  EXPECT_TRUE(DescribeGrid(&label).isEmpty());
}

// A page like the program's: coordinate boxes repeating their names, a scroll area, a grid
// with a child of its own, a dialog it owns and a tab control the frame describes page by page.
class DescribeNamedTree : public testing::Test {
 protected:
  DescribeNamedTree() {
    root.setObjectName("TabSheetPosition");
    for (const char* boxName : {"Coord1_ABS", "Coord2_REL"}) {
      auto* box = Named<QGroupBox>(&root, boxName);
      box->setTitle(boxName);
      // Named like its twin in the other box: only the box's own name tells them apart.
      auto* inner = Named<QWidget>(box, "PosPanel");
      Named<QLabel>(new QWidget(inner), "Pos1")->setText(QString(boxName) + " X");
    }
    Named<Lamp>(&root, "LampRun", colors::kBrightGreen)->hide();
    auto* grid = Named<StringGrid>(&root, "GridOffset");
    grid->SetColCount(2);
    grid->SetRowCount(2);
    grid->SetCell(1, 1, "0.5");
    Named<QLabel>(grid, "GridOverlay");
    auto* scroll = new QScrollArea(&root);
    auto* content = new QWidget;
    content->setObjectName("ScrollContent");
    scroll->setWidget(content);
    Named<QCheckBox>(content, "CheckInside");
    auto* dialog = Named<QDialog>(&root, "FormAbout");  // a window of its own
    Named<QLabel>(dialog, "LabelVersion");
    tabs = Named<QTabWidget>(&root, "PageControlMain");
    auto* page = Named<QWidget>(nullptr, "TabSheetWork");
    Named<QLabel>(page, "LabelOnPage");
    tabs->addTab(page, "Work");
  }

  QWidget root;
  QTabWidget* tabs = nullptr;
};

TEST_F(DescribeNamedTree, KeysRepeatedNamesByPathAndSkipsWhatIsDescribedElsewhere) {
  QJsonObject items, grids;
  DescribeNamed(&root, &root, items, grids, tabs);
  EXPECT_EQ(Compact(items), Compact(R"({
    "Coord1_ABS": {"class":"QGroupBox","visible":true,"enabled":true,"text":"Coord1_ABS"},
    "Coord1_ABS/PosPanel": {"class":"QWidget","visible":true,"enabled":true},
    "Coord1_ABS/Pos1": {"class":"QLabel","visible":true,"enabled":true,"text":"Coord1_ABS X"},
    "Coord2_REL": {"class":"QGroupBox","visible":true,"enabled":true,"text":"Coord2_REL"},
    "Coord2_REL/PosPanel": {"class":"QWidget","visible":true,"enabled":true},
    "Coord2_REL/Pos1": {"class":"QLabel","visible":true,"enabled":true,"text":"Coord2_REL X"},
    "LampRun": {"class":"Lamp","visible":false,"enabled":true,"color":"#00ff00"},
    "ScrollContent": {"class":"QWidget","visible":true,"enabled":true},
    "CheckInside": {"class":"QCheckBox","visible":true,"enabled":true,"text":"","checked":false}
  })"));
  EXPECT_EQ(Compact(grids), Compact(R"({
    "GridOffset": {"rows":2,"cols":2,"visible":true,"enabled":true,"cells":[["",""],["","0.5"]]}
  })"));
}

TEST_F(DescribeNamedTree, WithoutExclusionTheTabPagesAreListedToo) {
  QJsonObject items, grids;
  DescribeNamed(&root, &root, items, grids);
  EXPECT_TRUE(items.contains("PageControlMain"));
  EXPECT_TRUE(items.contains("TabSheetWork"));
  EXPECT_TRUE(items.contains("LabelOnPage"));
  EXPECT_FALSE(items.contains("LabelVersion")) << "a dialog is a window of its own";
}

TEST_F(DescribeNamedTree, NamesThatNoContainerTellsApartAreNumberedInTreeOrder) {
  for (const char* text : {"first", "second"}) {
    auto* unnamed = new QWidget(&root);
    Named<QLabel>(unnamed, "Pos1")->setText(text);
  }
  QJsonObject items, grids;
  DescribeNamed(&root, &root, items, grids, tabs);
  EXPECT_EQ(items["Pos1#1"].toObject()["text"].toString(), "first");
  EXPECT_EQ(items["Pos1#2"].toObject()["text"].toString(), "second");
  EXPECT_TRUE(items.contains("Coord1_ABS/Pos1"));
  EXPECT_FALSE(items.contains("Pos1"));
}

TEST(WriteSnapshotJson, WritesTheDocumentAndRefusesAFolderThatIsNotThere) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QJsonObject document{{"caption", QString::fromUtf8("維修 Talvo")},
                             {"pages", QJsonArray{QJsonObject{{"name", "TabSheetWork"}}}}};
  const QString path = folder.filePath("snapshot.json");
  ASSERT_TRUE(WriteSnapshotJson(path, document));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QJsonDocument::fromJson(file.readAll()).object(), document);

  const QString missing = folder.filePath("absent/snapshot.json");
  EXPECT_FALSE(WriteSnapshotJson(missing, document));
  EXPECT_FALSE(QFile::exists(missing));
}

}  // namespace
}  // namespace talvo::app
