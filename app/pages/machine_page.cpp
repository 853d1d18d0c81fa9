#include "app/pages/machine_page.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QStyle>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/frame/file_command_ready.h"
#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/frame/settings_failure.h"
#include "app/language/language.h"
#include "app/pages/controller_messages.h"
#include "app/pages/folder_choice.h"
#include "app/pages/parameter_listing.h"

namespace talvo::app {
namespace {

struct TCategoryBox {
  const char* name;
  const char* captionKey;
};
constexpr TCategoryBox kCategoryBoxes[TMachinePage::kCategories] = {
    {"CheckBoxTransMachineLadder", "TransLadderLabel"},
    {"CheckBoxTransMachineIO", "TransIO"},
    {"CheckBoxTransMachineParam", "TransParam"},
    {"CheckBoxTransMachineGlobal", "TransGlobal"},
    {"CheckBoxTransMachineDreg", "TransDreg"},
    {"CheckBoxTransMachinePlcErr", "TransPlcErr"},
    {"CheckBoxTransMachineUsrParamStr", "TransUsrParamStr"},
    {"CheckBoxTransMachineGraph", "TransGraph"},
    {"CheckBoxTransMachineCNCLog", "TransCNCLog"},
    {"CheckBoxTransMachineOpLog", "TransOpLog"},
    {"CheckBoxTransMachineMmibase", "TransMmibase"}};

// The category texts carry a long tail of blanks; the box keeps them, but asks the layout
// only for the room of the words, so the tail can never widen the page.
constexpr int kTrailingBlanks = 127;

void SetCategoryText(QCheckBox& box, const QString& caption) {
  box.setText(caption + QString(kTrailingBlanks, ' '));
  const int words = box.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &box) +
                    box.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &box) +
                    box.fontMetrics().horizontalAdvance(caption) + 4;
  box.setMinimumWidth(words);
}

// The controller's status values a transfer may start in.
constexpr int kStatusNotReady = 0;
constexpr int kStatusReady = 1;
// The operator message that tells the controller a restore has arrived.
constexpr int kMachineFilesUploaded = 4;

}  // namespace

TMachinePage::TMachinePage(QWidget* parent)
    : TPage("TabSheetMachine", page_tag::kMachine, parent),
      backupIncomplete_(Named<QLabel>("LabelMachineBackupIncomplete")),
      groupBoxTransMachine_(Named<QGroupBox>("GroupBoxTransMachine")),
      upload_(NewJobButton("ButtonUploadMachineFiles")),
      download_(NewJobButton("ButtonDownloadMachineFiles")),
      compare_(NewJobButton("ButtonCompareMachineFiles")) {
  QVBoxLayout* page = AddFormColumn(*this);
  auto* form = new QGridLayout;
  folder_ = AddFolderRow(*form, 0, "LabelMachine", "EditMachine", "ButtonMachine");
  page->addLayout(form);
  backupIncomplete_->setWordWrap(true);
  backupIncomplete_->setStyleSheet("color: red");
  backupIncomplete_->hide();
  page->addWidget(backupIncomplete_);
  page->addSpacing(8);

  auto* boxes = new QGridLayout(groupBoxTransMachine_);
  constexpr int kPerColumn = (kCategories + 1) / 2;
  for (int category = 0; category < kCategories; ++category) {
    auto* box = Named<QCheckBox>(kCategoryBoxes[category].name);
    box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    boxes->addWidget(box, category % kPerColumn, category / kPerColumn);
    categories_[static_cast<std::size_t>(category)] = box;
  }
  page->addWidget(groupBoxTransMachine_);
  page->addSpacing(8);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(upload_);
  buttons->addWidget(download_);
  buttons->addWidget(compare_);
  buttons->addStretch(1);
  page->addLayout(buttons);
  page->addSpacing(8);

  progress_ = AddProgressRow(*page, "LabelMachineDataFileName", "ProgressBarMachineFiles",
                             "LabelMachineFilesPercentage");
  page->addStretch(1);

  connect(folder_.button, &QPushButton::clicked, this, [this] { ButtonMachineClick(); });
  connect(upload_, &QPushButton::clicked, this, [this] { ButtonUploadMachineFilesClick(); });
  connect(download_, &QPushButton::clicked, this, [this] { ButtonDownloadMachineFilesClick(); });
  connect(compare_, &QPushButton::clicked, this, [this] { ButtonCompareMachineFilesClick(); });
  for (int category = 0; category < kCategories; ++category)
    connect(categories_[static_cast<std::size_t>(category)], &QCheckBox::clicked, this,
            [this, category](bool checked) { CategoryBoxClick(category, checked); });
}

