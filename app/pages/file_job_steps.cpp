#include "app/pages/file_job_steps.h"

#include "service/talvo_service.h"

namespace talvo::app {

bool QueueSteps(TTalvoService& service, const std::vector<TFileJobStep>& steps) {
  for (const TFileJobStep& step : steps) {
    bool queued = false;
    switch (step.command) {
      case fcSendFile:
        queued = service.SendFile(step.first, step.second);
        break;
      case fcReceiveFile:
        queued = service.ReceiveFile(step.first, step.second);
        break;
      case fcFileRename:
        queued = service.FileRename(step.first, step.second);
        break;
      case fcFileDelete:
        queued = service.FileDelete(step.first);
        break;
      case fcDirCreate:
        queued = service.DirCreate(step.first);
        break;
    }
    if (!queued) return false;
  }
  return true;
}

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithTrailing(std::string folder, char separator) {
  if (folder.empty() || folder.back() != separator) folder += separator;
  return folder;
}

}  // namespace talvo::app
