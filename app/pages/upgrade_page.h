// The Upgrade page: the controller's software version, and the PC folder of setup files
// sent to the controller for an upgrade, with the progress of the upload.
#pragma once

#include "app/pages/page.h"
#include "app/pages/page_controls.h"

namespace talvo::app {

class TUpgradePage : public TPage {
 public:
  explicit TUpgradePage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;

  // The folder shown in `EditSetup`.
  void SetSetupFolder(const QString& folder);
  // The controller's version text shown in `NCVerBox`.
  void SetNcVersion(const QString& version);

 private:
  QLabel* versionLabel_;
  QLineEdit* version_;
  TFolderRow folder_;
  QPushButton* upload_;
};

}  // namespace talvo::app
