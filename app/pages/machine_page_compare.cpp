// The Machine page's comparison of a backup folder with the connected controller: the
// controller's files of every category are fetched as a backup fetches them, but into a
// private folder, and compared as talvo-cli's diff compares them, with the parameter
// descriptions the Parameter page shows.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include "app/dialogs/compare_dialog.h"
#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/language/display_strings.h"
#include "app/language/language.h"
#include "app/pages/folder_choice.h"
#include "app/pages/machine_page.h"

namespace talvo::app {
namespace {

void ShowFailure(QWidget* parent, const TLanguage& language, const std::string& cause) {
  ShowMessageBox(parent, {{},
                          language.Caption("FileString", "MessageFailure") + ": " +
                              QString::fromStdString(cause),
                          QMessageBox::Warning});
}

}  // namespace

void TMachinePage::ButtonCompareMachineFilesClick() {
  if (!frame_) return;
  const QString folder = ChooseFolder(this, frame_->Language().Caption("FileTrans", "SELECT_DIR"),
                                      folder_.edit->text());
  if (!folder.isEmpty()) CompareWithBackup(folder.toStdString());
}

void TMachinePage::CompareWithBackup(const std::string& folder) {
  if (!frame_ || !ReadyToTransfer(false)) return;
  const TLanguage& language = frame_->Language();
  std::string error;
  auto backup = text::backup::ReadBackupSide(folder, &error);
  if (!backup) return ShowFailure(this, language, error);
  auto fetched = std::make_unique<QTemporaryDir>();
  if (!fetched->isValid()) return ShowFailure(this, language, fetched->errorString().toStdString());
  // Every category the settings offer, whatever is ticked: the backup may hold any of them.
  std::array<bool, kCategories> all{};
  for (int category = 0; category < kCategories; ++category)
    all[static_cast<std::size_t>(category)] =
        CategoryAvailable(frame_->Settings(), category, systemType_);
  TTalvoService& service = frame_->Service();
  TMachineFileList list = BuildMachineFileList(frame_->Settings(), all, systemType_,
                                               fetched->path().toStdString(),
                                               service.GetNcMachinePath(), false);
  if (!service.BeginCommandList()) return;
  for (TRefusedName& tooLong : QueueSteps(service, list.steps))
    list.refused.push_back(std::move(tooLong));
  job_.Start(std::move(list.steps), std::move(list.refused));
  if (!service.EndCommandList(true)) {
    job_.ShowNotTransferred(this, language, false, "MessageFailure");
    return;
  }
  comparing_ = TComparison{std::move(*backup), std::move(fetched)};
  SetJobRunning(true);
  frame_->SetActivity(maMachineCompare);
}

void TMachinePage::ShowComparison() {
  SetJobRunning(false);
  progress_.fileName->clear();
  const TComparison comparison = std::move(*comparing_);
  comparing_.reset();
  std::string error;
  auto controller = text::backup::ReadBackupSide(comparison.fetched->path().toStdString(), &error);
  if (!controller) return ShowFailure(this, frame_->Language(), error);
  controller->label = "host " + frame_->Service().GetCncIP();
  const TDisplayStrings& texts = frame_->DisplayStrings();
  const text::backup::DisplayStrings descriptions(
      [&texts](int number) { return texts.Text(number).trimmed().toStdString(); });
  if (!compareDialog_) compareDialog_ = new TFormCompare(frame_->Language(), this);
  compareDialog_->ShowRows(text::backup::ComparisonLines(
      text::backup::Compare(comparison.backup, *controller, &descriptions)));
}

}  // namespace talvo::app
