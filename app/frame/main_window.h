// TFormMain: the program's window. It owns the settings, the language files, the service
// and the information objects; it builds the tool bar, the status band and the twelve pages,
// binds the service's events and routes file events to the page whose job they are.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frame/activity.h"
#include "app/frame/edit_grid_value.h"
#include "app/frame/info_objects.h"
#include "app/language/display_strings.h"
#include "app/language/language.h"
#include "app/settings/key_file.h"
#include "app/settings/machine_list.h"
#include "app/settings/options.h"
#include "service/param_index.h"
#include "service/talvo_service.h"

namespace vandir {
class Clock;
}

namespace talvo::app {

class TPage;
class TStatusBand;
class TWorkPage;
class TPositionPage;
class TPlcPage;
class TAlarmPage;
class TParameterPage;
class TUserParameterPage;
class TUserParameter2Page;
class THardwarePage;
class TMachinePage;
class TNcFilesPage;
class TUpgradePage;
class TOptionPage;
class TFrmInput;
class TFormAbout;
class TFormSendMsg;
class TPasswordForm;
class TFormProcessInfo;
class TFormReturnCode;
class TFormAddCNC;
class TTrendWindow;
class TRecorderWindow;

// The windows the program creates after the main window, in this order.
struct TDialogs {
  TFrmInput* Input = nullptr;
  TFormAbout* About = nullptr;
  TFormSendMsg* SendMsg = nullptr;
  TPasswordForm* Password = nullptr;
  TFormProcessInfo* ProcessInfo = nullptr;
  TFormReturnCode* ReturnCode = nullptr;
  TFormAddCNC* AddCNC = nullptr;
};

// The window's first size: the designed size, or most of a screen with more room; on a screen
// with less room, the room it has, as long as the smallest window fits there at all.
QSize StartSize(QSize designed, QSize least, QSize room);

class TFormMain : public QMainWindow {
 public:
  // The size the window is laid out for; an unattended snapshot keeps it.
  static constexpr QSize kDesignedSize{1024, 768};

  // `home` is the program home (a folder text ending in '/'); `clock` is the link's wall
  // clock (the system clock when null).
  explicit TFormMain(const std::string& home, std::shared_ptr<const vandir::Clock> clock = nullptr);
  ~TFormMain() override;

  // The dialogs exist now: hand them what they need (the window-shown steps).
  void SetDialogs(const TDialogs& dialogs);
  const TDialogs& Dialogs() const { return dialogs_; }

  // Machine list and connecting.
  void BuildMachineMenu();
  int CheckConnectedMachine();
  void ConnectMachine(int index);
  // Connects to `address` as choosing a machine-list entry with that address would; the
  // list itself is not changed. False in demo mode or for an empty address.
  bool ConnectToAddress(const std::string& address);

  void LoadCaptions();
  // Reshapes the pages for the system type and stores it; false when the settings file did
  // not take it (the caller tells the user).
  bool ApplySystemType();
  void ActivatePageInfo();
  void CompleteConnection();
  // Asks for a number (the pad, and the password for a system parameter) and writes it as
  // `kind` says; the result dialog then follows the controller's answer. `text` is the key
  // typed when `how` is KeyTyped.
  void EditGridValue(EEditHow how, EEditKind kind, const QString& text, int a, int b,
                     const TEditTarget& target = {});

  // State and parts, for the pages, the snapshot and the tests.
  TTalvoService& Service() { return *service_; }
  const TLanguage& Language() const { return *language_; }
  const TDisplayStrings& DisplayStrings() const { return *displayStrings_; }
  TOptions& Options() { return options_; }
  TIniFile& Settings() { return settings_; }
  TMachineList& Machines() { return machines_; }
  TInfoObjects& Infos() { return *infos_; }
  const std::string& Home() const { return home_; }
  EMainActivity Activity() const { return activity_; }
  void SetActivity(EMainActivity activity) { activity_ = activity; }
  int SystemType() const { return systemType_; }
  int ControllerLanguage() const { return controllerLanguage_; }
  bool Demo() const { return demo_; }
  bool MessageToController() const { return messageToController_; }
  bool StopLoading() const { return stopLoading_; }
  std::string& Password() { return password_; }
  const std::array<QString, 6>& AxisLetters() const { return axisLetters_; }
  // The parameter descriptors of the last connection whose index could be read.
  const ParamIndex& ParamDescriptors() const { return *paramIndex_; }
  QTabWidget* PageControl() const { return PageControlMain; }
  QMenu* MachineMenu() const { return PopupMenuMachine; }
  TPage* PageByTag(int tag) const;
  // The curve windows, made when first asked for.
  TTrendWindow& TrendWindow();
  TRecorderWindow& RecorderWindow();
  // Runs after every connection completion (the snapshot waits on it).
  std::function<void()> OnConnectionCompleted;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Sized for the screen it starts on, in the middle of it.
  void PlaceOnScreen();
  void BuildToolBar(QWidget* band);
  void BuildPages();
  void CreateInformationObjects();
  void BindServiceEvents();
  bool PageChangeAllowed() const;
  void PageControlMainChange(int index);
  void ShowMachineListDialog();
  void ShowSendMessageDialog();
  void ShowAboutDialog();
  void FlashConnectLampTimerTimer();
  void TimerAlarmWarnFlashTimer();
  void AlarmWarningChange();
  void ParameterChange();
  void CheckKeyParametersAnswered();
  void ApplyKeyParameters();
  void LoadParameterIndex();
  TPage* ActivityPage() const;

