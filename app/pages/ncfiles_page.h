// The NC Files page: the frame that moves NC programs between a PC folder (left) and the
// controller's program folder (right), under the PC folder it starts from.
#pragma once

#include <QWidget>

#include "app/pages/page.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace talvo::app {

// The file frame: both file lists with their counts and free space, the transfer, rename,
// delete and folder buttons, the history of what was done and the progress of a job.
class TFrameFile : public QWidget {
 public:
  explicit TFrameFile(QWidget* parent = nullptr);
  // Captions of section "FileString"; the list views' column titles included.
  void LoadCaptions(const TLanguage& language);

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

  TSide pc_;
  TSide nc_;
  QPushButton* changePathPC_;
  QPushButton* filePCtoNC_;
  QPushButton* fileNCtoPC_;
  QPushButton* cancel_;
  QPushButton* exit_;
  QPlainTextEdit* memoHistory_;
};

class TNcFilesPage : public TPage {
 public:
  explicit TNcFilesPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;

  TFrameFile* FrameFile() const { return frame_; }
  // The PC folder shown in `EditNcfiles`.
  void SetNcFilesFolder(const QString& folder);

 private:
  QLabel* folderLabel_;
  QLineEdit* folder_;
  TFrameFile* frame_;
};

}  // namespace talvo::app
