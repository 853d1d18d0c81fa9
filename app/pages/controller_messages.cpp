#include "app/pages/controller_messages.h"

#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/language/caption_keys.h"
#include "link/vandircnc.h"

namespace talvo::app {
namespace {

constexpr int kControllerEnglish = 2;
constexpr int kTraditionalChinese = 0;

void ShowOnController(TFormMain& frame, const char* messageKey) {
  if (!frame.MessageToController()) return;
  frame.Service().Link()->MessageBoxA(ControllerCaption(frame, "FileTrans", messageKey),
                                      ControllerCaption(frame, "FileTrans", "CONFIM_NC"));
}

}  // namespace

std::string ControllerCaption(const TFormMain& frame, std::string_view section,
                              std::string_view key) {
  const int language = frame.ControllerLanguage() == kControllerEnglish ? kControllerEnglish
                                                                         : kTraditionalChinese;
  const TCaptionKey& entry = CaptionKey(std::string(section), std::string(key));
  return frame.Language().File(language).ReadString(entry.section, entry.key, entry.fallback);
}

void RefuseForControllerState(TFormMain& frame, QWidget* parent) {
  ShowOnController(frame, "CONFIM_PRESS_NC_EMG");
  ShowMessage(parent, frame.Language().Caption("FileTrans", "CONFIM_PRESS_EMG"));
}

void TellControllerTransferDone(TFormMain& frame, const char* messageKey, int code) {
  ShowOnController(frame, messageKey);
  frame.Service().Link()->SendMessageA(static_cast<std::int16_t>(code), "");
}

}  // namespace talvo::app
