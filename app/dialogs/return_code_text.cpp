#include "app/dialogs/return_code_text.h"

#include "app/dialogs/optional_caption.h"
#include "link/result_codes.h"

namespace talvo::app {

const char* ReturnCodeKey(int value) {
  struct Entry {
    int value;
    const char* key;
  };
  static constexpr Entry kTable[] = {
      {vandir::kSetDone, "SetFinish"},
      {1, "GetFinish"},
      {2, "SetFail"},
      {3, "GetFail"},
      {kValueOutOfRange, "OverRangeErr"},
      {5, "OverLevelErr"},
      {kNumberOutOfRange, "OverNoErr"},
      {7, "OverFieldErr"},
      {8, "OverPErr"},
      {9, "OverAxisRange"},
      {kDataError, "DataErr"},
      {kNetConnectError, "NetConnectErr"},
      {200, "ModeOverErr"},
      {201, "ModeErr"},
      {300, "StatusOverErr"},
      {301, "StatusErr"},
      {400, "PwLevelOver"},
      {401, "PwNoNotFound"},
      {kPasswordError, "PwErr"},
      {vandir::kSetPending, "NetWaiting"},
      {vandir::kSetNoRight, "NetPcIpReadonly"},
      {vandir::kSetTimedOut, "NetTimeout"},
      {kWriteBusy, "NetBusy"},
      {kWriteResultUnknown, "NetResultUnknown"},
      {kWriteNoReply, "NetNoReply"},
  };
  for (const Entry& entry : kTable)
    if (entry.value == value) return entry.key;
  return nullptr;
}

QString ReturnCodeText(const TLanguage* language, int value) {
  const char* key = ReturnCodeKey(value);
  return key != nullptr ? OptionalCaption(language, "ReturnCode", key) : QString::number(value);
}

}  // namespace talvo::app
