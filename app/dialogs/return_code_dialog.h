// TFormReturnCode: follows the outcome of the write just issued. While shown, a set-status
// object polled by the service reports the link's set status; each value is shown as its
// text. A write the controller accepted closes the dialog by itself after the close delay;
// any other outcome stays until Accept. A password error unticks the password dialog's
// "don't show next time", so the next protected write asks for the password again.
#pragma once

#include <QDialog>

#include <memory>

#include "service/talvo_info_system.h"

class QLabel;
class QPushButton;
class QTimer;

namespace talvo {
class TTalvoService;
}

namespace talvo::app {

class TLanguage;
class TPasswordForm;

class TFormReturnCode : public QDialog {
 public:
  explicit TFormReturnCode(QWidget* parent);
  // The status object leaves the service here; the service must still exist.
  ~TFormReturnCode() override;

  void SetService(TTalvoService* service) { service_ = service; }
  void SetLanguage(const TLanguage* language) { language_ = language; }
  void SetCloseDelay(int ms) { closeDelay_ = ms; }
  void SetAutoClose(bool on) { autoClose_ = on; }
  void SetPasswordForm(TPasswordForm* form) { passwordForm_ = form; }

  // The status object's report: the text for `value` and what it sets off.
  void ShowReturnCode(int value);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  TTalvoService* service_ = nullptr;
  const TLanguage* language_ = nullptr;
  TPasswordForm* passwordForm_ = nullptr;
  int closeDelay_ = 2000;
  bool autoClose_ = true;
  // Made anew at every showing, so it starts from "waiting" and reports the first value
  // it reads whatever the previous write left.
  std::unique_ptr<TTalvoInfo_SetStatus> statusItem_;
  QLabel* PanelReturnMSG;
  QPushButton* ButtonAccept;
  QTimer* TimerClose;
};

}  // namespace talvo::app
