#include "app/dialogs/return_code_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "app/dialogs/optional_caption.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/return_code_text.h"
#include "link/result_codes.h"

namespace talvo::app {
namespace {

// A write the transport turns away while it takes a request off its list is offered again
// this often, for about a fifth of a second, before it counts as refused for being busy.
constexpr int kOfferIntervalMs = 2;
constexpr int kOfferAttempts = 100;
// Longer than the six seconds after which a silent link counts as lost: a lost link names
// itself first, and this catches a reply lost on a link that stayed up.
constexpr int kReplyWaitMs = 10000;

}  // namespace

TFormReturnCode::TFormReturnCode(QWidget* parent) : QDialog(parent), replyWait_(kReplyWaitMs) {
  setObjectName("FormReturnCode");
  setFixedSize(272, 124);
  PanelReturnMSG = new QLabel(this);
  PanelReturnMSG->setObjectName("PanelReturnMSG");
  PanelReturnMSG->setFrameStyle(QFrame::Panel | QFrame::Raised);
  PanelReturnMSG->setAlignment(Qt::AlignCenter);
  PanelReturnMSG->setWordWrap(true);
  ButtonAccept = new QPushButton(this);
  ButtonAccept->setObjectName("ButtonAccept");
  ButtonAccept->setDefault(true);
  TimerClose = new QTimer(this);
  TimerClose->setObjectName("TimerClose");
  TimerClose->setInterval(2000);
  TimerOffer = new QTimer(this);
  TimerOffer->setObjectName("TimerOffer");
  TimerOffer->setSingleShot(true);
  TimerOffer->setInterval(kOfferIntervalMs);
  connect(TimerOffer, &QTimer::timeout, this, [this] { OfferWrite(); });
  TimerReply = new QTimer(this);
  TimerReply->setObjectName("TimerReply");
  TimerReply->setSingleShot(true);
  connect(TimerReply, &QTimer::timeout, this, [this] {
    if (awaiting_) GiveUpReply(kWriteNoReply);
  });
  connect(ButtonAccept, &QPushButton::clicked, this, &QDialog::accept);
  connect(TimerClose, &QTimer::timeout, this, [this] {
    TimerClose->stop();
    close();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PanelReturnMSG, 1);
  layout->addWidget(ButtonAccept, 0, Qt::AlignHCenter);

  setWindowTitle(OptionalCaption(nullptr, "ReturnCode", "Caption"));
  ButtonAccept->setText(OptionalCaption(nullptr, "ReturnCode", "Accept"));
}

TFormReturnCode::~TFormReturnCode() = default;

void TFormReturnCode::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored, not shown anew
  PanelReturnMSG->clear();
  shown_ = 0;
  statusItem_.reset();
  TimerClose->setInterval(std::max(1, closeDelay_));
  if (language_ != nullptr) {
    setWindowTitle(language_->Caption("ReturnCode", "Caption"));
    ButtonAccept->setText(language_->Caption("ReturnCode", "Accept"));
  }
  offerAttempts_ = 0;
  awaiting_ = false;
  if (offer_)
    OfferWrite();
  else
    FollowStatus();
}

void TFormReturnCode::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;
  if (statusItem_) statusItem_->SetService(nullptr);
  offer_ = nullptr;
  TimerOffer->stop();
  TimerClose->stop();
  TimerReply->stop();
}

void TFormReturnCode::OfferWrite() {
  const TWriteOutcome outcome = offer_();
  switch (outcome.kind) {
    case TWriteOutcome::Sent:
      offer_ = nullptr;
      FollowStatus();
      break;
    case TWriteOutcome::Again:
      if (++offerAttempts_ < kOfferAttempts) {
        ShowReturnCode(vandir::kSetPending);
        TimerOffer->start();
      } else {
        offer_ = nullptr;
        ShowReturnCode(kWriteBusy);
      }
      break;
    case TWriteOutcome::Refused:
      offer_ = nullptr;
      ShowReturnCode(outcome.code);
      break;
  }
}

// The status object is made at each showing, so it starts from "waiting" and reports the
// first value it reads: the outcome of the write this showing made.
void TFormReturnCode::FollowStatus() {
  awaiting_ = true;
  TimerReply->start(replyWait_);
  statusItem_ = std::make_unique<TTalvoInfo_SetStatus>();
  statusItem_->OnChange = [this](TTalvoInfo*) { ShowReturnCode(statusItem_->Status()); };
  statusItem_->Active = true;
  if (service_ != nullptr) {
    statusItem_->SetService(service_);
    statusItem_->Refresh(true);
  }
}

void TFormReturnCode::LinkLost() {
  if (!isVisible()) return;
  if (TimerOffer->isActive()) {
    TimerOffer->stop();
    offer_ = nullptr;
    ShowReturnCode(kNetConnectError);
  } else if (statusItem_ && awaiting_) {
    GiveUpReply(kWriteResultUnknown);
  }
}

void TFormReturnCode::GiveUpReply(int why) {
  if (statusItem_) statusItem_->SetService(nullptr);
  ShowReturnCode(why);
}

void TFormReturnCode::ShowReturnCode(int value) {
  shown_ = value;
  if (value != vandir::kSetPending) {
    awaiting_ = false;
    TimerReply->stop();
  }
  PanelReturnMSG->setText(ReturnCodeText(language_, value));
  if (value == vandir::kSetDone && autoClose_) TimerClose->start();
  if (value == kPasswordError && passwordForm_ != nullptr) passwordForm_->SetShowNextTime(false);
}

}  // namespace talvo::app
