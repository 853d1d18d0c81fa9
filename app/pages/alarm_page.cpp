#include "app/pages/alarm_page.h"

#include <QBoxLayout>
#include <QFontDatabase>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>

#include "app/language/language.h"
#include "app/pages/page_controls.h"

namespace talvo::app {
namespace {

// A memo that keeps each line whole and scrolls both ways; the history files are columns
// of fixed width, so they read in a fixed-width font.
QPlainTextEdit* NewMemo(const char* name, bool readOnly, bool fixedWidth) {
  auto* memo = Named<QPlainTextEdit>(name);
  memo->setReadOnly(readOnly);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  if (fixedWidth) memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return memo;
}

QGroupBox* NewGroup(const char* name, QPushButton* button, QPlainTextEdit* memo) {
  auto* group = Named<QGroupBox>(name);
  auto* column = new QVBoxLayout(group);
  if (button) column->addWidget(button, 0, Qt::AlignLeft);
  column->addWidget(memo);
  return group;
}

}  // namespace

TAlarmPage::TAlarmPage(QWidget* parent)
    : TPage("TabSheetAlarm", page_tag::kAlarm, parent),
      alarmMassage_(NewMemo("AlarmMassage", true, false)),
      warningMassage_(NewMemo("WarningMassage", true, false)),
      memoHistoryList_(NewMemo("MemoHistoryList", true, true)),
      memoOpHistoryList_(NewMemo("MemoOpHistoryList", false, true)),
      readHistory_(Named<QPushButton>("SpeedButtonReadHistory")),
      readOpHistory_(Named<QPushButton>("SpeedButtonReadOpHistory")),
      progressBarHistory_(Named<QProgressBar>("ProgressBarHistory")) {
  warningGroup_ = NewGroup("WarningGroup", nullptr, warningMassage_);
  alarmGroup_ = NewGroup("AlarmGroup", nullptr, alarmMassage_);
  historyGroup_ = NewGroup("HistoryGroup", readHistory_, memoHistoryList_);
  opHistoryGroup_ = NewGroup("OpHistoryGroup", readOpHistory_, memoOpHistoryList_);
  for (QGroupBox* flashed : {alarmGroup_, warningGroup_}) flashed->setAutoFillBackground(true);
  for (QPushButton* button : {readHistory_, readOpHistory_}) button->setMinimumWidth(160);
  progressBarHistory_->setRange(0, 100);
  progressBarHistory_->setValue(0);

  auto* current = new QSplitter(Qt::Vertical);
  current->addWidget(warningGroup_);
  current->addWidget(alarmGroup_);
  current->setChildrenCollapsible(false);

  auto* histories = new QVBoxLayout;
  histories->addWidget(historyGroup_, 1);
  histories->addWidget(opHistoryGroup_, 1);

  auto* columns = new QHBoxLayout;
  columns->addWidget(current, 2);
  columns->addLayout(histories, 3);

  auto* page = new QVBoxLayout(this);
  page->addLayout(columns, 1);
  page->addWidget(progressBarHistory_);
}

void TAlarmPage::LoadCaptions(const TLanguage& language) {
  alarmGroup_->setTitle(language.Caption("Alarm", "AlarmGroup_Label"));
  warningGroup_->setTitle(language.Caption("Alarm", "WarningGroup_Label"));
  historyGroup_->setTitle(language.Caption("Alarm", "HistoryGroup_Label"));
  opHistoryGroup_->setTitle(language.Caption("Alarm", "OpHistoryGroup_Label"));
  readHistory_->setText(language.Caption("Alarm", "History_Label"));
  readOpHistory_->setText(language.Caption("Alarm", "OpHistory_Label"));
}

void TAlarmPage::ClearLists() {
  for (QPlainTextEdit* memo :
       {warningMassage_, alarmMassage_, memoHistoryList_, memoOpHistoryList_})
    memo->clear();
}

}  // namespace talvo::app
