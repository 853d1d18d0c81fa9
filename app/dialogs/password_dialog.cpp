#include "app/dialogs/password_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/language/language.h"

namespace talvo::app {

TPasswordForm::TPasswordForm(const TLanguage& language, QWidget* parent)
    : QDialog(parent), language_(language) {
  setObjectName("PasswordForm");
  setFixedSize(248, 150);
  labelPassword = new QLabel(this);
  labelPassword->setObjectName("labelPassword");
  editPassword = new QLineEdit(this);
  editPassword->setObjectName("editPassword");
  editPassword->setEchoMode(QLineEdit::Password);
  editPassword->setStyleSheet("lineedit-password-character: 42");  // '*'
  editPassword->setMaxLength(kMaxPasswordLength);
  editPassword->setAttribute(Qt::WA_InputMethodEnabled, false);
  checkShowNextTime = new QCheckBox(this);
  checkShowNextTime->setObjectName("checkShowNextTime");
  buttonAccept = new QPushButton(this);
  buttonAccept->setObjectName("buttonAccept");
  buttonAccept->setDefault(true);
  buttonCancel = new QPushButton(this);
  buttonCancel->setObjectName("buttonCancel");
  connect(buttonAccept, &QPushButton::clicked, this, &QDialog::accept);
  connect(buttonCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(buttonAccept);
  buttons->addWidget(buttonCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(labelPassword);
  layout->addWidget(editPassword);
  layout->addWidget(checkShowNextTime);
  layout->addStretch();
  layout->addLayout(buttons);

  setWindowTitle(language_.Caption("Password", "Form"));
  labelPassword->setText(language_.Caption("Password", "LABEL"));
  buttonAccept->setText(language_.Caption("Password", "ACCEPT"));
  buttonCancel->setText(language_.Caption("Password", "CANCEL"));
  checkShowNextTime->setText(language_.Caption("Password", "SHOWNEXTTIME"));
}

void TPasswordForm::SetShowNextTime(bool on) { checkShowNextTime->setChecked(on); }

bool TPasswordForm::ShowNextTime() const { return checkShowNextTime->isChecked(); }

void TPasswordForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  editPassword->clear();
  editPassword->setFocus();
}

void TPasswordForm::accept() {
  if (buffer_ != nullptr) *buffer_ = language_.Encode(editPassword->text());
  QDialog::accept();
}

// Esc, the Cancel button and closing the window all end here.
void TPasswordForm::reject() {
  checkShowNextTime->setChecked(false);
  QDialog::reject();
}

}  // namespace talvo::app
