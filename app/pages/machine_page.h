// The Machine page: the PC folder of the machine data, the eleven categories of machine
// data files to copy, and the buttons and progress of a backup or restore.
#pragma once

#include <array>

#include "app/pages/page.h"
#include "app/pages/page_controls.h"

class QCheckBox;
class QGroupBox;

namespace talvo::app {

class TMachinePage : public TPage {
 public:
  // Ladder, I/O, parameters, tools and globals, D registers, PLC alarm texts, user
  // parameter texts, graphics, alarm log, operation log, screen settings.
  static constexpr int kCategories = 11;

  explicit TMachinePage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;

  // The folder shown in `EditMachine`.
  void SetMachineFolder(const QString& folder);
  // The check box of category 0..10, in the order above.
  QCheckBox* CategoryBox(int category) const;

 private:
  TFolderRow folder_;
  QGroupBox* groupBoxTransMachine_;
  std::array<QCheckBox*, kCategories> categories_{};
  QPushButton* upload_;
  QPushButton* download_;
};

}  // namespace talvo::app
