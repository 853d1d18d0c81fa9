// TPasswordForm: asks for the password before a protected parameter is written. Accept
// copies the typed text into the main window's password buffer; Cancel (or Esc) unticks
// "don't show next time", so the next protected write asks again.
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace talvo::app {

class TLanguage;

class TPasswordForm : public QDialog {
 public:
  // Passwords are at most this many characters.
  static constexpr int kMaxPasswordLength = 4;

  TPasswordForm(const TLanguage& language, QWidget* parent);

  void SetPasswordBuffer(std::string* buffer) { buffer_ = buffer; }
  void SetShowNextTime(bool on);
  bool ShowNextTime() const;

  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const TLanguage& language_;
  std::string* buffer_ = nullptr;
  QLabel* labelPassword;
  QLineEdit* editPassword;
  QPushButton* buttonAccept;
  QPushButton* buttonCancel;
  QCheckBox* checkShowNextTime;
};

}  // namespace talvo::app
