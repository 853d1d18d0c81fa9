#include "app/frame/settings_failure.h"

#include "app/frame/message_box.h"
#include "app/language/language.h"
#include "app/settings/key_file.h"

namespace talvo::app {

void ShowSettingsNotSaved(QWidget* parent, const TLanguage& language, const TIniFile& file) {
  // Paths and the system's reasons are the host's UTF-8, whatever the interface language.
  const QString text = language.Caption("MainString", "SettingsNotSaved")
                           .arg(QString::fromStdString(file.FileName().string()),
                                QString::fromStdString(file.LastError()));
  ShowMessageBox(parent, TMessageBox{{}, text, QMessageBox::Warning});
}

}  // namespace talvo::app
