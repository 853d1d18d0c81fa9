// A file job as the page that started it follows it: the steps the service runs, the step
// under way, and the names left out before it started. When the job ends short of whole, the
// page names every file it did not transfer.
#pragma once

#include <QStringList>

#include <vector>

#include "app/pages/file_job_steps.h"

class QWidget;

namespace talvo::app {

class TLanguage;

class TPageJob {
 public:
  void Start(std::vector<TFileJobStep> steps, std::vector<TRefusedName> refused);
  void StepStarted(int index) { step_ = index; }
  const std::vector<TFileJobStep>& Steps() const { return steps_; }
  // Nothing was left out.
  bool Whole() const { return refused_.empty(); }

  // The names left out, then, for a job cut short, the files of the steps from the one under
  // way on.
  QStringList NotTransferred(const TLanguage& language, bool cutShort) const;
  // The same as file names (PC side), for a record of what is missing.
  std::vector<std::string> MissedFiles(bool cutShort) const;
  // A warning box: the text of `headKey` (section "FileString") over those lines; nothing
  // when there are none.
  void ShowNotTransferred(QWidget* parent, const TLanguage& language, bool cutShort,
                          const char* headKey) const;

 private:
  // The steps from the one under way on that move a file.
  std::vector<const TFileJobStep*> StepsNotDone() const;

  std::vector<TFileJobStep> steps_;
  std::vector<TRefusedName> refused_;
  int step_ = -1;
};

}  // namespace talvo::app
