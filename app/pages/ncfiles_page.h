// The NC Files page: the frame that moves NC programs between a PC folder (left) and the
// controller's program folder (right), under the PC folder it starts from.
#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/pages/file_job_steps.h"
#include "app/pages/page.h"
#include "app/pages/page_job.h"
#include "app/widgets/value_text.h"
#include "link/file_list_queue.h"
#include "service/process_states.h"
#include "service/talvo_info_system.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QProgressBar;
class QTreeWidget;

namespace talvo {
class TTalvoService;
class TTalvoInfo_StatusMode;
}  // namespace talvo

namespace talvo::app {

// The file frame: both file lists with their counts and free space, the transfer, rename,
// delete and folder buttons, the history of what was done and the progress of a job.
class TFrameFile : public QWidget {
 public:
  explicit TFrameFile(QWidget* parent = nullptr);
  // Captions of section "FileString"; the list views' column titles included.
  void LoadCaptions(const TLanguage& language);

  // The parts the frame works with, and both folders (each gets its separator at the end).
  void Initialise(TTalvoService& service, const TTalvoInfo_StatusMode& status,
                  const TLanguage& language, const std::string& ncFolder,
                  const std::string& pcFolder);
  void SetControllerFolder(const std::string& folder);
  const std::string& ControllerFolder() const { return ncFolder_; }
  const std::string& PcFolder() const { return pcFolder_; }
  // Called with the new PC folder after the user chose one.
  std::function<void(const std::string& folder)> OnPathChange;

  // The page became, or stopped being, the current one.
  void Show();
  void Hide();
  // The service's reports of the frame's jobs.
  void Progress(int value);
  void Finish(EProcessKind kind);
  void CommandStarted(EProcessKind kind, int index);
  void Aborted();
  void Failed(EProcessKind kind);
  // The connection went in the middle of a job: each file it did not reach is named.
  void Dropped(EProcessKind kind);
  int AskOverwrite(EProcessKind kind, const std::string& fileName);

  // The buttons.
  void SpeedButtonFilePCtoNCClick();
  void SpeedButtonFileNCtoPCClick();
  void SpeedButtonRenamePCClick();
  void SpeedButtonDeletePCClick();
  void SpeedButtonChangePathPCClick();
  void SpeedButtonRenameNCClick();
  void SpeedButtonDeleteNCClick();
  void SpeedButtonCancelClick();

  void RefreshControllerList();
  void RefreshPcList();

 private:
  // The controls one side of the frame has.
  struct TSide {
    QLabel* title;
    QPushButton* rename;
    QPushButton* remove;
    QTreeWidget* list;
    QLabel* countLabel;
    QLineEdit* count;
    QLabel* freeLabel;
    QLineEdit* free;
  };
  struct TSideNames {
    const char* title;
    const char* rename;
    const char* remove;
    const char* list;
    const char* countLabel;
    const char* count;
    const char* freeLabel;
    const char* free;
  };
  static TSide NewSide(const TSideNames& names);
  static QWidget* SidePanel(const TSide& side, QPushButton* extraButton);

  // The controller listing just read, shown.
  void ShowControllerList();
  // The history (ncfiles_page_log.cpp): the newest line first. A step of a job has a line
  // when it starts and one that says how it ended, so does a rename or a delete on the PC.
  void AddHistory(const QString& line);
  QString RenameLine(const std::string& from, const std::string& to) const;
  QString DeleteLine(const std::string& name) const;
  // The line of a command of the service's list; empty for one the frame does not run.
  QString StepLine(const SFileCommand& record) const;
  // A line for each step that ended since the last call, in their order.
  void LogEndedSteps();
  // Whether a button's action may start: the service is free and the controller ready, and
  // the side it works on (when it needs one) has files.
  bool ActionReady(const TSide* needsFiles);
  // One job of a step per name; names that may not be joined to a folder, and steps the
  // service cannot hold, are left out with a history line each.
  void RunJob(const std::vector<std::string>& names,
              const std::function<TFileJobStep(const std::string&)>& stepFor);
  // The selected rows in list order, as stored.
  static std::vector<std::string> SelectedNames(const TSide& side);
  // The new name the user typed for `old`; empty when it is the same or the box was cancelled.
  QString AskNewName(const QString& old);
  bool ConfirmDelete();
  QString Text(const char* key) const;
  QString Decode(const std::string& bytes) const;
  void ShowFinishMessage();

  TTalvoService* service_ = nullptr;
  const TTalvoInfo_StatusMode* status_ = nullptr;
  const TLanguage* language_ = nullptr;
  std::string pcFolder_;
  std::string ncFolder_;
  // The entries of the last controller listing, as the service handed them over.
  std::vector<vandir::FileListQueue::Block> entries_;
  // The job last handed to the service, and how many of its steps have their end line.
  TPageJob job_;
  int logged_ = 0;
  TTalvoInfo_DiskFree diskFree_;

  TSide pc_;
  TSide nc_;
  QPushButton* changePathPC_;
  QPushButton* filePCtoNC_;
  QPushButton* fileNCtoPC_;
  QPushButton* cancel_;
  QPushButton* exit_;
  QPlainTextEdit* memoHistory_;
  QProgressBar* progressBar_;
  ValueText* labelPercentange_;
};

class TNcFilesPage : public TPage {
 public:
  explicit TNcFilesPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;

  void Attach(TFormMain& frame) override;
  void PageShown() override;
  void PageHidden() override;
  void ConnectionCompleted() override;
  void FileJobProgress(int percent) override;
  void FileJobFinished(EProcessKind kind) override;
  void FileJobListExecute(EProcessKind kind, int index) override;
  void FileJobAborted(EProcessKind kind) override;
  void FileJobFailed(EProcessKind kind) override;
  void FileJobDropped(EProcessKind kind) override;
  int FileJobOverwrite(EProcessKind kind, const std::string& fileName) override;

  TFrameFile* FrameFile() const { return frame_; }
  // The PC folder shown in `EditNcfiles`.
  void SetNcFilesFolder(const QString& folder);

 private:
  TFormMain* main_ = nullptr;
  QLabel* folderLabel_;
  QLineEdit* folder_;
  TFrameFile* frame_;
};

}  // namespace talvo::app
