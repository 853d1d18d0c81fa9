#include "app/pages/ncfiles_page.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <iterator>
#include <system_error>

#include "app/frame/file_command_ready.h"
#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/frame/settings_failure.h"
#include "app/language/language.h"
#include "app/pages/file_job_steps.h"
#include "app/pages/folder_choice.h"
#include "app/pages/name_refusals.h"
#include "app/pages/ncfiles_format.h"
#include "app/pages/page_controls.h"
#include "service/size_text.h"
#include "service/talvo_service.h"

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

// The controller's drive when its folder names none: C:.
constexpr unsigned kDriveC = 2;

// Replaces the rows; the list sorts them once, after all are in.
void FillRows(QTreeWidget& list, const std::vector<TFileRow>& rows) {
  list.clear();
  list.setSortingEnabled(false);
  for (const TFileRow& row : rows) {
    auto* item = new QTreeWidgetItem({row.name, row.size, row.modified, row.attributes});
    item->setData(0, Qt::UserRole, row.stored);
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    list.addTopLevelItem(item);
  }
  list.setSortingEnabled(true);
  list.header()->setSortIndicatorShown(false);
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
  const TProgressRow progress = AddProgressRow(*frame, nullptr, "ProgressBar", "LabelPercentange");
  progressBar_ = progress.bar;
  labelPercentange_ = progress.percentage;

  diskFree_.Group = page_tag::kNCFiles;
  diskFree_.Active = true;
  diskFree_.OnChange = [this](TTalvoInfo*) {
    nc_.free->setText(QString::fromStdString(SizeText(diskFree_.FreeBytes())));
  };

  const struct {
    QPushButton* button;
    void (TFrameFile::*click)();
  } actions[] = {{filePCtoNC_, &TFrameFile::SpeedButtonFilePCtoNCClick},
                 {fileNCtoPC_, &TFrameFile::SpeedButtonFileNCtoPCClick},
                 {pc_.rename, &TFrameFile::SpeedButtonRenamePCClick},
                 {pc_.remove, &TFrameFile::SpeedButtonDeletePCClick},
                 {changePathPC_, &TFrameFile::SpeedButtonChangePathPCClick},
                 {nc_.rename, &TFrameFile::SpeedButtonRenameNCClick},
                 {nc_.remove, &TFrameFile::SpeedButtonDeleteNCClick},
                 {cancel_, &TFrameFile::SpeedButtonCancelClick}};
  for (const auto& a : actions)
    connect(a.button, &QPushButton::clicked, this, [this, click = a.click] { (this->*click)(); });
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

void TFrameFile::Initialise(TTalvoService& service, const TTalvoInfo_StatusMode& status,
                            const TLanguage& language, const std::string& ncFolder,
                            const std::string& pcFolder) {
  service_ = &service;
  status_ = &status;
  language_ = &language;
  pcFolder_ = WithTrailing(pcFolder, '/');
  SetControllerFolder(ncFolder);
}

void TFrameFile::SetControllerFolder(const std::string& folder) {
  ncFolder_ = WithTrailing(folder, '\\');
  const char letter = ncFolder_.size() >= 2 && ncFolder_[1] == ':'
                          ? static_cast<char>(std::toupper(static_cast<unsigned char>(ncFolder_[0])))
                          : '\0';
  diskFree_.Drive = letter >= 'A' && letter <= 'Z' ? static_cast<unsigned>(letter - 'A') : kDriveC;
}

QString TFrameFile::Text(const char* key) const { return language_->Caption("FileString", key); }

QString TFrameFile::Decode(const std::string& bytes) const { return language_->Decode(bytes); }

void TFrameFile::Show() {
  service_->CancelCommand();
  diskFree_.SetService(service_);
  diskFree_.Refresh(true);
  RefreshControllerList();
  RefreshPcList();
  Progress(0);
}

void TFrameFile::Hide() {
  service_->CancelCommand();
  diskFree_.SetService(nullptr);
}

void TFrameFile::Progress(int value) {
  if (progressBar_->value() == value) return;
  progressBar_->setValue(value);
  labelPercentange_->setText(QString::number(value) + "%");
}

// --- Lists -------------------------------------------------------------------------------

void TFrameFile::RefreshControllerList() {
  entries_.clear();
  nc_.list->clear();
  nc_.count->setText("0");
  QString upper = Decode(ncFolder_).toUpper();
  if (upper == "Z:\\") {
    AddHistory(Text("Msg_Can_not_Show_Contents_Z_Disk"));
    return;
  }
  service_->GetFileList(ncFolder_, &entries_);
  AddHistory(Text("MessageGetNCFileList"));
}

void TFrameFile::ShowControllerList() {
  std::vector<TFileRow> rows;
  for (const vandir::ListingEntry& entry : vandir::DecodeListingEntries(entries_)) {
    if (entry.IsFolder()) continue;
    rows.push_back({QByteArray::fromStdString(entry.name), Decode(vandir::VisibleName(entry.name)),
                    QString::number(entry.size),
                    ListingDateText(entry) + " " + ListingTimeText(entry),
                    AttributeLetters(entry.attributes)});
  }
  FillRows(*nc_.list, rows);
  nc_.count->setText(QString::number(nc_.list->topLevelItemCount()));
}

void TFrameFile::RefreshPcList() {
  FillRows(*pc_.list, PcFileRows(pcFolder_));
  pc_.count->setText(QString::number(pc_.list->topLevelItemCount()));
  pc_.free->setText(PcFreeSpaceText(pcFolder_));
}

std::vector<std::string> TFrameFile::SelectedNames(const TSide& side) {
  std::vector<std::string> names;
  for (int row = 0; row < side.list->topLevelItemCount(); ++row) {
    const QTreeWidgetItem* item = side.list->topLevelItem(row);
    if (item->isSelected()) names.push_back(item->data(0, Qt::UserRole).toByteArray().toStdString());
  }
  return names;
}

// --- Buttons -----------------------------------------------------------------------------

bool TFrameFile::ActionReady(const TSide* needsFiles) {
  if (!service_ || !CheckFileCommandReady(this, *service_, *language_, true, *status_))
    return false;
  if (needsFiles && needsFiles->list->topLevelItemCount() == 0) {
    ShowMessage(this, Text(needsFiles == &pc_ ? "MessagePCNoFile" : "MessageNCNoFile"));
    return false;
  }
  return true;
}

void TFrameFile::RunJob(const std::vector<std::string>& names,
                        const std::function<TFileJobStep(const std::string&)>& stepFor) {
  if (names.empty() || !service_->BeginCommandList()) return;
  std::vector<TFileJobStep> steps;
  std::vector<TRefusedName> refused;
  for (const std::string& name : names) {
    if (auto unsafe = RefuseUnsafeName(name)) refused.push_back(std::move(*unsafe));
    else steps.push_back(stepFor(name));
  }
  for (TRefusedName& tooLong : QueueSteps(*service_, steps)) refused.push_back(std::move(tooLong));
  for (const TRefusedName& name : refused) AddHistory(RefusedNameLine(*language_, name));
  job_.Start(std::move(steps), {});
  logged_ = 0;
  service_->EndCommandList(true);
}

void TFrameFile::SpeedButtonFilePCtoNCClick() {
  if (!ActionReady(&pc_)) return;
  RunJob(SelectedNames(pc_), [this](const std::string& name) {
    return TFileJobStep{fcSendFile, pcFolder_ + name, ncFolder_ + name};
  });
}

void TFrameFile::SpeedButtonFileNCtoPCClick() {
  if (!ActionReady(&nc_)) return;
  RunJob(SelectedNames(nc_), [this](const std::string& name) {
    return TFileJobStep{fcReceiveFile, ncFolder_ + name, pcFolder_ + name};
  });
}

QString TFrameFile::AskNewName(const QString& old) {
  QInputDialog box(this);
  box.setWindowTitle(Text("MessageRename"));
  box.setLabelText(Text("MessageInputNew"));
  box.setTextValue(old);
  const QString typed = box.exec() == QDialog::Accepted ? box.textValue() : old;
  return typed == old ? QString() : typed;
}

bool TFrameFile::ConfirmDelete() {
  return ShowMessageBox(this, {{}, Text("MessageDelConfim"), QMessageBox::Question,
                               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel}) ==
         QMessageBox::Ok;
}

void TFrameFile::SpeedButtonRenamePCClick() {
  if (!ActionReady(&pc_)) return;
  const std::vector<std::string> names = SelectedNames(pc_);
  if (names.empty()) return;
  const QString typed = AskNewName(QString::fromStdString(names.front()));
  if (typed.isEmpty()) return;
  const std::string source = pcFolder_ + names.front();
  const std::string target = pcFolder_ + typed.toStdString();
  const QString step = RenameLine(source, target);
  if (const auto unsafe = RefuseUnsafeName(typed.toStdString())) {
    const QString why = RefusedNameLine(*language_, *unsafe);
    AddHistory(step + ": " + why);
    ShowMessageBox(this, {{}, why, QMessageBox::Warning});
    return;
  }
  // A rename never replaces another file (the host would do so without a word).
  std::error_code ec;
  if (std::filesystem::symlink_status(target, ec).type() != std::filesystem::file_type::not_found)
    ec = std::make_error_code(std::errc::file_exists);
  else
    std::filesystem::rename(source, target, ec);
  RefreshPcList();
  if (!ec) {
    AddHistory(step + ": " + Text("MessageFinish"));
    return;
  }
  const QString why = Text("MessageRenameFailure") + ": " + QString::fromStdString(names.front()) +
                      " (" + QString::fromStdString(ec.message()) + ")";
  AddHistory(step + ": " + why);
  ShowMessageBox(this, {{}, why, QMessageBox::Warning});
}

void TFrameFile::SpeedButtonDeletePCClick() {
  if (!ActionReady(&pc_)) return;
  const std::vector<std::string> names = SelectedNames(pc_);
  if (names.empty() || !ConfirmDelete()) return;
  QStringList refused;
  for (const std::string& name : names) {
    std::error_code ec;
    const bool removed = std::filesystem::remove(pcFolder_ + name, ec) && !ec;
    const QString why = removed ? Text("MessageFinish")
                                : QString::fromStdString(name) + " (" +
                                      QString::fromStdString(ec ? ec.message() : std::string("-")) + ")";
    AddHistory(DeleteLine(pcFolder_ + name) + ": " + why);
    if (!removed) refused << why;
  }
  RefreshPcList();
  if (refused.isEmpty())
    ShowFinishMessage();
  else
    ShowMessageBox(this, {{}, Text("MessageDelFailure") + ":\n" + refused.join('\n'),
                          QMessageBox::Warning});
}

void TFrameFile::SpeedButtonChangePathPCClick() {
  if (!ActionReady(nullptr)) return;
  const QString folder = ChooseFolder(this, language_->Caption("OptionString", "SelectDirectoryCaption"),
                                      QString::fromStdString(pcFolder_));
  if (folder.isEmpty()) return;
  pcFolder_ = folder.toStdString();
  RefreshPcList();
  if (OnPathChange) OnPathChange(pcFolder_);
}

void TFrameFile::SpeedButtonRenameNCClick() {
  if (!ActionReady(&nc_)) return;
  const std::vector<std::string> names = SelectedNames(nc_);
  if (names.empty()) return;
  const std::string old = names.front();
  if (const auto unsafe = RefuseUnsafeName(old)) {
    AddHistory(RefusedNameLine(*language_, *unsafe));
    return;
  }
  const QString typed = AskNewName(Decode(old));
  if (typed.isEmpty()) return;
  const std::string renamed = language_->Encode(typed);
  RunJob({renamed}, [this, &old](const std::string& name) {
    return TFileJobStep{fcFileRename, ncFolder_ + old, ncFolder_ + name};
  });
}

void TFrameFile::SpeedButtonDeleteNCClick() {
  if (!ActionReady(&nc_)) return;
  const std::vector<std::string> names = SelectedNames(nc_);
  if (names.empty() || !ConfirmDelete()) return;
  RunJob(names, [this](const std::string& name) {
    return TFileJobStep{fcFileDelete, ncFolder_ + name, {}};
  });
}

void TFrameFile::SpeedButtonCancelClick() {
  if (service_) service_->CancelCommand();
}

// --- The service's reports ---------------------------------------------------------------

void TFrameFile::ShowFinishMessage() { ShowMessage(this, Text("MessageFinish")); }

void TFrameFile::Finish(EProcessKind kind) {
  if (kind == pkGetFileList) {
    ShowControllerList();
    AddHistory(Text("MessageFinish"));
    return;
  }
  LogEndedSteps();
  const SFileCommand* first = kind == pkCommandList ? service_->GetCmdListItems(0) : nullptr;
  if (first) {
    switch (first->Command) {
      case fcSendFile:
        RefreshControllerList();
        break;
      case fcReceiveFile:
        RefreshPcList();
        break;
      case fcFileRename: {
        // The one row renamed; the controller's folder is not read again.
        const QString old = Decode(FileNamePart(first->Name1));
        for (int row = 0; row < nc_.list->topLevelItemCount(); ++row) {
          QTreeWidgetItem* item = nc_.list->topLevelItem(row);
          if (item->text(0).compare(old, Qt::CaseInsensitive) != 0) continue;
          const std::string renamed = FileNamePart(first->Name2);
          item->setText(0, Decode(renamed));
          item->setData(0, Qt::UserRole, QByteArray::fromStdString(renamed));
          break;
        }
        break;
      }
      case fcFileDelete:
        for (int index = 0; index < service_->GetCmdListCount(); ++index) {
          const SFileCommand* record = service_->GetCmdListItems(index);
          if (record->Command != fcFileDelete) continue;
          const QString gone = Decode(FileNamePart(record->Name1));
          for (int row = 0; row < nc_.list->topLevelItemCount(); ++row)
            if (nc_.list->topLevelItem(row)->text(0).compare(gone, Qt::CaseInsensitive) == 0) {
              delete nc_.list->takeTopLevelItem(row);
              break;
            }
        }
        nc_.count->setText(QString::number(nc_.list->topLevelItemCount()));
        break;
      default:
        break;
    }
  }
  ShowFinishMessage();
}

void TFrameFile::Aborted() {
  LogEndedSteps();
  const SFileCommand* first = service_->GetCmdListItems(0);
  if (first && first->Command == fcReceiveFile)
    RefreshPcList();
  else
    RefreshControllerList();
}

void TFrameFile::Failed(EProcessKind kind) {
  if (kind == pkGetFileList) {
    // Given up unfinished: what came is shown, and said to be short (a new read would only
    // be given up again).
    ShowControllerList();
    AddHistory(Text("MessageListingStopped") + " " + nc_.count->text());
    return;
  }
  LogEndedSteps();
  if (kind == pkReceiveFile)
    RefreshPcList();
  else
    RefreshControllerList();
}

int TFrameFile::AskOverwrite(EProcessKind, const std::string& fileName) {
  const QString question =
      Text("MessageConfirmOverwrite") + " \"" + Decode(FileNamePart(fileName)) + " \"";
  return OverwriteAnswer(ShowMessageBox(
      this, {{}, question, QMessageBox::Question,
             QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll |
                 QMessageBox::Cancel,
             QMessageBox::Yes}));
}

// --- The page ----------------------------------------------------------------------------

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

namespace talvo::app {

void TNcFilesPage::Attach(TFormMain& frame) {
  main_ = &frame;
  frame_->Initialise(frame.Service(), frame.Infos().StatusMode, frame.Language(),
                     frame.Service().GetNcFilesPath(), frame.Options().NcFilesDir());
  frame_->OnPathChange = [this](const std::string& folder) {
    SetNcFilesFolder(QString::fromStdString(folder));
    // The lists stay on the new folder for now; the next start finds the old one.
    if (!main_->Settings().WriteString(kLocalDir, "NCFILESDIR", folder))
      ShowSettingsNotSaved(this, main_->Language(), main_->Settings());
  };
}

void TNcFilesPage::PageShown() { frame_->Show(); }
void TNcFilesPage::PageHidden() { frame_->Hide(); }
void TNcFilesPage::ConnectionCompleted() {
  frame_->SetControllerFolder(main_->Service().GetNcFilesPath());
}
void TNcFilesPage::FileJobProgress(int percent) { frame_->Progress(percent); }
void TNcFilesPage::FileJobFinished(EProcessKind kind) { frame_->Finish(kind); }
void TNcFilesPage::FileJobListExecute(EProcessKind kind, int index) {
  frame_->CommandStarted(kind, index);
}
void TNcFilesPage::FileJobAborted(EProcessKind) { frame_->Aborted(); }
void TNcFilesPage::FileJobFailed(EProcessKind kind) { frame_->Failed(kind); }
void TNcFilesPage::FileJobDropped(EProcessKind kind) { frame_->Dropped(kind); }
int TNcFilesPage::FileJobOverwrite(EProcessKind kind, const std::string& fileName) {
  return frame_->AskOverwrite(kind, fileName);
}

}  // namespace talvo::app
