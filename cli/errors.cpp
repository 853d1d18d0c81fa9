#include "cli/errors.h"

#include "link/vandircnc.h"

namespace talvo::cli {

namespace {

// The controller answers 9 to an upload whose target exists and was not to be replaced.
constexpr int kTargetExists = 9;

Failure TransferBroken(std::string_view step, std::int32_t code) {
  return Failure(ExitStatus::kConnection,
                 "transfer failed: " + std::string(step) + " (" + std::to_string(code) + ")");
}

Failure UploadFailure(std::int32_t code, bool connected, const std::string& localName) {
  switch (code) {
    case -1: return connected ? LocalFileError(localName + ": cannot be read") : NotConnected();
    case -2: return LocalFileError(localName + ": too large to send");
    case -3: return TransferBroken("no full answer to the start of the upload", code);
    case -4: return TransferBroken("the start of the upload could not be sent", code);
    case -5: return TransferBroken("no full answer to a piece of the file", code);
    case -6: return TransferBroken("a piece of the file could not be sent", code);
    case -7: return TransferBroken("no full answer to the end of the upload", code);
    case -8: return TransferBroken("the end of the upload could not be sent", code);
    default: return TransferBroken("upload broken off", code);
  }
}

Failure DownloadFailure(std::int32_t code, const std::string& localName) {
  switch (code) {
    case -1: return NotConnected();
    case -11: return LocalFileError(localName + ": cannot be created");
    case -12:
    case -15: return LocalFileError(localName + ": a piece of the file could not be written");
    case -13: return TransferBroken("no full answer to a piece request", code);
    case -14: return TransferBroken("a piece request could not be sent", code);
    case -16: return TransferBroken("no full answer to the first piece request", code);
    case -17: return TransferBroken("the first piece request could not be sent", code);
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
    case 0: return std::nullopt;
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
    case -22: return LocalFileError(localName + ": no such file");
    case -23: return LocalFileError(localName + ": cannot be read");
    default:  // -17 and -21: both names travel in one package
      return UsageError("the file names are too long for the controller (" +
                        std::to_string(result) + ")");
  }
}

Failure TransferFailure(Transfer kind, std::int32_t fileError, bool connected,
                        const std::string& localName) {
  if (fileError > 0) {
    if (kind == Transfer::kUpload && fileError == kTargetExists)
      return Failure(ExitStatus::kControllerRefused,
                     "controller error code 9 (the file exists; --overwrite replaces it)");
    return ControllerError(fileError);
  }
  return kind == Transfer::kUpload ? UploadFailure(fileError, connected, localName)
                                   : DownloadFailure(fileError, localName);
}

}  // namespace talvo::cli