  // Service events.
  void ServiceConnecting();
  void ServiceConnectStateChange(EConnectState state);
  void ServiceConnect();
  void ServiceDisconnect(EProcessKind kind, EConnectState state, int level);
  void ServiceConnectCountdown(int remainTime);
  void ServiceError(EProcessKind kind, int errorNo);
  void ServiceProgress(EProcessKind kind, int percent);
  void ServiceProcessFinish(EProcessKind kind);
  void ServiceCmdListExecute(EProcessKind kind, int index);
  void ServiceAbortCmdList(EProcessKind kind);
  void ServiceFileOverwrite(EProcessKind kind, const std::string& fileName, int& result);

  QString FormCaption() const;
  QString MachineCaption(int index);

  std::string home_;
  TIniFile settings_;
  TOptions options_;
  TMachineList machines_;
  bool demo_ = false;
  int language_code_ = 2;
  std::unique_ptr<TLanguage> language_;
  std::unique_ptr<TDisplayStrings> displayStrings_;
  std::unique_ptr<TTalvoService> service_;
  std::unique_ptr<TInfoObjects> infos_;
  TDialogs dialogs_;

  int controllerLanguage_ = 2;
  int systemType_ = 0;
  bool messageToController_ = true;
  EMainActivity activity_ = maIdle;
  bool stopLoading_ = false;
  // A new connection waits for its key parameters. The wait has a flag of its own: a page
  // shown meanwhile (NC Files sets its own activity) must not end it.
  bool keyParameterWait_ = false;
  // The address of the machine whose values the pages show (the last completed connection).
  std::string shownMachine_;
  std::array<bool, 4> keyParameterSeen_{};
  // The parameter requests of a new connection have all been answered: the values the
  // parameter object hands out from now on are the controller's, not an empty cache.
  bool keyParametersAnswered_ = false;
  int keyParameterRounds_ = 0;
  std::array<int, 4> appliedKeyParameters_{};
  bool alarmFlashing_ = false;
  bool warningFlashing_ = false;
  std::string password_;
  std::unique_ptr<ParamIndex> paramIndex_ = std::make_unique<ParamIndex>();
  std::array<QString, 6> axisLetters_{"X", "Y", "Z", "C", "A", "B"};
  int currentPage_ = 0;

  // Controls.
  QPushButton* SpeedButtonConnect;
  QPushButton* SpeedButtonAddWork;
  QPushButton* SpeedButtonSendMsgToNc;
  QPushButton* SpeedButtonDisconnect;
  QPushButton* SpeedButtonAbout;
  QPushButton* SpeedButtonExit;
  QPushButton* SpeedButtonCurves;
  QLabel* imgZDX;
  QMenu* PopupMenuMachine;
  QMenu* PopupMenuCurves;
  QAction* MenuItemTrends;
  QAction* MenuItemRecorder;
  TTrendWindow* trendWindow_ = nullptr;
  TRecorderWindow* recorderWindow_ = nullptr;
  TStatusBand* StatusBand;
  QTabWidget* PageControlMain;
  QTimer* FlashConnectLampTimer;
  QTimer* TimerAlarmWarnFlash;
  QTimer* KeyParameterTimer;

  TWorkPage* workPage_;
  TPositionPage* positionPage_;
  TAlarmPage* alarmPage_;
  TParameterPage* parameterPage_;
  TUserParameterPage* userParameterPage_;
  TUserParameter2Page* userParameter2Page_;
  THardwarePage* hardwarePage_;
  TMachinePage* machinePage_;
  TNcFilesPage* ncFilesPage_;
  TUpgradePage* upgradePage_;
  TOptionPage* optionPage_;
  std::vector<TPage*> pages_;
};

}  // namespace talvo::app
