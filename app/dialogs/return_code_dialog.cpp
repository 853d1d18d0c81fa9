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

TFormReturnCode::TFormReturnCode(QWidget* parent) : QDialog(parent) {
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
  statusItem_ = std::make_unique<TTalvoInfo_SetStatus>();
  statusItem_->OnChange = [this](TTalvoInfo*) { ShowReturnCode(statusItem_->Status()); };
  statusItem_->Active = true;
  TimerClose->setInterval(std::max(1, closeDelay_));
  if (language_ != nullptr) {
    setWindowTitle(language_->Caption("ReturnCode", "Caption"));
    ButtonAccept->setText(language_->Caption("ReturnCode", "Accept"));
  }
  if (service_ != nullptr) {
    statusItem_->SetService(service_);
    statusItem_->Refresh(true);
  }
}

void TFormReturnCode::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;
  if (statusItem_) statusItem_->SetService(nullptr);
  TimerClose->stop();
}

void TFormReturnCode::ShowReturnCode(int value) {
  PanelReturnMSG->setText(ReturnCodeText(language_, value));
  if (value == vandir::kSetDone && autoClose_) TimerClose->start();
  if (value == kPasswordError && passwordForm_ != nullptr) passwordForm_->SetShowNextTime(false);
}

}  // namespace talvo::app
