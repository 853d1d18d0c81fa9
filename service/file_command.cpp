#include "service/file_command.h"

#include <cstring>

namespace talvo {

bool MakeFileCommand(std::uint8_t command, const std::string& name1, const std::string& name2,
                     SFileCommand* record) {
  if (name1.size() >= sizeof record->Name1 || name2.size() >= sizeof record->Name2) return false;
  *record = SFileCommand{};
  record->Command = command;
  std::memcpy(record->Name1, name1.data(), name1.size());
  std::memcpy(record->Name2, name2.data(), name2.size());
  return true;
}

}  // namespace talvo
