#include "app/pages/alarm_page.h"

#include <QBoxLayout>
#include <QFontDatabase>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>

#include <QStringList>

#include <algorithm>
#include <functional>

#include "app/frame/file_command_ready.h"
#include "app/frame/main_window.h"
#include "app/language/language.h"
#include "app/pages/history_files.h"
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

constexpr const char* kAlarmHistoryFile = "CNCSYS.LOG";
constexpr const char* kOperationHistoryFile = "OPMSG.LOG";

// Replaces the memo's lines in one update.
void ShowLines(QPlainTextEdit& memo, const TLanguage& language,
               const std::vector<std::string>& lines) {
  QStringList shown;
  shown.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) shown.push_back(language.Decode(line));
  memo.setPlainText(shown.join('\n'));
}

// One line per number: the number, "::" and its text (nothing when the controller has none).
QString NumberedTexts(const TDisplayStrings& texts, int count, const std::function<int(int)>& number) {
  QStringList lines;
  count = std::clamp(count, 0, TTalvoInfo_AlarmWarning::kSlots);
  for (int i = 0; i < count; ++i) {
    const int n = number(i);
    lines.push_back(QString::number(n) + "::" + texts.Text(n));
  }
  return lines.join('\n');
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

void TAlarmPage::Attach(TFormMain& frame) {
  frame_ = &frame;
  connect(readHistory_, &QPushButton::clicked, this,
          [this] { FetchHistory(kAlarmHistoryFile, maHistory); });
  connect(readOpHistory_, &QPushButton::clicked, this,
          [this] { FetchHistory(kOperationHistoryFile, maOpHistory); });
}

void TAlarmPage::SharedInfoChanged(TTalvoInfo& info) {
  if (!frame_ || &info != &frame_->Infos().AlarmWarning) return;
  const TTalvoInfo_AlarmWarning& alarms = frame_->Infos().AlarmWarning;
  const TDisplayStrings& texts = frame_->DisplayStrings();
  if (alarms.AlarmChanged())
    alarmMassage_->setPlainText(
        NumberedTexts(texts, alarms.AlarmCount(), [&](int i) { return alarms.Alarm(i); }));
  if (alarms.WarningChanged())
    warningMassage_->setPlainText(NumberedTexts(texts, alarms.WarningCount(), [&](int i) {
      return ShownWarningNumber(alarms.Warning(i));
    }));
}

std::filesystem::path TAlarmPage::LocalHistoryPath(const char* fileName) const {
  // Not the Machine folder, which is also where a backup goes by default: a history fetched
  // there would replace the backup's copy of the same file without a word.
  return std::filesystem::path(frame_->Home()) / "History" / fileName;
}

void TAlarmPage::FetchHistory(const char* fileName, EMainActivity activity) {
  TTalvoService& service = frame_->Service();
  if (!CheckFileCommandReady(this, service, frame_->Language(), false,
                             frame_->Infos().StatusMode))
    return;
  const std::filesystem::path local = LocalHistoryPath(fileName);
  std::error_code ec;
  std::filesystem::create_directories(local.parent_path(), ec);
  if (service.ReceiveFile(service.GetNcMachinePath() + fileName, local.string()))
    frame_->SetActivity(activity);
}

void TAlarmPage::FileJobFinished(EProcessKind) {
  if (!frame_) return;
  if (frame_->Activity() == maHistory) LoadAlarmHistory(LocalHistoryPath(kAlarmHistoryFile));
  else if (frame_->Activity() == maOpHistory)
    LoadOperationHistory(LocalHistoryPath(kOperationHistoryFile));
}

void TAlarmPage::LoadAlarmHistory(const std::filesystem::path& path) {
  if (const auto file = ReadTextLines(path))
    ShowLines(*memoHistoryList_, frame_->Language(), AlarmHistoryLines(*file));
}

void TAlarmPage::LoadOperationHistory(const std::filesystem::path& path) {
  if (const auto file = ReadTextLines(path))
    ShowLines(*memoOpHistoryList_, frame_->Language(), OperationHistoryLines(*file));
}

void TAlarmPage::ClearLists() {
  for (QPlainTextEdit* memo :
       {warningMassage_, alarmMassage_, memoHistoryList_, memoOpHistoryList_})
    memo->clear();
}

}  // namespace talvo::app
