#include "app/dialogs/send_message_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/frame/message_box.h"
#include "app/language/language.h"
#include "link/result_codes.h"
#include "service/talvo_service.h"
#include "text/cvcode.h"

namespace talvo::app {
namespace {

constexpr std::int16_t kOperatorMessage = 0;  // the diagnosis-log kind the user's text goes as
// One message must fit one package's text; a character takes at most two bytes in the
// controller's code pages.
constexpr int kMaxMessageCharacters = 247;

}  // namespace

TFormSendMsg::TFormSendMsg(const TLanguage& language, QWidget* parent)
    : QDialog(parent), language_(language) {
  setObjectName("FormSendMsg");
  resize(549, 179);
  LabelTitle = new QLabel(this);
  LabelTitle->setObjectName("LabelTitle");
  UserMsgBox = new QLineEdit(this);
  UserMsgBox->setObjectName("UserMsgBox");
  UserMsgBox->setMaxLength(kMaxMessageCharacters);
  buttonSend = new QPushButton(this);
  buttonSend->setObjectName("buttonSend");
  buttonSend->setDefault(true);
  buttonCancel = new QPushButton(this);
  buttonCancel->setObjectName("buttonCancel");
  connect(buttonSend, &QPushButton::clicked, this, [this] { buttonSendClick(); });
  connect(buttonCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(buttonSend);
  buttons->addWidget(buttonCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LabelTitle);
  layout->addWidget(UserMsgBox);
  layout->addStretch();
  layout->addLayout(buttons);

  setWindowTitle(language_.Caption("SendMessage", "Form"));
  LabelTitle->setText(language_.Caption("SendMessage", "LabelTitle"));
  buttonSend->setText(language_.Caption("SendMessage", "Send"));
  buttonCancel->setText(language_.Caption("SendMessage", "Cancel"));
}

void TFormSendMsg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  UserMsgBox->clear();
  UserMsgBox->setFocus();
}

void TFormSendMsg::buttonSendClick() {
  if (UserMsgBox->text().isEmpty()) return;
  std::string bytes;
  text::ToControllerText(language_.Code(), language_.Encode(UserMsgBox->text()), bytes);
  // A message the link turns away (no connection, another write still outstanding) is not
  // reported as sent: the dialog stays with the text, so it can be sent again.
  if (service_ == nullptr || service_->Link()->SendMessageA(kOperatorMessage, bytes) != vandir::kOk) {
    ShowMessage(this, language_.Caption("ReturnCode", "SetFail"));
    return;
  }
  accept();
}

}  // namespace talvo::app
