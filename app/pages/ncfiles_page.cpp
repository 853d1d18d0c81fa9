#include "app/pages/ncfiles_page.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <iterator>

#include "app/language/language.h"
#include "app/pages/page_controls.h"

namespace talvo::app {
namespace {

constexpr int kListColumnWidths[] = {125, 100, 175, 100};
constexpr const char* kListColumnKeys[] = {"ListViewPcFileC1", "ListViewPcFileC2",
                                           "ListViewPcFileC3", "ListViewPcFileC4"};

// A report view of files: several rows can be chosen, nothing edited, and the rows stay in
// the order of their names.
QTreeWidget* NewFileList(const char* name) {
  auto* list = Named<QTreeWidget>(name);
  list->setColumnCount(static_cast<int>(std::size(kListColumnWidths)));
  for (int col = 0; col < list->columnCount(); ++col)
    list->setColumnWidth(col, kListColumnWidths[col]);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSortingEnabled(true);
  list->sortByColumn(0, Qt::AscendingOrder);
  list->header()->setSectionsClickable(false);
  list->header()->setSortIndicatorShown(false);
  return list;
}

QLineEdit* NewReadOnlyField(const char* name, int width) {
  auto* field = Named<QLineEdit>(name);
  field->setReadOnly(true);
  field->setFixedWidth(width);
  field->setAlignment(Qt::AlignRight);
  return field;
}

// The frame's buttons and labels are captioned by the keys of their own names.
void CaptionByName(QWidget& control, const TLanguage& language) {
  const QString text = language.Caption("FileString", control.objectName().toStdString());
  if (auto* label = qobject_cast<QLabel*>(&control)) label->setText(text);
  if (auto* button = qobject_cast<QPushButton*>(&control)) button->setText(text);
}

}  // namespace

TFrameFile::TSide TFrameFile::NewSide(const TSideNames& names) {
  return {Named<QLabel>(names.title),       Named<QPushButton>(names.rename),
          Named<QPushButton>(names.remove), NewFileList(names.list),
          Named<QLabel>(names.countLabel),  NewReadOnlyField(names.count, 64),
          Named<QLabel>(names.freeLabel),   NewReadOnlyField(names.free, 96)};
}

QWidget* TFrameFile::SidePanel(const TSide& side, QPushButton* extraButton) {
  auto* panel = new QWidget;
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  QFont bold = side.title->font();
  bold.setBold(true);
  side.title->setFont(bold);
  auto* tools = new QHBoxLayout;
  tools->addWidget(side.title);
  tools->addStretch(1);
  tools->addWidget(side.rename);
  tools->addWidget(side.remove);
  if (extraButton) tools->addWidget(extraButton);
  column->addLayout(tools);
  column->addWidget(side.list, 1);
  auto* figures = new QHBoxLayout;
  figures->addWidget(side.countLabel);
  figures->addWidget(side.count);
  figures->addStretch(1);
  figures->addWidget(side.freeLabel);
  figures->addWidget(side.free);
  column->addLayout(figures);
  return panel;
}

TFrameFile::TFrameFile(QWidget* parent)
    : QWidget(parent),
      pc_(NewSide({"LabelPCFileList", "SpeedButtonRenamePC", "SpeedButtonDeletePC",
                   "ListViewPcFile", "LabelPCFileCount", "EditPCFileCount", "LabelPcDiskFree",
                   "EditPcDiskFree"})),
      nc_(NewSide({"LabelNCFileList", "SpeedButtonRenameNC", "SpeedButtonDeleteNC",
                   "ListViewNcFile", "LabelNCFileCount", "EditNCFileCount", "LabelNcDiskFree",
                   "EditNcDiskFree"})),
      changePathPC_(Named<QPushButton>("SpeedButtonChangePathPC")),
      filePCtoNC_(Named<QPushButton>("SpeedButtonFilePCtoNC")),
      fileNCtoPC_(Named<QPushButton>("SpeedButtonFileNCtoPC")),
      cancel_(Named<QPushButton>("SpeedButtonCancel")),
      exit_(Named<QPushButton>("SpeedButtonExit")),
      memoHistory_(Named<QPlainTextEdit>("MemoHistory")) {
  setObjectName("FrameFile");
  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  for (QPushButton* button : {filePCtoNC_, fileNCtoPC_, cancel_, exit_}) {
    button->setFixedWidth(84);
    middle->addWidget(button);
  }
  middle->insertSpacing(3, 16);  // the cancel button apart from the transfers
  middle->addStretch(1);
  exit_->hide();

  auto* sides = new QHBoxLayout;
  sides->addWidget(SidePanel(pc_, changePathPC_), 1);
  sides->addLayout(middle);
  sides->addWidget(SidePanel(nc_, nullptr), 1);

  memoHistory_->setReadOnly(true);
  memoHistory_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoHistory_->setFixedHeight(120);

  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->addLayout(sides, 1);
  frame->addWidget(memoHistory_);
  AddProgressRow(*frame, nullptr, "ProgressBar", "LabelPercentange");
}

void TFrameFile::LoadCaptions(const TLanguage& language) {
  for (const TSide* side : {&pc_, &nc_}) {
    for (QWidget* control : std::initializer_list<QWidget*>{side->title, side->rename, side->remove,
                                                            side->countLabel, side->freeLabel})
      CaptionByName(*control, language);
    QStringList titles;
    for (const char* key : kListColumnKeys) titles << language.Caption("FileString", key);
    side->list->setHeaderLabels(titles);
  }
  for (QPushButton* button : {changePathPC_, filePCtoNC_, fileNCtoPC_, cancel_, exit_})
    CaptionByName(*button, language);
}

TNcFilesPage::TNcFilesPage(QWidget* parent)
    : TPage("TabSheetNCFiles", page_tag::kNCFiles, parent),
      folderLabel_(Named<QLabel>("LabelNcfiles")),
      folder_(Named<QLineEdit>("EditNcfiles")),
      frame_(new TFrameFile) {
  folder_->setReadOnly(true);
  auto* folderLine = new QHBoxLayout;
  folderLine->addWidget(folderLabel_);
  folderLine->addWidget(folder_, 1);
  auto* page = new QVBoxLayout(this);
  page->addLayout(folderLine);
  page->addWidget(frame_, 1);
}

void TNcFilesPage::LoadCaptions(const TLanguage& language) {
  folderLabel_->setText(language.Caption("FileTrans", "NcfilesPath"));
  frame_->LoadCaptions(language);
}

void TNcFilesPage::SetNcFilesFolder(const QString& folder) { folder_->setText(folder); }

}  // namespace talvo::app
