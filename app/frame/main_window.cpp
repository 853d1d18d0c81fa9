#include "app/frame/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

#include "app/curves/recorder_window.h"
#include "app/curves/trend_window.h"
#include "app/dialogs/about_dialog.h"
#include "app/dialogs/input_pad.h"
#include "app/dialogs/machine_list_dialog.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/process_info_dialog.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/dialogs/send_message_dialog.h"
#include "app/frame/settings_failure.h"
#include "app/frame/status_band.h"
#include "app/settings/program_home.h"
#include "app/pages/alarm_page.h"
#include "app/pages/hardware_page.h"
#include "app/pages/machine_page.h"
#include "app/pages/ncfiles_page.h"
#include "app/pages/option_page.h"
#include "app/pages/parameter_page.h"
#include "app/pages/plc_page.h"
#include "app/pages/position_page.h"
#include "app/pages/upgrade_page.h"
#include "app/pages/user_parameter2_page.h"
#include "app/pages/user_parameter_page.h"
#include "app/pages/work_page.h"

namespace talvo::app {
namespace {

// Tab keys of the pages, in tab order; the Option page is always shown.
struct PageTab {
  const char* captionKey;
  const char* showKey;
};
constexpr PageTab kTabs[] = {
    {"TabWork", "WORK_SHOW"},         {"TabPos", "POS_SHOW"},
    {"TabPLC", "PLC_SHOW"},           {"TabAlarm", "ALARM_SHOW"},
    {"TabParam", "PARAM_SHOW"},       {"TabUserParam", "USERPARAM_SHOW"},
    {"TabUserParam2", "USERPARAM2_SHOW"}, {"TabHardware", "HARDWARE_SHOW"},
    {"TabMachine", "MACHINEDATA_SHOW"}, {"TabNcfiles", "NCFILES_SHOW"},
    {"TabUpgrade", "UPGRADE_SHOW"},   {"TabOption", nullptr}};

QPushButton* ToolButton(QWidget* parent, const char* name) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setFixedSize(113, 29);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

// Keeps the user on the current page while a file job runs: clicks, keys and wheel turns on
// the tab bar are swallowed when the window says no.
class PageChangeGuard : public QObject {
 public:
  PageChangeGuard(QObject* parent, std::function<bool()> allowed)
      : QObject(parent), allowed_(std::move(allowed)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::Wheel:
        if (!allowed_()) return true;
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool()> allowed_;
};

// Double-clicking the logo opens the process information.
class DoubleClickFilter : public QObject {
 public:
  DoubleClickFilter(QObject* parent, std::function<void()> action)
      : QObject(parent), action_(std::move(action)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonDblClick) {
      action_();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> action_;
};

}  // namespace

QSize StartSize(QSize designed, QSize least, QSize room) {
  constexpr QSize kLargest(1600, 1000);
  if (room.width() < least.width() || room.height() < least.height()) return designed;
  return (room * 0.9).boundedTo(kLargest).expandedTo(designed).boundedTo(room);
}

TFormMain::TFormMain(const std::string& home, std::shared_ptr<const vandir::Clock> clock)
    : home_(home),
      settings_(home + kSettingsFileName),
      options_(settings_, home),
      machines_(settings_) {
  setObjectName("FormMain");
  resize(kDesignedSize);

  // The connect sequence keeps the controller's texts in Resource/, and the NC files page
  // starts in Ncfiles/; a new home has neither yet.
  std::error_code ec;
  std::filesystem::create_directories(home_ + "Resource", ec);
  std::filesystem::create_directories(home_ + "Ncfiles", ec);

  // Settings, languages and display strings.
  demo_ = options_.DemoMode();
  bool languageSaved = true;
  language_code_ = options_.Language(&languageSaved);
  language_ = std::make_unique<TLanguage>(home_, language_code_);
  displayStrings_ = std::make_unique<TDisplayStrings>(
      home_ + "Resource/" + TDisplayStrings::FileName(language_code_, demo_), language_code_);

  // The service and its policy.
  service_ = std::make_unique<TTalvoService>(this, std::move(clock));
  service_->SetProcessInterval(options_.ProcessInterval());
  service_->KeepConnect = options_.EnableReconnect();
  service_->KeepConnectCount = options_.KeepConnectCount();
  service_->SetKeepConnectInterval(options_.KeepConnectInterval());
  BindServiceEvents();

  // Controls: tool bar band, status band, pages.
  auto* central = new QWidget(this);
  central->setObjectName("PanelMain");
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* toolBand = new QWidget(central);
  toolBand->setObjectName("PanelToolBar");
  BuildToolBar(toolBand);
  column->addWidget(toolBand);
  StatusBand = new TStatusBand(central);
  column->addWidget(StatusBand);
  PageControlMain = new QTabWidget(central);
  PageControlMain->setObjectName("PageControlMain");
  column->addWidget(PageControlMain, 1);
  setCentralWidget(central);
  BuildPages();

  FlashConnectLampTimer = new QTimer(this);
  FlashConnectLampTimer->setObjectName("FlashConnectLampTimer");
  FlashConnectLampTimer->setInterval(100);
  connect(FlashConnectLampTimer, &QTimer::timeout, this, [this] { FlashConnectLampTimerTimer(); });
  TimerAlarmWarnFlash = new QTimer(this);
  TimerAlarmWarnFlash->setObjectName("TimerAlarmWarnFlash");
  connect(TimerAlarmWarnFlash, &QTimer::timeout, this, [this] { TimerAlarmWarnFlashTimer(); });
  KeyParameterTimer = new QTimer(this);
  KeyParameterTimer->setInterval(20);
  connect(KeyParameterTimer, &QTimer::timeout, this, [this] { CheckKeyParametersAnswered(); });

  CreateInformationObjects();
  LoadCaptions();
  BuildMachineMenu();
  PlaceOnScreen();

  TimerAlarmWarnFlash->setInterval(options_.AlarmWarnFlashInterval());
  messageToController_ = options_.MessageToController();

  for (std::size_t i = 0; i + 1 < std::size(kTabs); ++i)
    PageControlMain->setTabVisible(static_cast<int>(i), options_.PageShown(kTabs[i].showKey));
  PageControlMain->setCurrentIndex(0);
  currentPage_ = PageControlMain->currentIndex();
  connect(PageControlMain, &QTabWidget::currentChanged, this,
          [this](int index) { PageControlMainChange(index); });
  PageControlMain->tabBar()->installEventFilter(
      new PageChangeGuard(this, [this] { return PageChangeAllowed(); }));

  workPage_->ClearProgramTexts();
  for (TTCoordBox* box : positionPage_->CoordBoxes) {
    box->SetGroup(page_tag::kPosition);
    box->Attach(service_.get());
  }
  // Folders are the host's own paths, UTF-8 whatever the interface language.
  machinePage_->SetMachineFolder(QString::fromStdString(options_.MachineDir()));
  ncFilesPage_->SetNcFilesFolder(QString::fromStdString(options_.NcFilesDir()));
  upgradePage_->SetSetupFolder(QString::fromStdString(options_.SetupDir()));
  optionPage_->LoadOptionsPage();

  systemType_ = options_.LastSysType();
  const bool systemTypeSaved = ApplySystemType();
  // The start writes only repairs; one message covers both.
  if (!languageSaved || !systemTypeSaved) ShowSettingsNotSaved(this, *language_, settings_);

  const QPixmap logo(QString::fromStdString(home_ + "Resource/Logo.bmp"));
  if (!logo.isNull()) imgZDX->setPixmap(logo.scaled(imgZDX->size(), Qt::KeepAspectRatio));
}

TFormMain::~TFormMain() {
  stopLoading_ = true;
  // The curves' reads go before the service and the objects they sample.
  delete trendWindow_;
  trendWindow_ = nullptr;
  // The objects go before the service that polls them; the service closes the connection.
  for (TTCoordBox* box : positionPage_->CoordBoxes) box->Attach(nullptr);
  if (infos_)
    for (TTalvoInfo* info : infos_->All()) info->SetService(nullptr);
  infos_.reset();
  if (service_) service_->CloseConnect();
  service_.reset();
}

void TFormMain::BuildToolBar(QWidget* band) {
  auto* row = new QHBoxLayout(band);
  row->setContentsMargins(4, 2, 4, 2);
  SpeedButtonConnect = ToolButton(band, "SpeedButtonConnect");
  SpeedButtonAddWork = ToolButton(band, "SpeedButtonAddWork");
  SpeedButtonSendMsgToNc = ToolButton(band, "SpeedButtonSendMsgToNc");
  SpeedButtonSendMsgToNc->setEnabled(false);
  SpeedButtonDisconnect = ToolButton(band, "SpeedButtonDisconnect");
  SpeedButtonAbout = ToolButton(band, "SpeedButtonAbout");
  SpeedButtonExit = ToolButton(band, "SpeedButtonExit");
  SpeedButtonCurves = ToolButton(band, "SpeedButtonCurves");
  for (QPushButton* b : {SpeedButtonConnect, SpeedButtonAddWork, SpeedButtonSendMsgToNc,
                         SpeedButtonDisconnect, SpeedButtonAbout, SpeedButtonExit,
                         SpeedButtonCurves})
    row->addWidget(b);
  row->addStretch(1);
  imgZDX = new QLabel(band);
  imgZDX->setObjectName("imgZDX");
  imgZDX->setFixedSize(84, 37);
  imgZDX->installEventFilter(new DoubleClickFilter(this, [this] {
    if (dialogs_.ProcessInfo) dialogs_.ProcessInfo->show();
  }));
  row->addWidget(imgZDX);

  PopupMenuMachine = new QMenu(this);
  PopupMenuMachine->setObjectName("PopupMenuMachine");
  connect(SpeedButtonConnect, &QPushButton::clicked, this, [this] {
    PopupMenuMachine->popup(SpeedButtonConnect->mapToGlobal(SpeedButtonConnect->rect().bottomLeft()));
  });
  connect(SpeedButtonAddWork, &QPushButton::clicked, this, [this] { ShowMachineListDialog(); });
  connect(SpeedButtonSendMsgToNc, &QPushButton::clicked, this, [this] { ShowSendMessageDialog(); });
  connect(SpeedButtonDisconnect, &QPushButton::clicked, this, [this] { service_->CloseConnect(); });
  connect(SpeedButtonAbout, &QPushButton::clicked, this, [this] { ShowAboutDialog(); });
  connect(SpeedButtonExit, &QPushButton::clicked, this, [this] { close(); });

  PopupMenuCurves = new QMenu(this);
  PopupMenuCurves->setObjectName("PopupMenuCurves");
  MenuItemTrends = PopupMenuCurves->addAction(QString());
  MenuItemTrends->setObjectName("MenuItemTrends");
  MenuItemRecorder = PopupMenuCurves->addAction(QString());
  MenuItemRecorder->setObjectName("MenuItemRecorder");
  connect(SpeedButtonCurves, &QPushButton::clicked, this, [this] {
    PopupMenuCurves->popup(SpeedButtonCurves->mapToGlobal(SpeedButtonCurves->rect().bottomLeft()));
  });
  connect(MenuItemTrends, &QAction::triggered, this, [this] {
    TrendWindow().show();
    TrendWindow().raise();
  });
  connect(MenuItemRecorder, &QAction::triggered, this, [this] {
    RecorderWindow().show();
    RecorderWindow().raise();
  });
}

TTrendWindow& TFormMain::TrendWindow() {
  if (!trendWindow_) {
    TTCoordBox* machine = *std::find_if(
        positionPage_->CoordBoxes.begin(), positionPage_->CoordBoxes.end(),
        [](TTCoordBox* box) { return box->Position().Kind == EPositionKind::Machine; });
    trendWindow_ = new TTrendWindow(*this, machine->Position());
  }
  return *trendWindow_;
}

TRecorderWindow& TFormMain::RecorderWindow() {
  if (!recorderWindow_) recorderWindow_ = new TRecorderWindow(*language_, this);
  return *recorderWindow_;
}

void TFormMain::BuildPages() {
  workPage_ = new TWorkPage;
  positionPage_ = new TPositionPage;
  alarmPage_ = new TAlarmPage;
  parameterPage_ = new TParameterPage;
  userParameterPage_ = new TUserParameterPage;
  userParameter2Page_ = new TUserParameter2Page;
  hardwarePage_ = new THardwarePage;
  machinePage_ = new TMachinePage;
  ncFilesPage_ = new TNcFilesPage;
  upgradePage_ = new TUpgradePage;
  optionPage_ = new TOptionPage(options_, *service_);
  pages_ = {workPage_,         positionPage_,     new TPlcPage,   alarmPage_,
            parameterPage_,    userParameterPage_, userParameter2Page_, hardwarePage_,
            machinePage_,      ncFilesPage_,      upgradePage_,   optionPage_};
  for (TPage* page : pages_) PageControlMain->addTab(page, QString());
}

TPage* TFormMain::PageByTag(int tag) const {
  for (TPage* page : pages_)
    if (page->Tag() == tag) return page;
  return nullptr;
}

void TFormMain::SetDialogs(const TDialogs& dialogs) {
  dialogs_ = dialogs;
  dialogs_.Input->SetLanguage(language_.get());
  dialogs_.ReturnCode->SetLanguage(language_.get());
  dialogs_.ReturnCode->SetService(service_.get());
  dialogs_.ReturnCode->SetPasswordForm(dialogs_.Password);
  dialogs_.SendMsg->SetService(service_.get());
  dialogs_.Password->SetPasswordBuffer(&password_);
  dialogs_.AddCNC->SetShowAutoConnect(false);
  dialogs_.AddCNC->OnConnectMachine = [this](int index) { ConnectMachine(index); };
  for (TPage* page : pages_) page->Attach(*this);
}

void TFormMain::ShowMachineListDialog() {
  dialogs_.AddCNC->exec();
  BuildMachineMenu();
  CheckConnectedMachine();
}

void TFormMain::ShowSendMessageDialog() { dialogs_.SendMsg->exec(); }

void TFormMain::ShowAboutDialog() { dialogs_.About->exec(); }

void TFormMain::LoadCaptions() {
  setWindowTitle(FormCaption());
  const struct {
    QPushButton* button;
    const char* key;
  } buttons[] = {{SpeedButtonConnect, "SpeedButtonConnect"},
                 {SpeedButtonAddWork, "SpeedButtonAddWork"},
                 {SpeedButtonSendMsgToNc, "SpeedButtonSendMsgToNc"},
                 {SpeedButtonDisconnect, "SpeedButtonDisconnect"},
                 {SpeedButtonAbout, "SpeedButtonAbout"},
                 {SpeedButtonExit, "SpeedButtonExit"}};
  for (const auto& b : buttons) b.button->setText(language_->Caption("MainString", b.key));
  SpeedButtonCurves->setText(language_->Caption("CurvesString", "SpeedButtonCurves"));
  MenuItemTrends->setText(language_->Caption("CurvesString", "MenuItemTrends"));
  MenuItemRecorder->setText(language_->Caption("CurvesString", "MenuItemRecorder"));
  StatusBand->SetConnectText(language_->Caption("MainString", "LabelDisConnect"), colors::kRed);
  StatusBand->LabelAlarm->setText(language_->Caption("Alarm", "AlarmGroup_Label"));
  StatusBand->LabelWarning->setText(language_->Caption("Alarm", "WarningGroup_Label"));
  for (std::size_t i = 0; i < std::size(kTabs); ++i)
    PageControlMain->setTabText(static_cast<int>(i),
                                language_->Caption("MainString", kTabs[i].captionKey));
  for (TPage* page : pages_) page->LoadCaptions(*language_);
}

QString TFormMain::FormCaption() const {
  QString caption = language_->Caption("MainString", "Form");
  if (demo_) caption += " DEMO";
  return caption;
}

void TFormMain::CreateInformationObjects() {
  infos_ = std::make_unique<TInfoObjects>();
  for (TTalvoInfo* info : infos_->All()) info->SetService(service_.get());
  const struct {
    TTalvoInfo& info;
    void (TFormMain::*own)();
  } shared[] = {{infos_->StatusMode, nullptr},
                {infos_->AlarmWarning, &TFormMain::AlarmWarningChange},
                {infos_->GGroup, nullptr},
                {infos_->Parameter, &TFormMain::ParameterChange}};
  for (const auto& s : shared)
    s.info.OnChange = [this, own = s.own](TTalvoInfo* info) {
      if (own) (this->*own)();
      for (TPage* page : pages_) page->SharedInfoChanged(*info);
    };
}

bool TFormMain::ApplySystemType() {
  const bool saved = options_.SetLastSysType(systemType_);
  const bool milling = systemType_ == 0;
  TTalvoInfo_MacroVariable& macros = infos_->MacroVariable;
  macros.SetLocalCount(milling ? 33 : 49);
  macros.SetGlobalCount(milling ? 1000 : 100);
  for (TTalvoInfo* info : infos_->MillingOnly()) info->SetService(milling ? service_.get() : nullptr);
  infos_->LatheOnly()->SetService(milling ? nullptr : service_.get());
  for (TPage* page : pages_) page->ApplySystemType(systemType_);
  return saved;
}

bool TFormMain::PageChangeAllowed() const {
  return !service_->GetSessionReady() || service_->GetProcessKind() == pkGetInformation;
}

void TFormMain::PageControlMainChange(int index) {
  // A running file job keeps its page, whatever asked for the change: the tab bar's guard
  // sees clicks and keys on the tabs, not Ctrl+Tab or a shortcut reaching the page control.
  if (index != currentPage_ && !PageChangeAllowed()) {
    const QSignalBlocker quiet(PageControlMain);
    PageControlMain->setCurrentIndex(currentPage_);
    return;
  }
  TPage* previous = currentPage_ >= 0 && currentPage_ < static_cast<int>(pages_.size())
                        ? pages_[static_cast<std::size_t>(currentPage_)]
                        : nullptr;
  currentPage_ = index;
  TPage* page = index >= 0 ? pages_[static_cast<std::size_t>(index)] : nullptr;
  if (previous == ncFilesPage_ && page != ncFilesPage_) {
    ncFilesPage_->PageHidden();
    if (activity_ == maNCFiles) activity_ = maIdle;
  }
  // Until the key parameters are in, the pages stay unpolled; completing the connection
  // activates whichever page is shown then.
  if (!page || !service_->GetSessionReady() || keyParameterWait_) return;
  ActivatePageInfo();
  if (page->Tag() == page_tag::kAlarm)
    if (auto* bar = page->findChild<QProgressBar*>("ProgressBarHistory")) bar->setValue(0);
  page->PageShown();
  if (page == ncFilesPage_) activity_ = maNCFiles;
}

void TFormMain::ActivatePageInfo() {
  const int tag = static_cast<TPage*>(PageControlMain->currentWidget())->Tag();
  service_->AllInfoSetInactive();
  service_->GroupInfoSetActive(page_tag::kAlways);
  service_->GroupInfoSetActive(tag);
  service_->GroupInfoForceGetCNCInfo(tag);
  // Open curves go on whatever page is shown.
  if (trendWindow_) trendWindow_->Sampler().KeepSourcesActive();
}

void TFormMain::closeEvent(QCloseEvent* event) {
  // A parameter-table fill that lets events run ends at its next row.
  stopLoading_ = true;
  QMainWindow::closeEvent(event);
}

void TFormMain::PlaceOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  resize(StartSize(kDesignedSize, minimumSizeHint(), room.size()));
  move(room.center() - rect().center());
}

}  // namespace talvo::app
