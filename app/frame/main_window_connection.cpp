// The main window's side of connecting: the machine menu, the service's events and the
// connection display, the key parameters of a new connection, and the flashing lamps.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include "app/frame/connection_texts.h"
#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/frame/settings_failure.h"
#include "app/frame/status_band.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/pages/alarm_page.h"
#include "app/pages/parameter_page.h"
#include "app/pages/position_page.h"
#include "app/pages/upgrade_page.h"
#include "app/pages/work_page.h"
#include "app/widgets/stale_marks.h"
#include "app/widgets/value_text.h"
#include "link/transport.h"
#include "link/vandircnc.h"

namespace talvo::app {
namespace {

// The key parameters, by their number, in the order of their flags: the letters of axes
// 4, 5 and 6 and the controller's screen language.
constexpr std::array<int, 4> kKeyParameters = {122, 288, 289, 202};
constexpr int kParameterBlock = 100;

// The controller's alarm, warning and history lists, emptied for each new connection.
constexpr const char* kControllerLists[] = {"WarningMassage", "AlarmMassage", "MemoHistoryList",
                                            "MemoOpHistoryList"};

void SetText(QWidget* root, const char* name, const QString& text) {
  if (auto* label = root->findChild<QLabel*>(name)) label->setText(text);
  else if (auto* value = root->findChild<ValueText*>(name)) value->setText(text);
  else if (auto* edit = root->findChild<QLineEdit*>(name)) edit->setText(text);
}

void ClearText(QWidget* root, const char* name) {
  QWidget* widget = root->findChild<QWidget*>(name);
  if (!widget) return;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->clear();
  else QMetaObject::invokeMethod(widget, "clear");
}

void ShowProgress(QWidget* root, const char* bar, const char* label, int percent) {
  if (auto* progress = root->findChild<QProgressBar*>(bar)) progress->setValue(percent);
  if (label) SetText(root, label, QString::number(percent) + "%");
}

// A group box the window colours; the colour is kept as a property for anyone describing it.
void SetBoxColor(QWidget* box, const QColor& color) {
  if (!box) return;
  box->setProperty("color", color.isValid() ? QVariant(color) : QVariant());
  box->setAutoFillBackground(color.isValid());
  QPalette palette = box->palette();
  palette.setColor(QPalette::Window, color.isValid() ? color : QApplication::palette().color(QPalette::Window));
  box->setPalette(palette);
}

}  // namespace

void TFormMain::BindServiceEvents() {
  TTalvoService& s = *service_;
  s.OnConnecting = [this](TTalvoService*) { ServiceConnecting(); };
  s.OnConnect = [this](TTalvoService*) { ServiceConnect(); };
  s.OnDisconnect = [this](TTalvoService*, EProcessKind kind, EConnectState state, int level) {
    ServiceDisconnect(kind, state, level);
  };
  s.OnError = [this](TTalvoService*, EProcessKind kind, int error) { ServiceError(kind, error); };
  s.OnConnectStateChange = [this](TTalvoService*, EConnectState state) {
    ServiceConnectStateChange(state);
  };
  s.OnProgress = [this](TTalvoService*, EProcessKind kind, int percent) {
    ServiceProgress(kind, percent);
  };
  s.OnProcessFinish = [this](TTalvoService*, EProcessKind kind) { ServiceProcessFinish(kind); };
  s.OnCmdListExecute = [this](TTalvoService*, EProcessKind kind, int index) {
    ServiceCmdListExecute(kind, index);
  };
  s.OnAbortCmdList = [this](TTalvoService*, EProcessKind kind) { ServiceAbortCmdList(kind); };
  s.OnFileOverwrite = [this](TTalvoService*, EProcessKind kind, std::string name, int& result) {
    ServiceFileOverwrite(kind, name, result);
  };
  s.OnConnectCountdown = [this](TTalvoService*, int remain) { ServiceConnectCountdown(remain); };
}

// --- Machine list ------------------------------------------------------------------------

void TFormMain::BuildMachineMenu() {
  PopupMenuMachine->clear();
  const int count = machines_.Count();
  for (int n = 0; n < count; ++n) {
    QAction* item = PopupMenuMachine->addAction(language_->Decode(machines_.MenuCaption(n)));
    item->setData(n);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, n] { ConnectMachine(n); });
  }
  // A list without machines still opens, and says where machines are added.
  QAction* empty =
      PopupMenuMachine->addAction(language_->Caption("MainString", "MachineListEmpty"));
  empty->setVisible(count == 0);
  empty->setEnabled(false);
}

