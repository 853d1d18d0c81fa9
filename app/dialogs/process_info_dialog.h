// TFormProcessInfo: the service's debug lines and a few counters of the link and the
// service, for whoever looks into a connection problem. Not modal, on top of the window.
// While it exists the service writes its debug lines into this window's list.
#pragma once

#include <QDialog>
#include <QStringList>

class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QTimer;

namespace talvo {
class TTalvoService;
}

namespace talvo::app {

class TFormProcessInfo : public QDialog {
 public:
  // The service must outlive the window.
  TFormProcessInfo(TTalvoService& service, QWidget* parent);
  ~TFormProcessInfo() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QLineEdit* AddLabeledEdit(QGridLayout* grid, const char* name, const char* caption, int row,
                            int col);
  void TimerGetInfoTimer();

  TTalvoService& service_;
  QStringList lines_;  // the service's debug lines, newest first
  QStringList shown_;  // what MemoDebug holds
  QPlainTextEdit* MemoDebug;
  QLineEdit* LabeledEditSendCMD;
  QLineEdit* LabeledEditSendBefore;
  QLineEdit* LabeledEditSendAfter;
  QLineEdit* LabeledEditConnectState;
  QLineEdit* LabeledEditProcInterval;
  QLineEdit* LabeledEditReconnect;
  QTimer* TimerGetInfo;
};

}  // namespace talvo::app
