#include "cli/errors.h"

#include "link/vandircnc.h"

namespace talvo::cli {

namespace {

Failure TransferBroken(std::string_view step, std::int32_t code) {
  return Failure(ExitStatus::kConnection,
                 "transfer failed: " + std::string(step) + " (" + std::to_string(code) + ")");
}

Failure UploadFailure(std::int32_t code, bool connected, const std::string& localName) {
  switch (code) {
    // The link reports a lost connection with the same number.
    case vandir::kUploadUnreadable:
      return connected ? LocalFileError(localName + ": cannot be read") : NotConnected();
    case vandir::kUploadNegativeSize: return LocalFileError(localName + ": too large to send");
    case vandir::kUploadStartShortReply:
      return TransferBroken("no full answer to the start of the upload", code);
    case vandir::kUploadStartShortSend:
      return TransferBroken("the start of the upload could not be sent", code);
    case vandir::kUploadDataShortReply:
      return TransferBroken("no full answer to a piece of the file", code);
    case vandir::kUploadDataShortSend:
      return TransferBroken("a piece of the file could not be sent", code);
    case vandir::kUploadEndShortReply:
      return TransferBroken("no full answer to the end of the upload", code);
    case vandir::kUploadEndShortSend:
      return TransferBroken("the end of the upload could not be sent", code);
    default: return TransferBroken("upload broken off", code);
  }
}

Failure DownloadFailure(std::int32_t code, const std::string& localName) {
  switch (code) {
    case vandir::kJobConnectionLost: return NotConnected();
    case vandir::kDownloadUncreatable: return LocalFileError(localName + ": cannot be created");
    case vandir::kDownloadPieceNotWritten:
    case vandir::kDownloadFirstNotWritten:
      return LocalFileError(localName + ": a piece of the file could not be written");
    case vandir::kDownloadPieceShortReply:
      return TransferBroken("no full answer to a piece request", code);
    case vandir::kDownloadPieceShortSend:
      return TransferBroken("a piece request could not be sent", code);
    case vandir::kDownloadFirstShortReply:
      return TransferBroken("no full answer to the first piece request", code);
    case vandir::kDownloadFirstShortSend:
      return TransferBroken("the first piece request could not be sent", code);
    default: return TransferBroken("download broken off", code);
  }
}

}  // namespace

Failure UsageError(const std::string& message) { return Failure(ExitStatus::kUsage, message); }

Failure NotConnected() { return Failure(ExitStatus::kConnection, "not connected"); }

Failure ControllerError(int code) {
  return Failure(ExitStatus::kControllerRefused, "controller error code " + std::to_string(code));
}

Failure LocalFileError(const std::string& detail) {
  return Failure(ExitStatus::kLocalFile, "local file error: " + detail);
}

Failure TimedOut(std::string_view what) {
  return Failure(ExitStatus::kTimedOut, "timed out waiting for " + std::string(what));
}

std::optional<Failure> LoginFailure(std::int16_t loginStatus) {
  if (loginStatus == vandir::kLoginFull || loginStatus == vandir::kLoginLimited)
    return std::nullopt;
  // Negative values are the link's own: no connection or no full handshake.
  if (loginStatus < 0) return NotConnected();
  return Failure(ExitStatus::kConnection, "login refused (" + std::to_string(loginStatus) + ")");
}

std::optional<Failure> WriteFailure(std::int16_t setStatus) {
  switch (setStatus) {
    case vandir::kSetDone: return std::nullopt;
    case vandir::kSetTimedOut: return TimedOut("the controller to confirm the write");
    case vandir::kSetNoRight:
      return Failure(ExitStatus::kControllerRefused,
                     "refused: this login level gives no right to write");
    default: return ControllerError(setStatus);
  }
}

Failure TransferStartFailure(int result, const std::string& localName) {
  switch (result) {
    case vandir::kRefused: return NotConnected();
    case vandir::kFileMissing: return LocalFileError(localName + ": no such file");
    case vandir::kFileUnreadable: return LocalFileError(localName + ": cannot be read");
    default:  // kBadArgument and kNameMissing: both names travel in one package
      return UsageError("the file names are too long for the controller (" +
                        std::to_string(result) + ")");
  }
}

Failure TransferFailure(Transfer kind, std::int32_t fileError, bool connected,
                        const std::string& localName) {
  if (fileError > 0) {
    if (kind == Transfer::kUpload && fileError == vandir::kUploadTargetExists)
      return Failure(ExitStatus::kControllerRefused,
                     "controller error code 9 (the file exists; --overwrite replaces it)");
    return ControllerError(fileError);
  }
  return kind == Transfer::kUpload ? UploadFailure(fileError, connected, localName)
                                   : DownloadFailure(fileError, localName);
}

}  // namespace talvo::cli
