#include "app/dialogs/process_info_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "link/transport.h"
#include "service/talvo_service.h"

namespace talvo::app {

TFormProcessInfo::TFormProcessInfo(TTalvoService& service, QWidget* parent)
    : QDialog(parent), service_(service) {
  setObjectName("FormProcessInfo");
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setWindowTitle("Process Information");
  resize(524, 320);
  MemoDebug = new QPlainTextEdit(this);
  MemoDebug->setObjectName("MemoDebug");
  MemoDebug->setReadOnly(true);
  MemoDebug->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoDebug->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoDebug->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  auto* edits = new QGridLayout;
  LabeledEditSendCMD = AddLabeledEdit(edits, "LabeledEditSendCMD", "Send Count", 0, 0);
  LabeledEditSendBefore =
      AddLabeledEdit(edits, "LabeledEditSendBefore", "SendCMDCountBefore", 0, 1);
  LabeledEditSendAfter = AddLabeledEdit(edits, "LabeledEditSendAfter", "After", 0, 2);
  LabeledEditConnectState =
      AddLabeledEdit(edits, "LabeledEditConnectState", "Connect State", 2, 0);
  LabeledEditProcInterval =
      AddLabeledEdit(edits, "LabeledEditProcInterval", "Process Interval", 2, 1);
  LabeledEditReconnect = AddLabeledEdit(edits, "LabeledEditReconnect", "Reconnect", 2, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MemoDebug, 1);
  layout->addLayout(edits);

  TimerGetInfo = new QTimer(this);
  TimerGetInfo->setObjectName("TimerGetInfo");
  TimerGetInfo->setInterval(100);
  connect(TimerGetInfo, &QTimer::timeout, this, [this] { TimerGetInfoTimer(); });
  service_.DebugLines = &lines_;
}

TFormProcessInfo::~TFormProcessInfo() {
  if (service_.DebugLines == &lines_) service_.DebugLines = nullptr;
}

// A read-only edit with its caption above it, as one cell of the counters' grid.
QLineEdit* TFormProcessInfo::AddLabeledEdit(QGridLayout* grid, const char* name,
                                            const char* caption, int row, int col) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  auto* label = new QLabel(QString::fromLatin1(caption), this);
  label->setBuddy(edit);
  grid->addWidget(label, row, col);
  grid->addWidget(edit, row + 1, col);
  return edit;
}

void TFormProcessInfo::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  TimerGetInfoTimer();
  TimerGetInfo->start();
}

void TFormProcessInfo::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  TimerGetInfo->stop();
}

void TFormProcessInfo::TimerGetInfoTimer() {
  LabeledEditSendCMD->setText(QString::number(service_.Link()->SendCMD->ReplyCount.load()));
  LabeledEditSendBefore->setText(QString::number(service_.GetSendCountBefore()));
  LabeledEditSendAfter->setText(QString::number(service_.GetSendCountAfter()));
  LabeledEditConnectState->setText(QString::number(service_.GetLastConnectStatus()));
  LabeledEditProcInterval->setText(QString::number(service_.GetProcessInterval()));
  LabeledEditReconnect->setText(QString::number(service_.GetReconnectCount()));
  // The service trims its list itself (above 1000 lines to 500), so the memo, which
  // mirrors it, stays as short. Comparing shares the list's data and costs nothing while
  // no line came.
  if (lines_ == shown_) return;
  shown_ = lines_;
  MemoDebug->setPlainText(shown_.join('\n'));
}

}  // namespace talvo::app
