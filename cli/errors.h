// How a command fails: one line of text for stderr and the exit status scripts branch on.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "link/transfer_watch.h"

namespace talvo::cli {

// Scripts test these numbers, so they never change meaning.
enum class ExitStatus : int {
  kSuccess = 0,
  kUsage = 1,
  kConnection = 2,  // no connection, login refused, connection lost, transfer broken off
  kControllerRefused = 3,
  kLocalFile = 4,
  kTimedOut = 5,
  kIncomplete = 6,  // backup: a machine not backed up, or one of its files missing
  kDamaged = 7,     // verify: a backed-up file missing or changed, or a backup unfinished
  kDiffUsage = 8,   // diff: the command line is wrong (1 says the sides differ)
  kDiffer = 1,      // diff: the sides differ
};

// Thrown to end the command; main() prints the message and exits with the status.
class Failure : public std::runtime_error {
 public:
  Failure(ExitStatus status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  ExitStatus Status() const { return status_; }

 private:
  ExitStatus status_;
};

Failure UsageError(const std::string& message);
Failure NotConnected();
Failure ControllerError(int code);
Failure LocalFileError(const std::string& detail);
Failure TimedOut(std::string_view what);

// The login result as the link reports it; nothing when the login was accepted.
std::optional<Failure> LoginFailure(std::int16_t loginStatus);
// The outcome of a write once it is no longer pending; nothing when the controller took it.
std::optional<Failure> WriteFailure(std::int16_t setStatus);

using Transfer = vandir::TransferDirection;
// A transfer the link would not start (the result of SendFile or ReceiveFile).
Failure TransferStartFailure(int result, const std::string& localName);
// A transfer job that ended with a non-zero file error. `connected` tells a broken
// connection from a local file that cannot be read, which the link reports alike.
Failure TransferFailure(Transfer kind, std::int32_t fileError, bool connected,
                        const std::string& localName);

}  // namespace talvo::cli