int TFormMain::CheckConnectedMachine() {
  const QList<QAction*> items = PopupMenuMachine->actions();
  const int count = std::min<int>(machines_.Count(), static_cast<int>(items.size()) - 1);
  const bool none = service_->GetProcessKind() == pkNone;
  int found = -1;
  for (int n = 0; n < count; ++n) {
    const bool match = !none && machines_.Ip(n) == service_->GetCncIP();
    items[n]->setChecked(match);
    if (match && found < 0) found = n;
  }
  return found;
}

QString TFormMain::MachineCaption(int index) {
  if (index < 0) return {};
  return " [" + PopupMenuMachine->actions()[index]->text() + "]";
}

void TFormMain::ConnectMachine(int index) {
  if (demo_ || index < 0 || index >= machines_.Count()) return;
  ConnectToAddress(machines_.Ip(index));
}

bool TFormMain::ConnectToAddress(const std::string& address) {
  if (demo_) return false;
  const EProcessKind kind = service_->GetProcessKind();
  // The machine already connected, or being connected, is left alone.
  if (kind != pkNone && kind != pkConnectCountdown && service_->GetCncIP() == address) return true;
  service_->CloseConnect();
  return service_->ConnectToMachine(1, address, -1, "", home_ + "Resource/",
                                    options_.RemoteZPath(), displayStrings_->Path().string(),
                                    language_code_);
}

// --- Service events ----------------------------------------------------------------------

void TFormMain::ServiceConnecting() {
  service_->AllInfoSetInactive();
  if (service_->GetCncIP() != shownMachine_) {
    for (TPage* page : pages_) page->MachineChanged();
    for (const char* list : kControllerLists) ClearText(this, list);
  }
  for (TPage* page : pages_) MarkValuesStale(*page, true);
  StatusBand->SetConnectText(language_->Caption("MainString", "LabelConnecting"), colors::kGreen);
  FlashConnectLampTimer->start();
  setWindowTitle(language_->Caption("MainString", "Form") + MachineCaption(CheckConnectedMachine()));
}

void TFormMain::ServiceConnectStateChange(EConnectState state) {
  StatusBand->LabelConnectStatus->setText(language_->Caption("MainString", "LabelConnecting") +
                                          "(" + QString::number(11 - state) + ")");
}

void TFormMain::ServiceConnect() {
  activity_ = maParamStart;
  keyParameterWait_ = true;
  keyParameterSeen_.fill(false);
  keyParametersAnswered_ = false;
  keyParameterRounds_ = 0;
  // Read directly, not left to the service's polls: polls at every tick would keep the
  // transport busy at the very moments the wait below looks for it idle, and under load it
  // could miss every idle moment and never complete the connection.
  infos_->Parameter.Update(false);
  activity_ = maParamWait;
  // The first events of the parameter object may hand out the link's empty cache; the key
  // parameters count once the requests just queued have all been answered.
  KeyParameterTimer->start();
}

void TFormMain::ServiceDisconnect(EProcessKind kind, EConnectState state, int level) {
  KeyParameterTimer->stop();
  keyParameterWait_ = false;
  if (dialogs_.ReturnCode) dialogs_.ReturnCode->LinkLost();
  StatusBand->SetConnectLamps(colors::kDarkGreen);
  setWindowTitle(language_->Caption("MainString", "Form"));
  SpeedButtonSendMsgToNc->setEnabled(false);
  stopLoading_ = true;
  for (TPage* page : pages_) MarkValuesStale(*page, true);
  CheckConnectedMachine();
  StatusBand->SetConnectText(language_->Caption("MainString", "LabelDisConnect") +
                                 DisconnectReason(*language_, kind, state, level),
                             colors::kRed);
  if (kind >= pkGetFileList && kind <= pkWaitOverwrite)
    if (TPage* page = ActivityPage()) page->FileJobDropped(kind);
}

void TFormMain::ServiceConnectCountdown(int remainTime) {
  setWindowTitle(language_->Caption("MainString", "Form") + MachineCaption(CheckConnectedMachine()) +
                 CountdownSuffix(remainTime));
}

void TFormMain::ServiceError(EProcessKind kind, int errorNo) {
  const QString text = FileJobErrorText(*language_, kind, errorNo);
  if (!text.isEmpty()) ShowMessageBox(this, {{}, text, QMessageBox::Warning});
  if (TPage* page = ActivityPage()) page->FileJobFailed(kind);
}

TPage* TFormMain::ActivityPage() const {
  switch (activity_) {
    case maHistory:
    case maOpHistory:
      return PageByTag(page_tag::kAlarm);
    case maMachineUpload:
    case maMachineDownload:
    case maMachineCompare:
      return PageByTag(page_tag::kMachine);
    case maNCFiles:
      return PageByTag(page_tag::kNCFiles);
    case maSetupUpload:
      return PageByTag(page_tag::kUpgrade);
    default:
      return nullptr;
  }
}

