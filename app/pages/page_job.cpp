#include "app/pages/page_job.h"

#include <algorithm>

#include "app/frame/message_box.h"
#include "app/language/language.h"

namespace talvo::app {

void TPageJob::Start(std::vector<TFileJobStep> steps, std::vector<TRefusedName> refused) {
  steps_ = std::move(steps);
  refused_ = std::move(refused);
  step_ = -1;
}

QStringList TPageJob::NotTransferred(const TLanguage& language, bool cutShort) const {
  QStringList lines;
  for (const TRefusedName& name : refused_) lines << RefusedNameLine(language, name);
  if (!cutShort) return lines;
  for (std::size_t step = static_cast<std::size_t>(std::max(step_, 0)); step < steps_.size();
       ++step) {
    const TFileJobStep& s = steps_[step];
    if (s.command == fcDirCreate) continue;
    lines << language.Decode(FileNamePart(s.command == fcReceiveFile ? s.second : s.first));
  }
  return lines;
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
