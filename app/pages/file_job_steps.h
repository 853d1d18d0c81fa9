// A file job a page builds before it hands it to the service: the steps in order, each one
// service file operation with its two names in the order that operation takes them.
#pragma once

#include <string>
#include <vector>

#include "app/pages/name_refusals.h"
#include "service/file_command.h"

namespace talvo {
class TTalvoService;
}

namespace talvo::app {

struct TFileJobStep {
  EFileCommand command;
  std::string first;   // SendFile: local; ReceiveFile: remote; others: the controller name
  std::string second;  // SendFile: remote; ReceiveFile: local; FileRename: the new name
  bool operator==(const TFileJobStep&) const = default;
};

// The controller's staging folder, where uploads wait for the operator to install them.
inline constexpr const char* kStagingFolder = "C:\\INSTTMP\\";

// Appends the steps to the service's list being built. A step the service refuses (a path
// too long for its record) is taken out of `steps` and returned, named by its file; `steps`
// is left as the service's list holds them.
std::vector<TRefusedName> QueueSteps(TTalvoService& service, std::vector<TFileJobStep>& steps);

// The last part of a PC or controller path.
std::string FileNamePart(const std::string& path);

// `folder` with its separator at the end.
std::string WithTrailing(std::string folder, char separator);

}  // namespace talvo::app
