// Faults the control channel injects into file work. Like the reply faults they are
// global: whichever connection does the next file work takes them.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

namespace vandir::sim {

class FileFaults {
 public:
  // The next file command or transfer step answers `code` and changes nothing.
  void FailNext(std::int16_t code);
  // The next transfer answers `steps` data packages or download pieces, then the
  // connection closes instead of answering the next one.
  void DropTransferAfter(long steps);

  std::optional<std::int16_t> TakeFailure();
  // Taken by a transfer when it starts.
  std::optional<long> TakeTransferDrop();

 private:
  std::mutex mutex_;
  std::optional<std::int16_t> failure_;
  std::optional<long> transferDrop_;
};

}  // namespace vandir::sim
