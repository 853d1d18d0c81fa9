// The Machine page's mark of an unfinished backup in its folder.
#include <QLabel>
#include <QStringList>

#include <ctime>

#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/language/language.h"
#include "app/pages/controller_messages.h"
#include "app/pages/machine_page.h"
#include "link/file_names.h"
#include "service/backup_marker.h"

namespace talvo::app {
namespace {

// Names as the mark holds them: one a line, so none may break a line.
std::vector<std::string> Recorded(const std::vector<std::string>& names) {
  std::vector<std::string> recorded;
  for (const std::string& name : names) recorded.push_back(vandir::VisibleName(name));
  return recorded;
}

}  // namespace

bool TMachinePage::MarkBackupStarted() {
  backupStarted_ = LocalTimeText(std::time(nullptr));
  const std::string failed = WriteBackupMarker(
      frame_->Options().MachineDir(), {backupStarted_, Recorded(job_.MissedFiles(true))});
  ShowBackupState();
  if (failed.empty()) return true;
  ShowMessageBox(this, {{},
                        frame_->Language().Caption("FileString", "MessageFailure") + ": " +
                            QString::fromStdString(failed),
                        QMessageBox::Warning});
  return false;
}

void TMachinePage::MarkBackupEnded(bool cutShort) {
  if (frame_->Activity() != maMachineDownload) return;
  const std::vector<std::string> missed = job_.MissedFiles(cutShort);
  const std::string failed =
      missed.empty()
          ? RemoveBackupMarker(frame_->Options().MachineDir())
          : WriteBackupMarker(frame_->Options().MachineDir(), {backupStarted_, Recorded(missed)});
  ShowBackupState();
  if (!failed.empty())
    ShowMessageBox(this, {{},
                          frame_->Language().Caption("FileString", "MessageFailure") + ": " +
                              QString::fromStdString(failed),
                          QMessageBox::Warning});
}

void TMachinePage::ShowBackupState() {
  const auto marker = ReadBackupMarker(frame_->Options().MachineDir());
  backupIncomplete_->setVisible(marker.has_value());
  if (!marker) {
    backupIncomplete_->clear();
    return;
  }
  const TLanguage& language = frame_->Language();
  QStringList missing;
  for (const std::string& name : marker->missing) missing << language.Decode(name);
  backupIncomplete_->setText(language.Caption("FileTrans", "BackupIncomplete") + " " +
                             QString::fromStdString(marker->started) + ", " +
                             language.Caption("FileTrans", "BackupNotFetched") + " " +
                             missing.join(", "));
}

bool TMachinePage::ConfirmRestore(const QStringList& categories,
                                  const std::vector<TRefusedName>& leftOut) {
  ShowBackupState();
  QStringList warnings;
  if (!backupIncomplete_->isHidden()) warnings << backupIncomplete_->text();
  for (const TRefusedName& name : leftOut) warnings << RefusedNameLine(frame_->Language(), name);
  return ConfirmSendToController(*frame_, this, categories, frame_->Options().MachineDir(),
                                 warnings);
}

}  // namespace talvo::app
