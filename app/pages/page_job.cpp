#include "app/pages/page_job.h"

#include <algorithm>

#include "app/frame/message_box.h"
#include "app/language/language.h"

namespace talvo::app {
namespace {

std::string FileOf(const TFileJobStep& step) {
  return FileNamePart(step.command == fcReceiveFile ? step.second : step.first);
}

}  // namespace

void TPageJob::Start(std::vector<TFileJobStep> steps, std::vector<TRefusedName> refused) {
  steps_ = std::move(steps);
  refused_ = std::move(refused);
  step_ = -1;
}

std::vector<const TFileJobStep*> TPageJob::StepsNotDone() const {
  std::vector<const TFileJobStep*> steps;
  for (std::size_t step = static_cast<std::size_t>(std::max(step_, 0)); step < steps_.size();
       ++step)
    if (steps_[step].command != fcDirCreate) steps.push_back(&steps_[step]);
  return steps;
}

QStringList TPageJob::NotTransferred(const TLanguage& language, bool cutShort) const {
  QStringList lines;
  for (const TRefusedName& name : refused_) lines << RefusedNameLine(language, name);
  if (cutShort)
    for (const TFileJobStep* step : StepsNotDone()) lines << language.Decode(FileOf(*step));
  return lines;
}

std::vector<std::string> TPageJob::MissedFiles(bool cutShort) const {
  std::vector<std::string> names;
  for (const TRefusedName& name : refused_) names.push_back(name.name);
  if (cutShort)
    for (const TFileJobStep* step : StepsNotDone()) names.push_back(FileOf(*step));
  return names;
}

void TPageJob::ShowNotTransferred(QWidget* parent, const TLanguage& language, bool cutShort,
                                  const char* headKey) const {
  const QStringList lines = NotTransferred(language, cutShort);
  if (lines.isEmpty()) return;
  ShowMessageBox(parent, {{},
                          language.Caption("FileString", headKey) + ":\n" + lines.join('\n'),
                          QMessageBox::Warning});
}

}  // namespace talvo::app
