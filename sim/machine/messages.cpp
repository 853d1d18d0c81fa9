#include "sim/machine/messages.h"

#include <string>

#include "sim/control/control_text.h"
#include "sim/note.h"
#include "sim/wire/request_text.h"

namespace vandir::sim {

namespace {

constexpr std::int16_t kCmdMessageBox = 418;
constexpr std::int16_t kCmdOperatorMessage = 422;
constexpr std::size_t kMostKept = 20;


}  // namespace

void Messages::Notice(const defPACKAGE& request) {
  if (request.iCommand() == kCmdMessageBox) {
    const auto [text, title] =
        RequestTexts(request, kData, request.iParam2(), request.iParam3());
    Note("message box: %s: %s", title.c_str(), text.c_str());
    Keep(" box " + Quoted(title) + ' ' + Quoted(text));
  } else if (request.iCommand() == kCmdOperatorMessage) {
    const int kind = request.iParam1();
    const std::string text = RequestText(request, kData, request.iParam2());
    Note("operator message kind %d: %s", kind, text.c_str());
    Keep(" message " + std::to_string(kind) + ' ' + Quoted(text));
  }
}

void Messages::Keep(std::string item) {
  std::lock_guard lock(mutex_);
  kept_.push_back(std::move(item));
  if (kept_.size() > kMostKept) kept_.pop_front();
}

std::string Messages::List() const {
  std::lock_guard lock(mutex_);
  std::string list;
  for (const auto& item : kept_) list += item;
  return list;
}

}  // namespace vandir::sim
