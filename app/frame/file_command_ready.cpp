#include "app/frame/file_command_ready.h"

#include "app/frame/message_box.h"
#include "app/language/language.h"
#include "service/talvo_info_machine.h"
#include "service/talvo_service.h"

namespace talvo::app {
namespace {

// The job a busy service is running, as the user is told of it; null for a state that has no
// message (connecting, waiting for an overwrite answer).
const char* BusyMessageKey(EProcessKind kind) {
  switch (kind) {
    case pkGetFileList:
      return "MessageGetNCFileList";
    case pkReceiveFile:
      return "MessageFileNCtoPC";
    case pkSendFile:
      return "MessageFilePCtoNC";
    case pkFileRename:
      return "MessageRenameNCFile";
    case pkFileDelete:
      return "MessageDelNCFile";
    default:
      return nullptr;
  }
}

constexpr int kStatusReady = 1;

}  // namespace

bool CheckFileCommandReady(QWidget* parent, const TTalvoService& service,
                           const TLanguage& language, bool checkController,
                           const TTalvoInfo_StatusMode& status) {
  if (!service.GetSessionReady()) {
    ShowMessage(parent, language.Caption("FileString", "MessageConnectNotReady"));
    return false;
  }
  if (checkController && status.Status() != kStatusReady) {
    ShowMessage(parent, language.Caption("FileTrans", "CONFIRM_NC_READY"));
    return false;
  }
  const EProcessKind kind = service.GetProcessKind();
  if (kind == pkGetInformation) return true;
  if (const char* key = BusyMessageKey(kind)) ShowMessage(parent, language.Caption("FileString", key));
  return false;
}

}  // namespace talvo::app
