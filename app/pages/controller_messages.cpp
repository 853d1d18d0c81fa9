#include "app/pages/controller_messages.h"

#include <QTimer>

#include <functional>

#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/language/caption_keys.h"
#include "app/language/language.h"
#include "link/result_codes.h"
#include "link/vandircnc.h"

namespace talvo::app {
namespace {

constexpr int kControllerEnglish = 2;
constexpr int kTraditionalChinese = 0;

constexpr int kSendTries = 100;
constexpr int kSendRetryMs = 20;

// The link turns a request away while the service is queueing its polls; the operator must
// still get the message, so a refused one is tried again for a couple of seconds.
void SendUntilTaken(TFormMain& frame, std::function<int(vandir::TVandirCNC&)> send,
                    int triesLeft = kSendTries) {
  vandir::TVandirCNC* link = frame.Service().Link();
  if (link == nullptr || !frame.Service().GetSessionReady()) return;
  if (send(*link) != vandir::kRefused || triesLeft <= 1) return;
  QTimer::singleShot(kSendRetryMs, &frame, [&frame, send = std::move(send), triesLeft] {
    SendUntilTaken(frame, send, triesLeft - 1);
  });
}

void ShowOnController(TFormMain& frame, const char* messageKey) {
  if (!frame.MessageToController()) return;
  SendUntilTaken(frame, [message = ControllerCaption(frame, "FileTrans", messageKey),
                         title = ControllerCaption(frame, "FileTrans", "CONFIM_NC")](
                            vandir::TVandirCNC& link) { return link.MessageBoxA(message, title); });
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

bool ConfirmSendToController(TFormMain& frame, QWidget* parent, const QStringList& what,
                             const std::string& folder, const QStringList& warnings) {
  const TLanguage& language = frame.Language();
  const std::string address = frame.Service().GetCncIP();
  QString machine = QString::fromStdString(address);
  const TMachineList& machines = frame.Machines();
  for (int n = 0; n < machines.Count(); ++n)
    if (machines.Ip(n) == address) {
      machine = language.Decode(machines.Name(n)) + " (" + machine + ")";
      break;
    }
  QStringList lines{language.Caption("FileTrans", "ConfirmSendTo") + " " + machine + ":"};
  for (const QString& item : what) lines << "  " + item;
  lines << language.Caption("FileTrans", "ConfirmSendFrom") + " " + language.Decode(folder);
  if (!warnings.isEmpty()) lines << "" << warnings;
  lines << "" << language.Caption("FileTrans", "ConfirmSendReplace");
  return ShowMessageBox(parent, {{}, lines.join('\n'), QMessageBox::Question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No}) ==
         QMessageBox::Yes;
}

void TellControllerTransferDone(TFormMain& frame, const char* messageKey, int code) {
  ShowOnController(frame, messageKey);
  SendUntilTaken(frame, [code](vandir::TVandirCNC& link) {
    return link.SendMessageA(static_cast<std::int16_t>(code), "");
  });
}

}  // namespace talvo::app
