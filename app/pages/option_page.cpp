#include "app/pages/option_page.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <utility>

#include "app/frame/main_window.h"
#include "app/frame/settings_failure.h"
#include "app/language/language.h"
#include "app/settings/options.h"
#include "service/talvo_service.h"

namespace talvo::app {
namespace {

// The command-result dialog stays at most this many seconds.
constexpr int kLongestShowTime = 5;
constexpr int kEnglish = 2;
constexpr int kNumberEditWidth = 64;
constexpr int kColumnWidth = 360;

template <class W, class... Args>
W* Named(const char* name, Args&&... args) {
  auto* widget = new W(std::forward<Args>(args)...);
  widget->setObjectName(name);
  return widget;
}

}  // namespace

TOptionPage::TOptionPage(TOptions& options, TTalvoService& service, QWidget* parent)
    : TPage("TabSheetOption", page_tag::kOption, parent), options_(options), service_(service) {
  auto* column = new QVBoxLayout;
  column->setSpacing(12);
  column->addWidget(BuildLanguageGroup());
  column->addLayout(BuildDelayTimeRow());
  column->addWidget(BuildReconnectGroup());
  column->addLayout(BuildButtonRow());
  column->addStretch(1);
  // The few controls keep their natural width instead of spreading over a wide window.
  auto* page = new QHBoxLayout(this);
  page->addLayout(column);
  page->addStretch(1);
}

QGroupBox* TOptionPage::BuildLanguageGroup() {
  RadioGroupLanguage = Named<QGroupBox>("RadioGroupLanguage");
  RadioGroupLanguage->setMinimumWidth(kColumnWidth);
  RadioBIG5 = Named<QRadioButton>("RadioBIG5");
  RadioGB = Named<QRadioButton>("RadioGB");
  RadioENG = Named<QRadioButton>("RadioENG");
  // The item ids are the values of "LANGUAGE"; with none checked the group answers -1.
  languageItems_ = new QButtonGroup(this);
  auto* items = new QVBoxLayout(RadioGroupLanguage);
  int code = 0;
  for (QRadioButton* item : {RadioBIG5, RadioGB, RadioENG}) {
    languageItems_->addButton(item, code++);
    items->addWidget(item);
  }
  LabelLanguageNextStart = Named<QLabel>("LabelLanguageNextStart");
  LabelLanguageNextStart->setWordWrap(true);
  LabelLanguageNextStart->hide();
  items->addWidget(LabelLanguageNextStart);
  return RadioGroupLanguage;
}

QLayout* TOptionPage::BuildDelayTimeRow() {
  labelDelayTime = Named<QLabel>("labelDelayTime");
  trackbarDelayTime = Named<QSlider>("trackbarDelayTime", Qt::Horizontal);
  trackbarDelayTime->setRange(0, kLongestShowTime);
  trackbarDelayTime->setSingleStep(1);
  trackbarDelayTime->setPageStep(1);
  trackbarDelayTime->setTickInterval(1);
  trackbarDelayTime->setTickPosition(QSlider::TicksBelow);
  trackbarDelayTime->setMinimumWidth(150);
  editDelayTime = Named<QLineEdit>("editDelayTime");
  editDelayTime->setReadOnly(true);
  editDelayTime->setFixedWidth(kNumberEditWidth / 2);
  editDelayTime->setAlignment(Qt::AlignCenter);
  connect(trackbarDelayTime, &QSlider::valueChanged, editDelayTime,
          [this](int seconds) { editDelayTime->setText(QString::number(seconds)); });

  auto* row = new QHBoxLayout;
  row->addWidget(labelDelayTime);
  row->addWidget(trackbarDelayTime, 1);
  row->addWidget(editDelayTime);
  return row;
}

QGroupBox* TOptionPage::BuildReconnectGroup() {
  GroupBoxReconnect = Named<QGroupBox>("GroupBoxReconnect");
  GroupBoxReconnect->setMinimumWidth(kColumnWidth);
  CheckBoxEnableReconnect = Named<QCheckBox>("CheckBoxEnableReconnect");
  CheckBoxReconnectTimes = Named<QCheckBox>("CheckBoxReconnectTimes");
  EditReconnectTimes = Named<QLineEdit>("EditReconnectTimes");
  LabelRetryDelayTime = Named<QLabel>("LabelRetryDelayTime");
  EditRetryDelayTime = Named<QLineEdit>("EditRetryDelayTime");
  LabelRetryDelayTimeUnit = Named<QLabel>("LabelRetryDelayTimeUnit");
  for (QLineEdit* edit : {EditReconnectTimes, EditRetryDelayTime}) {
    edit->setFixedWidth(kNumberEditWidth);
    edit->setAlignment(Qt::AlignRight);
  }
  for (QCheckBox* box : {CheckBoxEnableReconnect, CheckBoxReconnectTimes})
    connect(box, &QCheckBox::toggled, this, [this] { UpdateReconnectControls(); });

  auto* grid = new QGridLayout(GroupBoxReconnect);
  grid->addWidget(CheckBoxEnableReconnect, 0, 0, 1, 3);
  grid->addWidget(CheckBoxReconnectTimes, 1, 0);
  grid->addWidget(EditReconnectTimes, 1, 1);
  grid->addWidget(LabelRetryDelayTime, 2, 0);
  grid->addWidget(EditRetryDelayTime, 2, 1);
  grid->addWidget(LabelRetryDelayTimeUnit, 2, 2);
  grid->setColumnStretch(2, 1);
  return GroupBoxReconnect;
}

QLayout* TOptionPage::BuildButtonRow() {
  SpeedButtonOptionApply = Named<QPushButton>("SpeedButtonOptionApply");
  SpeedButtonOptionCancel = Named<QPushButton>("SpeedButtonOptionCancel");
  connect(SpeedButtonOptionApply, &QPushButton::clicked, this,
          [this] { SpeedButtonOptionApplyClick(); });
  connect(SpeedButtonOptionCancel, &QPushButton::clicked, this, [this] { LoadOptionsPage(); });
  auto* row = new QHBoxLayout;
  row->addWidget(SpeedButtonOptionApply);
  row->addWidget(SpeedButtonOptionCancel);
  row->addStretch(1);
  return row;
}

void TOptionPage::LoadCaptions(const TLanguage& language) {
  const auto caption = [&language](const char* key) { return language.Caption("Option", key); };
  RadioGroupLanguage->setTitle(caption("LanguageGroup"));
  RadioBIG5->setText(caption("RadioBIG5"));
  RadioGB->setText(caption("RadioGB"));
  RadioENG->setText(caption("RadioENG"));
  labelDelayTime->setText(caption("DelayTime"));
  GroupBoxReconnect->setTitle(caption("GroupBoxReconnect"));
  CheckBoxEnableReconnect->setText(caption("CheckBoxEnableReconnect"));
  CheckBoxReconnectTimes->setText(caption("CheckBoxReconnectTimes"));
  LabelRetryDelayTime->setText(caption("LabelRetryDelayTime"));
  LabelRetryDelayTimeUnit->setText(caption("LabelRetryDelayTimeUnit"));
  SpeedButtonOptionApply->setText(caption("Apply_Label"));
  SpeedButtonOptionCancel->setText(caption("Cancel_Label"));
  LabelLanguageNextStart->setText(caption("LanguageNextStart"));
  runningLanguage_ = language.Code();
}

void TOptionPage::LoadOptionsPage() {
  // Read as stored: loading the page repairs nothing.
  const int language = options_.File().ReadInteger(kOptions, "LANGUAGE", kEnglish);
  if (QAbstractButton* item = languageItems_->button(language)) {
    item->setChecked(true);
  } else {
    // The user language (3) has no item here: none is shown as chosen. An exclusive group
    // refuses to uncheck its last item, so it is let go of for the moment.
    languageItems_->setExclusive(false);
    for (QAbstractButton* other : languageItems_->buttons()) other->setChecked(false);
    languageItems_->setExclusive(true);
  }
  // The bar holds the stored time within its range; the edit echoes the bar.
  trackbarDelayTime->setValue(options_.ShowTimer());
  editDelayTime->setText(QString::number(trackbarDelayTime->value()));
  CheckBoxEnableReconnect->setChecked(options_.EnableReconnect());
  CheckBoxReconnectTimes->setChecked(options_.EnableReconnectTimes());
  UpdateReconnectControls();
  EditReconnectTimes->setText(QString::number(options_.NumberReconnectTimes()));
  EditRetryDelayTime->setText(QString::number(options_.ReconnectDelaySeconds()));
}

void TOptionPage::UpdateReconnectControls() {
  const bool reconnect = CheckBoxEnableReconnect->isChecked();
  CheckBoxReconnectTimes->setEnabled(reconnect);
  LabelRetryDelayTime->setEnabled(reconnect);
  EditRetryDelayTime->setEnabled(reconnect);
  LabelRetryDelayTimeUnit->setEnabled(reconnect);
  EditReconnectTimes->setEnabled(reconnect && CheckBoxReconnectTimes->isChecked());
}

void TOptionPage::Attach(TFormMain& frame) { frame_ = &frame; }

void TOptionPage::SpeedButtonOptionApplyClick() {
  TIniFile& file = options_.File();
  // One change of the file: the page's settings are kept together or not at all.
  TIniUpdate update(file);
  file.WriteInteger(kOptions, "LANGUAGE", languageItems_->checkedId());
  file.WriteInteger(kOptions, "SHOWTIMER", trackbarDelayTime->value());
  file.WriteBool(kOptions, "ENABLE_RECONNECT", CheckBoxEnableReconnect->isChecked());
  file.WriteBool(kOptions, "ENABLE_RECONNECT_TIMES", CheckBoxReconnectTimes->isChecked());
  ApplyCount(EditReconnectTimes, "NUMBER_RECONNECT_TIMES", options_.NumberReconnectTimes());
  ApplyCount(EditRetryDelayTime, "RECONNECT_DELAY_TIME", options_.ReconnectDelaySeconds());
  const bool saved = update.Commit();

  // The service gets the policy as the file holds it, the same way it got it at start-up.
  service_.KeepConnect = options_.EnableReconnect();
  service_.KeepConnectCount = options_.KeepConnectCount();
  service_.SetKeepConnectInterval(options_.KeepConnectInterval());
  // The window keeps the language it started with; the user is told when that is no longer
  // the one chosen.
  LabelLanguageNextStart->setVisible(file.ReadInteger(kOptions, "LANGUAGE", kEnglish) !=
                                     runningLanguage_);
  if (saved) return;
  // The page shows what the file still holds rather than edits that were never stored.
  LoadOptionsPage();
  if (frame_) ShowSettingsNotSaved(this, frame_->Language(), file);
}

void TOptionPage::ApplyCount(QLineEdit* edit, const char* key, int stored) {
  bool number = false;
  const int typed = edit->text().trimmed().toInt(&number, 10);
  const int value = number && typed >= 0 ? typed : stored;
  edit->setText(QString::number(value));
  if (value != stored) options_.File().WriteInteger(kOptions, key, value);
}

}  // namespace talvo::app
