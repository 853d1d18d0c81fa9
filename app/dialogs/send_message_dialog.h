// TFormSendMsg: puts a line of text on the controller's screen as an operator message. The
// typed text goes out in the controller's character set (Big5 when the interface is
// Simplified Chinese).
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace talvo {
class TTalvoService;
}

namespace talvo::app {

class TLanguage;

class TFormSendMsg : public QDialog {
 public:
  TFormSendMsg(const TLanguage& language, QWidget* parent);

  void SetService(TTalvoService* service) { service_ = service; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buttonSendClick();

  const TLanguage& language_;
  TTalvoService* service_ = nullptr;
  QLabel* LabelTitle;
  QLineEdit* UserMsgBox;
  QPushButton* buttonSend;
  QPushButton* buttonCancel;
};

}  // namespace talvo::app
