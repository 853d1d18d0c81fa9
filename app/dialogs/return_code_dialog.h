// TFormReturnCode: follows the outcome of the write just issued. While shown, a set-status
// object polled by the service reports the link's set status; each value is shown as its
// text. A write the controller accepted closes the dialog by itself after the close delay;
// any other outcome stays until Accept. A password error unticks the password dialog's
// "don't show next time", so the next protected write asks for the password again.
#pragma once

#include <QDialog>

#include <functional>
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

// What became of one offer of a write to the link: sent (its result is then followed),
// turned away for a moment (offered again shortly), or refused with a code to show.
struct TWriteOutcome {
  enum EKind { Sent, Again, Refused };
  EKind kind = Sent;
  int code = 0;
};
using TWriteOffer = std::function<TWriteOutcome()>;

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
  // How long a sent write's reply is awaited before its result is shown as unknown.
  void SetReplyWait(int ms) { replyWait_ = ms; }

  // The write the next showing makes and follows. Without one the dialog follows whatever
  // the link's set status reports.
  void SetWriteOffer(TWriteOffer offer) { offer_ = std::move(offer); }
  // The link dropped: a reply still awaited can no longer come, and a write still being
  // offered was never sent.
  void LinkLost();

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
  TWriteOffer offer_;
  int offerAttempts_ = 0;
  int shown_ = 0;  // the value whose text the panel shows
  // A write was sent and no outcome of it has been shown yet.
  bool awaiting_ = false;
  int replyWait_;
  QLabel* PanelReturnMSG;
  QPushButton* ButtonAccept;
  QTimer* TimerClose;
  QTimer* TimerOffer;  // offers a write the link turned away for a moment once more
  QTimer* TimerReply;  // ends a wait for a reply that is not coming

  void OfferWrite();
  void FollowStatus();
  // No reply will be taken for the write any more: its result is unknown, for `why`.
  void GiveUpReply(int why);
};

}  // namespace talvo::app