void TMachinePage::Attach(TFormMain& frame) {
  frame_ = &frame;
  for (int category = 0; category < kCategories; ++category) SetupCategoryBox(category);
  progress_.fileName->clear();
  ShowBackupState();
}

void TMachinePage::ApplySystemType(int type) {
  systemType_ = type;
  if (frame_) SetupCategoryBox(kCategoryTools);
}

void TMachinePage::SetupCategoryBox(int category) {
  QCheckBox* box = categories_[static_cast<std::size_t>(category)];
  const bool available = CategoryAvailable(frame_->Settings(), category, systemType_);
  box->setEnabled(available && !jobRunning_);
  box->setChecked(available && frame_->Settings().ReadBool(
                                   kOptions, MachineCategory(category, systemType_).optionKey,
                                   true));
}

void TMachinePage::CategoryBoxClick(int category, bool checked) {
  if (!frame_) return;
  TIniFile& settings = frame_->Settings();
  if (settings.WriteBool(kOptions, MachineCategory(category, systemType_).optionKey, checked))
    return;
  // The box keeps showing the choice the file holds, which is the one a transfer uses.
  categories_[static_cast<std::size_t>(category)]->setChecked(!checked);
  ShowSettingsNotSaved(this, frame_->Language(), settings);
}

void TMachinePage::PageShown() {
  progress_.bar->setValue(0);
  progress_.percentage->setText("0%");
  progress_.fileName->clear();
  ShowBackupState();
}

void TMachinePage::ButtonMachineClick() {
  if (!frame_) return;
  const QString folder = ChooseFolder(this, frame_->Language().Caption("FileTrans", "SELECT_DIR"),
                                      folder_.edit->text());
  if (folder.isEmpty()) return;
  folder_.edit->setText(folder);
  if (!frame_->Settings().WriteString(kLocalDir, "MACHINEDIR", folder.toStdString())) {
    // Transfers use the folder the file holds: the page shows that one.
    folder_.edit->setText(QString::fromStdString(frame_->Options().MachineDir()));
    ShowSettingsNotSaved(this, frame_->Language(), frame_->Settings());
  }
  ShowBackupState();
}

void TMachinePage::ButtonUploadMachineFilesClick() { StartTransfer(true); }

void TMachinePage::ButtonDownloadMachineFilesClick() { StartTransfer(false); }

bool TMachinePage::ReadyToTransfer(bool upload) {
  if (!CheckFileCommandReady(this, frame_->Service(), frame_->Language(), false,
                             frame_->Infos().StatusMode))
    return false;
  const int status = frame_->Infos().StatusMode.Status();
  if (status != kStatusNotReady && !(upload && status == kStatusReady)) {
    RefuseForControllerState(*frame_, this);
    return false;
  }
  return true;
}

void TMachinePage::StartTransfer(bool upload) {
  if (!frame_ || !ReadyToTransfer(upload)) return;
  TTalvoService& service = frame_->Service();
  // A first backup has no folder to land in yet.
  std::error_code ignored;
  if (!upload) std::filesystem::create_directories(frame_->Options().MachineDir(), ignored);
  std::array<bool, kCategories> ticked{};
  for (int category = 0; category < kCategories; ++category)
    ticked[static_cast<std::size_t>(category)] =
        categories_[static_cast<std::size_t>(category)]->isChecked();
  TMachineFileList list =
      BuildMachineFileList(frame_->Settings(), ticked, systemType_, frame_->Options().MachineDir(),
                           service.GetNcMachinePath(), upload);
  if (!list.Built()) {
    const TLanguage& language = frame_->Language();
    ShowMessageBox(this, {{},
                          language.Caption("FileTrans", "CONFIM_FILE_NOT_FOUND1") +
                              QString::fromStdString(list.missingFile) +
                              language.Caption("FileTrans", "CONFIM_FILE_NOT_FOUND2"),
                          QMessageBox::Warning});
    return;
  }
  if (upload && !ConfirmRestore(TickedCaptions(ticked), list.refused)) return;
  if (!service.BeginCommandList()) return;
  for (TRefusedName& tooLong : QueueSteps(service, list.steps))
    list.refused.push_back(std::move(tooLong));
  job_.Start(std::move(list.steps), std::move(list.refused));
  if (!upload && !job_.Steps().empty() && !MarkBackupStarted()) {
    service.EndCommandList(false);
    return;
  }
  if (!service.EndCommandList(true)) {
    job_.ShowNotTransferred(this, frame_->Language(), false, "MessageFailure");
    return;
  }
  SetJobRunning(true);
  frame_->SetActivity(upload ? maMachineUpload : maMachineDownload);
}

