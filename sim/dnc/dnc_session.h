// DNC sessions as the controller runs them against the connected PC: it numbers its
// requests, sends them on the DNC channel and checks that each reply answers its request.
// One session serves the control channel for the simulator's lifetime, so its numbering
// goes on across PC connections.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/package.h"
#include "sim/controller.h"
#include "sim/dnc/dnc_channel.h"
#include "sim/outcome.h"

namespace vandir::sim {

class DncSession {
 public:
  DncSession(DncChannel& channel, Controller& controller);

  DncChannel& Channel() { return channel_; }
  void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

  // The request as given, iIndex included, and the bytes of the reply as they came; none
  // for a data-recorder record, which the PC does not answer.
  Outcome<std::vector<std::uint8_t>> Raw(const defPACKAGE& request);
  // The request under a fresh iIndex, and its reply, which must carry the reply code and
  // the index. With `twice` the request goes again under the same index and must get the
  // same reply back, as from a PC that keeps its last result for a retransmission.
  Outcome<defPACKAGE> Ask(defPACKAGE request, bool twice = false);

  struct Entry {
    std::string name;
    std::int32_t size = 0;
    int attributes = 0;
  };
  // Search first, then search next until the PC has no more.
  Outcome<std::vector<Entry>> Search(std::string_view pattern, std::int16_t attributes);

  // A repeat of 0 repeats nothing; K (from 1) sends the K-th piece or record twice.
  struct Run {
    std::int32_t size = 0;
    int pieces = 0;
    std::uint32_t crc = 0;
    std::string file;  // where the controller keeps what it got
  };
  // Fetches the PC file `name` piece by piece, as the controller runs a program from the
  // PC's disk, and keeps it in C:\DNCRUN under its own name.
  Outcome<Run> RunProgram(std::string_view name, int repeat);
  struct Sent {
    std::int64_t bytes = 0;
    int pieces = 0;
  };
  // Sends the controller file `local` to the PC, which stores it as `remote`.
  Outcome<Sent> SendFile(std::string_view local, std::string_view remote, int repeat);
  // Sends `count` records of the data recorder; answers the count.
  Outcome<int> Record(int count, int repeat);

 private:
  std::int16_t TakeIndex();

  DncChannel& channel_;
  Controller& controller_;
  std::chrono::milliseconds timeout_;
  std::int16_t nextIndex_;
};

}  // namespace vandir::sim
