// A change the settings file did not take is told to the user at once, naming the file and
// the reason, so that nobody believes a setting is kept that is not. One message per action.
#pragma once

class QWidget;

namespace talvo::app {

class TIniFile;
class TLanguage;

// Shows the file's LastError in a warning box.
void ShowSettingsNotSaved(QWidget* parent, const TLanguage& language, const TIniFile& file);

}  // namespace talvo::app
