// The NC files frame's history: what each job step, rename and delete did, newest first.
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "app/frame/connection_texts.h"
#include "app/language/language.h"
#include "app/pages/ncfiles_page.h"
#include "service/talvo_service.h"

namespace talvo::app {
namespace {

// Past its limit the history is cut back to the newest half.
constexpr int kHistoryLimit = 1000;
constexpr int kHistoryKept = 500;

// The job kind of a command the frame runs.
EProcessKind KindOf(const SFileCommand& record) {
  switch (record.Command) {
    case fcSendFile:
      return pkSendFile;
    case fcReceiveFile:
      return pkReceiveFile;
    case fcFileRename:
      return pkFileRename;
    case fcFileDelete:
      return pkFileDelete;
    default:
      return pkNone;
  }
}

}  // namespace

void TFrameFile::AddHistory(const QString& line) {
  QTextCursor top(memoHistory_->document());
  top.movePosition(QTextCursor::Start);
  top.insertText(memoHistory_->document()->isEmpty() ? line : line + '\n');
  QTextDocument* document = memoHistory_->document();
  if (document->blockCount() <= kHistoryLimit) return;
  QTextCursor tail(document->findBlockByNumber(kHistoryKept - 1));
  tail.movePosition(QTextCursor::EndOfBlock);
  tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  tail.removeSelectedText();
}

QString TFrameFile::RenameLine(const std::string& from, const std::string& to) const {
  // The caption's key with the history line's own default.
  return language_->Caption("FileString", "MessageRename", "Rename:") + Decode(from) + "-->" +
         Decode(to);
}

QString TFrameFile::DeleteLine(const std::string& name) const {
  return Text("MessageFileDel") + Decode(name);
}

QString TFrameFile::StepLine(const SFileCommand& record) const {
  switch (record.Command) {
    case fcSendFile:
      return Decode(record.Name1) + " --> " + Decode(record.Name2);
    case fcReceiveFile:
      return Decode(record.Name1) + " <-- " + Decode(record.Name2);
    case fcFileRename:
      return RenameLine(record.Name1, record.Name2);
    case fcFileDelete:
      return DeleteLine(record.Name1);
    default:
      return {};
  }
}

void TFrameFile::CommandStarted(EProcessKind kind, int index) {
  job_.StepStarted(index);
  LogEndedSteps();
  const SFileCommand* record = service_->GetCmdListItems(index);
  if (!record) return;
  // A transfer that first asks whether to overwrite has started all the same.
  const bool transfer = record->Command == fcSendFile || record->Command == fcReceiveFile;
  if (kind == KindOf(*record) || (kind == pkWaitOverwrite && transfer))
    AddHistory(StepLine(*record));
}

void TFrameFile::LogEndedSteps() {
  for (; logged_ < service_->GetCmdListCount(); ++logged_) {
    const SCmdResult result = service_->GetCmdListResult(logged_);
    if (result.State == SCmdResult::NotEnded) return;
    const SFileCommand& record = *service_->GetCmdListItems(logged_);
    QString outcome = Text("MessageFinish");
    if (result.State == SCmdResult::Skipped) outcome = Text("MessageSkipped");
    if (result.State == SCmdResult::Failed)
      outcome = FileJobErrorText(*language_, KindOf(record), result.Error);
    AddHistory(StepLine(record) + ": " + outcome);
  }
}

void TFrameFile::Dropped(EProcessKind kind) {
  if (kind == pkGetFileList) return;  // nothing was being moved
  LogEndedSteps();
  for (const QString& name : job_.NotTransferred(*language_, true))
    AddHistory(Text("MessageConnectionLost") + ": " + name);
}

}  // namespace talvo::app
