// The Upgrade page: the controller's software version, and the PC folder of setup files
// sent to the controller for an upgrade, with the progress of the upload.
#pragma once

#include "app/pages/page.h"
#include "app/pages/page_controls.h"
#include "app/pages/page_job.h"
#include "app/pages/setup_tree.h"

namespace talvo::app {

class TUpgradePage : public TPage {
 public:
  explicit TUpgradePage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;
  void Attach(TFormMain& frame) override;
  void PageShown() override;
  void FileJobListExecute(EProcessKind kind, int index) override;
  void FileJobFinished(EProcessKind kind) override;
  void FileJobFailed(EProcessKind kind) override;
  void FileJobDropped(EProcessKind kind) override;

  // The folder shown in `EditSetup`.
  void SetSetupFolder(const QString& folder);
  // The controller's version text shown in `NCVerBox`.
  void SetNcVersion(const QString& version);

  // Sends the whole setup folder into the controller's staging folder.
  void ButtonSetupUploadClick();

 private:
  void ButtonSetupChangePathClick();
  // A setup that cannot be read whole is refused with the reasons; else the user is asked
  // (machine, files, folder, what is left out). True when it may go.
  bool ConfirmSetup(const TSetupJob& setup);

  TFormMain* frame_ = nullptr;
  QLabel* versionLabel_;
  QLineEdit* version_;
  TFolderRow folder_;
  QPushButton* upload_;
  TProgressRow progress_;
  // The setup last handed to the service.
  TPageJob job_;
};

}  // namespace talvo::app
