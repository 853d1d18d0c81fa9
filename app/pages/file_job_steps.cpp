#include "app/pages/file_job_steps.h"

#include "service/talvo_service.h"

namespace talvo::app {
namespace {

bool Queue(TTalvoService& service, const TFileJobStep& step) {
  switch (step.command) {
    case fcSendFile:
      return service.SendFile(step.first, step.second);
    case fcReceiveFile:
      return service.ReceiveFile(step.first, step.second);
    case fcFileRename:
      return service.FileRename(step.first, step.second);
    case fcFileDelete:
      return service.FileDelete(step.first);
    case fcDirCreate:
      return service.DirCreate(step.first);
  }
  return false;
}

}  // namespace

std::vector<TRefusedName> QueueSteps(TTalvoService& service, std::vector<TFileJobStep>& steps) {
  std::vector<TRefusedName> refused;
  std::erase_if(steps, [&](const TFileJobStep& step) {
    if (Queue(service, step)) return false;
    refused.push_back({FileNamePart(step.command == fcReceiveFile ? step.second : step.first),
                       ELeftOut::kTooLong});
    return true;
  });
  return refused;
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
