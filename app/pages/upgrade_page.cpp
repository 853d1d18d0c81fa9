#include "app/pages/upgrade_page.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

#include "app/frame/file_command_ready.h"
#include "app/frame/main_window.h"
#include "app/frame/settings_failure.h"
#include "app/frame/message_box.h"
#include "app/language/language.h"
#include "app/pages/controller_messages.h"
#include "app/pages/folder_choice.h"
#include "app/pages/setup_tree.h"

namespace talvo::app {
namespace {

// The controller's status value an upgrade may start in (not ready).
constexpr int kStatusNotReady = 0;
// The operator message that tells the controller the setup files have arrived.
constexpr int kSetupFilesUploaded = 3;

}  // namespace

TUpgradePage::TUpgradePage(QWidget* parent)
    : TPage("TabSheetUpgrade", page_tag::kUpgrade, parent),
      versionLabel_(Named<QLabel>("labelNCVer", "NC Version")),
      version_(Named<QLineEdit>("NCVerBox")),
      upload_(NewJobButton("ButtonSetupUpload")) {
  version_->setReadOnly(true);
  QVBoxLayout* page = AddFormColumn(*this);
  auto* form = new QGridLayout;
  form->addWidget(versionLabel_, 0, 0);
  form->addWidget(version_, 0, 1);
  form->setRowMinimumHeight(1, 12);
  folder_ = AddFolderRow(*form, 2, "LabelSetupPath", "EditSetup", "ButtonSetupChangePath");
  page->addLayout(form);
  page->addSpacing(8);
  page->addWidget(upload_, 0, Qt::AlignLeft);
  page->addSpacing(8);
  progress_ = AddProgressRow(*page, "LabelSetupFileName", "ProgressBarSetup", "LabelSetupPercentage");
  page->addStretch(1);

  connect(folder_.button, &QPushButton::clicked, this, [this] { ButtonSetupChangePathClick(); });
  connect(upload_, &QPushButton::clicked, this, [this] { ButtonSetupUploadClick(); });
}

void TUpgradePage::Attach(TFormMain& frame) { frame_ = &frame; }

void TUpgradePage::SetSetupFolder(const QString& folder) { folder_.edit->setText(folder); }

void TUpgradePage::SetNcVersion(const QString& version) { version_->setText(version); }

void TUpgradePage::LoadCaptions(const TLanguage& language) {
  folder_.label->setText(language.Caption("FileTrans", "SetupPath"));
  upload_->setText(language.Caption("FileTrans", "SetupUpload_Label"));
}

void TUpgradePage::PageShown() {
  progress_.bar->setValue(0);
  progress_.percentage->setText("0%");
  progress_.fileName->clear();
}

void TUpgradePage::ButtonSetupChangePathClick() {
  if (!frame_) return;
  const QString folder = ChooseFolder(this, frame_->Language().Caption("FileTrans", "SELECT_DIR"),
                                      folder_.edit->text());
  if (folder.isEmpty()) return;
  folder_.edit->setText(folder);
  if (frame_->Settings().WriteString(kLocalDir, "SETUPDIR", folder.toStdString())) return;
  // The upload uses the folder the file holds: the page shows that one.
  folder_.edit->setText(QString::fromStdString(frame_->Options().SetupDir()));
  ShowSettingsNotSaved(this, frame_->Language(), frame_->Settings());
}

void TUpgradePage::ButtonSetupUploadClick() {
  if (!frame_) return;
  TTalvoService& service = frame_->Service();
  if (!CheckFileCommandReady(this, service, frame_->Language(), false,
                             frame_->Infos().StatusMode))
    return;
  if (frame_->Infos().StatusMode.Status() != kStatusNotReady) {
    RefuseForControllerState(*frame_, this);
    return;
  }
  TSetupJob setup = SetupUploadSteps(frame_->Options().SetupDir());
  if (!ConfirmSetup(setup) || !service.BeginCommandList()) return;
  for (TRefusedName& tooLong : QueueSteps(service, setup.steps))
    setup.refused.push_back(std::move(tooLong));
  job_.Start(std::move(setup.steps), std::move(setup.refused));
  if (!service.EndCommandList(true)) return;
  frame_->SetActivity(maSetupUpload);
}

bool TUpgradePage::ConfirmSetup(const TSetupJob& setup) {
  const TLanguage& language = frame_->Language();
  // A setup is installed as a whole: one that cannot be read whole is not sent at all.
  if (!setup.unreadable.empty()) {
    QStringList lines;
    for (const std::string& line : setup.unreadable) lines << QString::fromStdString(line);
    ShowMessageBox(this, {{}, language.Caption("FileTrans", "SetupUnreadable") + "\n" + lines.join('\n'),
                          QMessageBox::Warning});
    return false;
  }
  const auto files = std::count_if(setup.steps.begin(), setup.steps.end(),
                                   [](const TFileJobStep& step) { return step.command == fcSendFile; });
  QStringList leftOut;
  for (const TRefusedName& name : setup.refused) leftOut << RefusedNameLine(language, name);
  return ConfirmSendToController(
      *frame_, this, {language.Caption("FileTrans", "ConfirmSetupFiles") + " " + QString::number(files)},
      frame_->Options().SetupDir(), leftOut);
}

void TUpgradePage::FileJobListExecute(EProcessKind, int index) { job_.StepStarted(index); }

void TUpgradePage::FileJobFinished(EProcessKind) {
  progress_.fileName->clear();
  // A setup with files left out is not one the operator may install.
  if (!job_.Whole()) {
    job_.ShowNotTransferred(this, frame_->Language(), false, "MessageFailure");
    return;
  }
  TellControllerTransferDone(*frame_, "TRANS_NC_SETUP", kSetupFilesUploaded);
}

void TUpgradePage::FileJobFailed(EProcessKind) {
  job_.ShowNotTransferred(this, frame_->Language(), true, "MessageFailure");
}

void TUpgradePage::FileJobDropped(EProcessKind) {
  progress_.fileName->clear();
  job_.ShowNotTransferred(this, frame_->Language(), true, "MessageConnectionLost");
}

}  // namespace talvo::app