QStringList TMachinePage::TickedCaptions(const std::array<bool, kCategories>& ticked) const {
  QStringList captions;
  for (int category = 0; category < kCategories; ++category)
    if (ticked[static_cast<std::size_t>(category)])
      captions << frame_->Language().Caption("FileTrans", kCategoryBoxes[category].captionKey);
  return captions;
}

void TMachinePage::SetJobRunning(bool running) {
  jobRunning_ = running;
  folder_.button->setEnabled(!running);
  for (int category = 0; category < kCategories; ++category)
    categories_[static_cast<std::size_t>(category)]->setEnabled(
        !running && CategoryAvailable(frame_->Settings(), category, systemType_));
}

void TMachinePage::FileJobListExecute(EProcessKind, int index) { job_.StepStarted(index); }

void TMachinePage::FileJobFinished(EProcessKind) {
  if (comparing_) return ShowComparison();
  SetJobRunning(false);
  MarkBackupEnded(false);
  progress_.fileName->clear();
  job_.ShowNotTransferred(this, frame_->Language(), false, "MessageFailure");
  if (frame_->Activity() == maMachineUpload) {
    TellControllerTransferDone(*frame_, "TRANS_NC_MACHINE", kMachineFilesUploaded);
    return;
  }
  if (categories_[kCategoryParameters]->isChecked())
    WriteParameterListing(frame_->Options().MachineDir());
}

// The link keeps a PC file whose download failed as it was; the user learns which files
// this backup or restore did not bring over.
void TMachinePage::FileJobFailed(EProcessKind) {
  comparing_.reset();
  SetJobRunning(false);
  MarkBackupEnded(true);
  job_.ShowNotTransferred(this, frame_->Language(), true, "MessageFailure");
}

void TMachinePage::FileJobDropped(EProcessKind) {
  comparing_.reset();
  SetJobRunning(false);
  MarkBackupEnded(true);
  progress_.fileName->clear();
  job_.ShowNotTransferred(this, frame_->Language(), true, "MessageConnectionLost");
}

void TMachinePage::FileJobAborted(EProcessKind) {
  comparing_.reset();
  SetJobRunning(false);
  MarkBackupEnded(true);
  progress_.fileName->clear();
  job_.ShowNotTransferred(this, frame_->Language(), true, "MessageFailure");
}

void TMachinePage::SetMachineFolder(const QString& folder) { folder_.edit->setText(folder); }

QCheckBox* TMachinePage::CategoryBox(int category) const {
  return category >= 0 && category < kCategories ? categories_[static_cast<std::size_t>(category)]
                                                 : nullptr;
}

void TMachinePage::LoadCaptions(const TLanguage& language) {
  folder_.label->setText(language.Caption("FileTrans", "MachinePathLabel"));
  groupBoxTransMachine_->setTitle(language.Caption("FileTrans", "TransMachineLabel"));
  for (int category = 0; category < kCategories; ++category)
    SetCategoryText(*categories_[static_cast<std::size_t>(category)],
                    language.Caption("FileTrans", kCategoryBoxes[category].captionKey));
  upload_->setText(language.Caption("FileTrans", "Upload_Label"));
  download_->setText(language.Caption("FileTrans", "Download_Label"));
  compare_->setText(language.Caption("FileTrans", "Compare_Label"));
}

}  // namespace talvo::app
