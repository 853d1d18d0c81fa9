// The Machine page: the PC folder of the machine data, the eleven categories of machine
// data files to copy, and the buttons and progress of a backup or restore.
#pragma once

#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/pages/file_job_steps.h"
#include "app/pages/machine_data_files.h"
#include "app/pages/page.h"
#include "app/pages/page_controls.h"
#include "app/pages/page_job.h"
#include "text/backup/comparison.h"

class QCheckBox;
class QGroupBox;

namespace talvo::app {

class TFormCompare;

class TMachinePage : public TPage {
 public:
  // Ladder, I/O, parameters, tools and globals, D registers, PLC alarm texts, user
  // parameter texts, graphics, alarm log, operation log, screen settings.
  static constexpr int kCategories = kMachineCategories;

  explicit TMachinePage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;
  void Attach(TFormMain& frame) override;
  void ApplySystemType(int type) override;
  void PageShown() override;
  void FileJobListExecute(EProcessKind kind, int index) override;
  void FileJobFinished(EProcessKind kind) override;
  void FileJobFailed(EProcessKind kind) override;
  void FileJobDropped(EProcessKind kind) override;
  void FileJobAborted(EProcessKind kind) override;

  // A restore (PC to controller) and a backup (controller to PC) of the ticked categories.
  void ButtonUploadMachineFilesClick();
  void ButtonDownloadMachineFilesClick();
  // The differences between a backup folder the user picks and the connected controller,
  // whose files of every category are fetched into a private folder for it
  // (machine_page_compare.cpp).
  void ButtonCompareMachineFilesClick();
  void CompareWithBackup(const std::string& folder);

  // The folder shown in `EditMachine`.
  void SetMachineFolder(const QString& folder);
  // The check box of category 0..10, in the order above.
  QCheckBox* CategoryBox(int category) const;

 private:
  // A category can be chosen unless its count is 0; a box that can be chosen shows its
  // setting.
  void SetupCategoryBox(int category);
  // Stores the user's choice of a category in the settings file.
  void CategoryBoxClick(int category, bool checked);
  // While a backup or restore runs, its folder and categories stay as they were chosen.
  void SetJobRunning(bool running);
  // The mark of an unfinished backup in the machine folder (machine_page_backup.cpp):
  // written before a backup starts (false, with the reason shown, when it cannot be), taken
  // away when the backup ended whole, else left naming the files it missed; the page warns
  // while its folder holds one.
  bool MarkBackupStarted();
  void MarkBackupEnded(bool cutShort);
  void ShowBackupState();
  // A restore asks first, naming the machine, the categories, the folder, the files it
  // leaves out and an unfinished backup in the folder.
  bool ConfirmRestore(const QStringList& categories, const std::vector<TRefusedName>& leftOut);
  void ButtonMachineClick();
  // The service free and the controller in a state the transfer may start in; else the
  // user, and for the state the controller's screen, are told why not.
  bool ReadyToTransfer(bool upload);
  void StartTransfer(bool upload);
  QStringList TickedCaptions(const std::array<bool, kCategories>& ticked) const;
  // Shows the rows once the controller's files are in, and lets go of them.
  void ShowComparison();

  TFormMain* frame_ = nullptr;
  int systemType_ = 0;
  // The job last handed to the service.
  TPageJob job_;
  bool jobRunning_ = false;
  std::string backupStarted_;  // when the backup under way started, as its mark says
  // The backup a comparison under way compares with, and where the controller's files land.
  struct TComparison {
    text::backup::BackupSide backup;
    std::unique_ptr<QTemporaryDir> fetched;
  };
  std::optional<TComparison> comparing_;
  TFormCompare* compareDialog_ = nullptr;

  TFolderRow folder_;
  QLabel* backupIncomplete_;
  QGroupBox* groupBoxTransMachine_;
  std::array<QCheckBox*, kCategories> categories_{};
  QPushButton* upload_;
  QPushButton* download_;
  QPushButton* compare_;
  TProgressRow progress_;
};

}  // namespace talvo::app