void TFormMain::ServiceProgress(EProcessKind, int percent) {
  switch (activity_) {
    case maHistory:
    case maOpHistory:
      ShowProgress(this, "ProgressBarHistory", nullptr, percent);
      break;
    case maMachineUpload:
    case maMachineDownload:
    case maMachineCompare:
      ShowProgress(this, "ProgressBarMachineFiles", "LabelMachineFilesPercentage", percent);
      break;
    case maSetupUpload:
      ShowProgress(this, "ProgressBarSetup", "LabelSetupPercentage", percent);
      break;
    case maNCFiles:
      ActivityPage()->FileJobProgress(percent);
      break;
    default:
      break;
  }
}

void TFormMain::ServiceProcessFinish(EProcessKind kind) {
  TPage* page = ActivityPage();
  if (page) page->FileJobFinished(kind);
  // A comparison ends with its rows, not with a box.
  if (activity_ != maNCFiles && activity_ != maMachineCompare)
    ShowMessage(this, language_->Caption("FileTrans", "FINISH"));
}

void TFormMain::ServiceCmdListExecute(EProcessKind kind, int index) {
  const char* label = nullptr;
  switch (activity_) {
    case maMachineUpload:
    case maMachineDownload:
    case maMachineCompare:
      label = "LabelMachineDataFileName";
      break;
    case maSetupUpload:
      label = "LabelSetupFileName";
      break;
    case maNCFiles:
      ActivityPage()->FileJobListExecute(kind, index);
      return;
    default:
      return;
  }
  ActivityPage()->FileJobListExecute(kind, index);
  const SFileCommand* item = service_->GetCmdListItems(index);
  if (!item) return;
  // A folder being made is named whole, a file by its name alone.
  const std::string name1 = item->Name1;
  const std::string shown =
      kind == pkDirCreate ? name1 : name1.substr(name1.find_last_of("/\\") + 1);
  SetText(this, label, QString::fromStdString(shown));
}

void TFormMain::ServiceAbortCmdList(EProcessKind kind) {
  if (TPage* page = ActivityPage()) page->FileJobAborted(kind);
}

void TFormMain::ServiceFileOverwrite(EProcessKind kind, const std::string& fileName, int& result) {
  result = activity_ == maNCFiles ? ActivityPage()->FileJobOverwrite(kind, fileName)
                                  : kAnswerYesToAll;
}

// --- Connection completion ---------------------------------------------------------------

void TFormMain::CheckKeyParametersAnswered() {
  if (!keyParameterWait_) {
    KeyParameterTimer->stop();
    return;
  }
  if (!service_->GetSessionReady() || !service_->Link()->SendCMD->IsIdle()) return;
  // A request the busy list turned away in the first round is asked again in a second.
  // The object is read directly: a page shown meanwhile may have switched it off.
  if (++keyParameterRounds_ < 2) {
    infos_->Parameter.Update(false);
    return;
  }
  KeyParameterTimer->stop();
  keyParametersAnswered_ = true;
  // Every block again, now from what the controller sent.
  infos_->Parameter.Update(true);
}

void TFormMain::ParameterChange() {
  const int first = infos_->Parameter.ChunkStart();
  if (keyParameterWait_) {
    if (!keyParametersAnswered_) return;
    for (std::size_t k = 0; k < kKeyParameters.size(); ++k)
      if (kKeyParameters[k] > first && kKeyParameters[k] <= first + kParameterBlock)
        keyParameterSeen_[k] = true;
    if (std::all_of(keyParameterSeen_.begin(), keyParameterSeen_.end(), [](bool b) { return b; }))
      CompleteConnection();
    return;
  }
  // A key parameter changed later (a maker edited it): the letters and language follow.
  if (activity_ == maParamStart) return;
  for (std::size_t k = 0; k < kKeyParameters.size(); ++k) {
    const int n = kKeyParameters[k];
    if (n > first && n <= first + kParameterBlock &&
        infos_->Parameter.Value(n - 1) != appliedKeyParameters_[k]) {
      ApplyKeyParameters();
      return;
    }
  }
}

