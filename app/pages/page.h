// A page of the main window's page control. The page owns its controls and their names;
// the frame tells it when captions are due and when it is shown or hidden.
#pragma once

#include <QWidget>

#include <string>

#include "service/process_states.h"

namespace talvo {
class TTalvoInfo;
}

namespace talvo::app {

class TFormMain;
class TLanguage;

class TPage : public QWidget {
 public:
  // `tag` is the page's number, also the group of the information objects it shows.
  TPage(const char* objectName, int tag, QWidget* parent = nullptr);

  int Tag() const { return tag_; }
  // Captions of the page's controls from the current language file.
  virtual void LoadCaptions(const TLanguage& language) = 0;
  // The page became, or stopped being, the current one while connected.
  virtual void PageShown() {}
  virtual void PageHidden() {}
  // The window's parts exist (service, information objects, dialogs): the page keeps the
  // frame and gives the information objects of its own group their change handlers.
  virtual void Attach(TFormMain& /*frame*/) {}
  // An object the window owns for every page (status and mode, alarms and warnings, G groups)
  // or the parameter object changed; the window has already done its own part.
  virtual void SharedInfoChanged(TTalvoInfo& /*info*/) {}
  // The window's system type (0 milling, 1 lathe) was applied.
  virtual void ApplySystemType(int /*type*/) {}
  // A new connection is complete: the controller's own texts and tables are loaded.
  virtual void ConnectionCompleted() {}
  // The window connects to another machine than the one the page's values came from: what
  // could be taken for the new machine's state is cleared (the rest is shown greyed).
  virtual void MachineChanged() {}

  // A file job this page started reports through the window (which routes the service's
  // events by what the window is busy with).
  virtual void FileJobProgress(int /*percent*/) {}
  virtual void FileJobFinished(EProcessKind /*kind*/) {}
  virtual void FileJobListExecute(EProcessKind /*kind*/, int /*index*/) {}
  virtual void FileJobAborted(EProcessKind /*kind*/) {}
  virtual void FileJobFailed(EProcessKind /*kind*/) {}
  // The connection went while the job ran (a job of `kind` was under way): nothing else
  // reports its end.
  virtual void FileJobDropped(EProcessKind /*kind*/) {}
  // Whether `fileName` may be overwritten: one of the service's overwrite answers.
  virtual int FileJobOverwrite(EProcessKind kind, const std::string& fileName);

 private:
  int tag_;
};

// Page numbers (tags), which are also the information objects' groups.
namespace page_tag {
inline constexpr int kAlways = 1;  // group of the objects every page polls
inline constexpr int kWork = 2;
inline constexpr int kPosition = 3;
inline constexpr int kPLC = 4;
inline constexpr int kAlarm = 5;
inline constexpr int kParameter = 6;
inline constexpr int kUserParameter = 7;
inline constexpr int kHardware = 8;
inline constexpr int kMachine = 9;
inline constexpr int kNCFiles = 10;
inline constexpr int kUpgrade = 11;
inline constexpr int kOption = 12;
inline constexpr int kUserParameter2 = 13;
}  // namespace page_tag

}  // namespace talvo::app
