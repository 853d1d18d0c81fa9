// The Alarm page: the current alarms and warnings with their texts, and the two history
// files of the controller (alarms, operations) with the progress of their fetch.
#pragma once

#include <filesystem>

#include "app/frame/activity.h"
#include "app/pages/page.h"

class QGroupBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace talvo::app {

class TAlarmPage : public TPage {
 public:
  explicit TAlarmPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;
  void Attach(TFormMain& frame) override;
  // The alarm and warning lists follow the always-polled alarm object.
  void SharedInfoChanged(TTalvoInfo& info) override;
  // A history fetch ended: its file is shown.
  void FileJobFinished(EProcessKind kind) override;

  // Shows a history file kept on the PC; a missing file leaves the list as it was.
  void LoadAlarmHistory(const std::filesystem::path& path);
  void LoadOperationHistory(const std::filesystem::path& path);

  // The group boxes the alarm flash colours; they fill their background, so setting the
  // palette's Window colour is all a flash needs.
  QGroupBox* AlarmGroup() const { return alarmGroup_; }
  QGroupBox* WarningGroup() const { return warningGroup_; }
  QPlainTextEdit* AlarmMassage() const { return alarmMassage_; }
  QPlainTextEdit* WarningMassage() const { return warningMassage_; }
  QPlainTextEdit* MemoHistoryList() const { return memoHistoryList_; }
  QPlainTextEdit* MemoOpHistoryList() const { return memoOpHistoryList_; }
  QProgressBar* ProgressBarHistory() const { return progressBarHistory_; }
  // Empties the alarm and warning lists and both histories (a new connection's start).
  void ClearLists();

 private:
  // Asks the service to fetch a history file of the controller's machine folder into the
  // program's "History/" folder; the activity tells the finish which one it was.
  void FetchHistory(const char* fileName, EMainActivity activity);
  std::filesystem::path LocalHistoryPath(const char* fileName) const;

  TFormMain* frame_ = nullptr;
  QGroupBox* alarmGroup_;
  QGroupBox* warningGroup_;
  QGroupBox* historyGroup_;
  QGroupBox* opHistoryGroup_;
  QPlainTextEdit* alarmMassage_;
  QPlainTextEdit* warningMassage_;
  QPlainTextEdit* memoHistoryList_;
  QPlainTextEdit* memoOpHistoryList_;
  QPushButton* readHistory_;
  QPushButton* readOpHistory_;
  QProgressBar* progressBarHistory_;
};

}  // namespace talvo::app
