// What the maintenance service is doing, and how far a connect sequence has come.
#pragma once

#include <cstdint>

namespace talvo {

enum EProcessKind : std::int8_t {
  pkNone = 0,
  pkConnectCountdown = 1,
  pkConnecting = 2,
  pkGetInformation = 3,
  pkGetFileList = 4,
  pkSendFile = 5,
  pkReceiveFile = 6,
  pkFileRename = 7,
  pkFileDelete = 8,
  pkDirCreate = 9,
  pkWaitOverwrite = 10,
  pkCommandList = 11,  // only reported, when a whole command list has finished
};

enum EConnectState : std::uint8_t {
  csNone = 0,
  csPrepare = 1,
  csConnecting = 2,
  csGetVersion = 3,
  csGetRootPath = 4,
  csGetMachinePath = 5,
  csGetNcFilesPath = 6,
  csDownloadMlcErrStr = 7,
  csDownloadUsrStr = 8,
  csDownloadDspStr = 9,
  csDownloadParamIndex = 10,
  csConnected = 11,
};

}  // namespace talvo
