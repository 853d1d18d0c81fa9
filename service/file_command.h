// One queued file operation on the controller, as a packed record copied as a whole.
#pragma once

#include <cstdint>
#include <string>

namespace talvo {

enum EFileCommand : std::uint8_t {
  fcSendFile = 0,
  fcReceiveFile = 1,
  fcFileRename = 2,
  fcFileDelete = 3,
  fcDirCreate = 4,
};

#pragma pack(push, 1)
struct SFileCommand {
  std::uint8_t Command = fcSendFile;
  char Name1[256] = {};
  char Name2[256] = {};
};
#pragma pack(pop)
static_assert(sizeof(SFileCommand) == 513);

// The record for `command`; false (and the record untouched) when a name does not fit
// its 255 characters: a cut name would name another file.
bool MakeFileCommand(std::uint8_t command, const std::string& name1, const std::string& name2,
                     SFileCommand* record);

}  // namespace talvo
