// The Option page: the settings a user may change here — the interface language, how long
// the command-result dialog stays after a write, and the reconnection policy. The settings
// file is the page's only state: edits count once Apply writes them, Cancel reloads the
// controls from the file. The reconnection policy reaches the running service at Apply; the
// language only at the next start.
#pragma once

#include "app/pages/page.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace talvo {
class TTalvoService;
}

namespace talvo::app {

class TOptions;

class TOptionPage : public TPage {
 public:
  TOptionPage(TOptions& options, TTalvoService& service, QWidget* parent = nullptr);

  // Sets every control from the settings file; the frame calls it once at start-up.
  void LoadOptionsPage();
  void LoadCaptions(const TLanguage& language) override;
  void Attach(TFormMain& frame) override;

 private:
  QGroupBox* BuildLanguageGroup();
  QLayout* BuildDelayTimeRow();
  QGroupBox* BuildReconnectGroup();
  QLayout* BuildButtonRow();

  // Both check boxes' handler: the controls that only matter while reconnecting is on.
  void UpdateReconnectControls();
  void SpeedButtonOptionApplyClick();
  // A count the user typed into `edit`: a whole number of at least 0 replaces the stored
  // one (written only when it differs); anything else keeps the stored one. The edit shows
  // the value that holds afterwards.
  void ApplyCount(QLineEdit* edit, const char* key, int stored);

  TOptions& options_;
  TTalvoService& service_;
  TFormMain* frame_ = nullptr;  // for its language, once attached
  int runningLanguage_ = -1;     // the language the captions were loaded in

  QGroupBox* RadioGroupLanguage;
  QButtonGroup* languageItems_;
  QRadioButton* RadioBIG5;
  QRadioButton* RadioGB;
  QRadioButton* RadioENG;
  QLabel* LabelLanguageNextStart;
  QLabel* labelDelayTime;
  QSlider* trackbarDelayTime;
  QLineEdit* editDelayTime;
  QGroupBox* GroupBoxReconnect;
  QCheckBox* CheckBoxEnableReconnect;
  QCheckBox* CheckBoxReconnectTimes;
  QLineEdit* EditReconnectTimes;
  QLabel* LabelRetryDelayTime;
  QLineEdit* EditRetryDelayTime;
  QLabel* LabelRetryDelayTimeUnit;
  QPushButton* SpeedButtonOptionApply;
  QPushButton* SpeedButtonOptionCancel;
};

}  // namespace talvo::app
