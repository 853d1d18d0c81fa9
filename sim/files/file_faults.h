// Faults the control channel injects into file work. Like the reply faults they are
// global: whichever connection does the next file work takes them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

namespace vandir::sim {

// What the next transfer does once it answered `after` steps (data packages of an upload,
// pieces of a download, its first piece counted) at the step that follows: close the
// connection instead of answering, answer `code` (a failed upload step ends the upload), or
// answer a download piece of no bytes.
struct TransferFault {
  enum class Kind { Drop, Fail, EmptyPiece };
  Kind kind = Kind::Drop;
  long after = 0;
  std::int16_t code = 0;
};

class FileFaults {
 public:
  // The next file command or transfer step answers `code` and changes nothing.
  void FailNext(std::int16_t code);
  // Replaces a transfer fault armed before and not yet taken.
  void ArmTransferFault(TransferFault fault);

  // While on, listings end with entries no plain file name has, and downloads of them are
  // served.
  void SetHostileNames(bool on) { hostileNames_ = on; }
  bool HostileNames() const { return hostileNames_; }
  // The next listing announces more entries than it has, and its parts past the end bring
  // none: a client waiting for the total waits for ever.
  void ArmEndlessListing() { endlessListing_ = true; }
  bool TakeEndlessListing() { return endlessListing_.exchange(false); }

  std::optional<std::int16_t> TakeFailure();
  // Taken by a transfer when it starts; an empty piece waits for a download.
  std::optional<TransferFault> TakeTransferFault(bool download);

 private:
  std::mutex mutex_;
  std::optional<std::int16_t> failure_;
  std::optional<TransferFault> transferFault_;
  std::atomic<bool> hostileNames_{false};
  std::atomic<bool> endlessListing_{false};
};

}  // namespace vandir::sim
