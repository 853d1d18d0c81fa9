#include "app/pages/folder_choice.h"

#include <QFileDialog>

namespace talvo::app {

QString ChooseFolder(QWidget* parent, const QString& caption, const QString& start) {
  QString folder = QFileDialog::getExistingDirectory(parent, caption, start,
                                                     QFileDialog::ShowDirsOnly |
                                                         QFileDialog::DontUseNativeDialog);
  if (folder.isEmpty()) return folder;
  if (!folder.endsWith('/')) folder += '/';
  return folder;
}

}  // namespace talvo::app