void TFormMain::CompleteConnection() {
  keyParameterWait_ = false;
  StatusBand->SetConnectText(language_->Caption("MainString", "LabelConnect"), colors::kBlue);
  StatusBand->SetConnectLamps(colors::kBlue);
  SpeedButtonSendMsgToNc->setEnabled(true);
  const QString version = language_->Decode(service_->GetNcVersion());
  upgradePage_->SetNcVersion(version);
  systemType_ = version.size() >= 5 && version[4] == QLatin1Char('M') ? 0 : 1;
  const bool systemTypeSaved = ApplySystemType();
  activity_ = maIdle;
  for (const char* list : kControllerLists) ClearText(this, list);
  shownMachine_ = service_->GetCncIP();
  for (TPage* page : pages_) MarkValuesStale(*page, false);
  LoadParameterIndex();
  stopLoading_ = false;
  for (TPage* page : pages_) page->ConnectionCompleted();
  PageControlMainChange(PageControlMain->currentIndex());
  if (dialogs_.Password) dialogs_.Password->SetShowNextTime(false);
  ApplyKeyParameters();
  // Told once the pages are ready: the connection is usable whether the file took it or not.
  if (!systemTypeSaved) ShowSettingsNotSaved(this, *language_, settings_);
  if (OnConnectionCompleted) OnConnectionCompleted();
}

void TFormMain::LoadParameterIndex() {
  ParamIndexResult read = ReadParamIndex(home_ + "Resource/param.idx");
  switch (read.Status) {
    case ParamIndexStatus::CannotOpen:
      ShowMessageBox(this, {"Error", kParamIndexOpenError, QMessageBox::Critical});
      break;
    case ParamIndexStatus::Invalid:
      // Tables of an earlier connection stay and the box says why; without any, the faulty
      // index goes to the Parameter page, whose fill reports it once and keeps its panel up.
      if (paramIndex_->RecordsRead > 0)
        ShowMessageBox(this, {"Error", language_->Caption("FileString", "Msg_Param_Index_Data_Error"),
                              QMessageBox::Critical});
      else
        *paramIndex_ = std::move(read.Index);
      break;
    case ParamIndexStatus::Ok:
      *paramIndex_ = std::move(read.Index);
      break;
  }
  // The tables stay as they were when the index could not be read; the Parameter page
  // sizes and fills its grids from them once the connection is complete.
}

void TFormMain::ApplyKeyParameters() {
  for (std::size_t k = 0; k < kKeyParameters.size(); ++k)
    appliedKeyParameters_[k] = infos_->Parameter.Value(kKeyParameters[k] - 1);
  controllerLanguage_ = app::ControllerLanguage(appliedKeyParameters_[3], controllerLanguage_);
  axisLetters_ = {"X", "Y", "Z", AxisLetter(appliedKeyParameters_[0]),
                  AxisLetter(appliedKeyParameters_[1]), AxisLetter(appliedKeyParameters_[2])};
  positionPage_->SetAxisLetters(axisLetters_, language_->Caption("Pos", "MToolsLength_Label"));
  for (int i = 0; i < 6; ++i)
    SetText(this, ("LabelHardwareAxis" + std::to_string(i + 1)).c_str(),
            axisLetters_[static_cast<std::size_t>(i)]);
}

// --- Timers and the always-polled objects ------------------------------------------------

void TFormMain::FlashConnectLampTimerTimer() {
  if (service_->GetProcessKind() != pkConnecting) {
    FlashConnectLampTimer->stop();
    return;
  }
  StatusBand->BlinkConnectLamps();
}

void TFormMain::TimerAlarmWarnFlashTimer() {
  const bool ready = service_->GetSessionReady();
  const struct {
    bool active;
    bool& flashing;
    const char* box;
    QLabel* label;
  } kinds[] = {{ready && infos_->AlarmWarning.AlarmCount() > 0, alarmFlashing_, "AlarmGroup",
                StatusBand->LabelAlarm},
               {ready && infos_->AlarmWarning.WarningCount() > 0, warningFlashing_, "WarningGroup",
                StatusBand->LabelWarning}};
  for (const auto& k : kinds) {
    QWidget* box = findChild<QWidget*>(k.box);
    if (k.active) {
      const bool red = box && box->property("color").value<QColor>() == colors::kRed;
      SetBoxColor(box, red ? QColor() : colors::kRed);
      k.label->setEnabled(true);
      k.flashing = true;
    } else if (k.flashing) {
      SetBoxColor(box, QColor());
      k.label->setEnabled(false);
      k.flashing = false;
    }
  }
  if (alarmFlashing_ || warningFlashing_) {
    StatusBand->BlinkAlarmLamps();
  } else {
    StatusBand->DarkenAlarmLamps();
    TimerAlarmWarnFlash->stop();
  }
}

void TFormMain::AlarmWarningChange() {
  // Restarting a running timer at every list would hold its first tick off for as long as
  // lists keep coming faster than the interval.
  if (!TimerAlarmWarnFlash->isActive()) TimerAlarmWarnFlash->start();
}

}  // namespace talvo::app
