// What the clients did since start, for the stats and log control commands.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/package.h"

namespace vandir::sim {

class Activity {
 public:
  enum class Kind { Handshake, Echo, Logout, Request };

  void Connected();
  // Every well-formed package goes to the log, whatever happens to it next, and is kept
  // as the last package of its command.
  void Received(const defPACKAGE& package);
  void Served(Kind kind);
  // Forgets the log and the last packages.
  void ClearLog();

  // "connections=N handshakes=N logouts=N echoes=N requests=N"
  std::string Stats() const;
  // " CMD:INDEX" for each logged package, in arrival order.
  std::string Log() const;
  // The sent bytes of the last package received with `command`, in lower-case hex.
  std::optional<std::string> Last(std::int16_t command) const;

 private:
  mutable std::mutex mutex_;
  long connections_ = 0;
  long handshakes_ = 0;
  long logouts_ = 0;
  long echoes_ = 0;
  long requests_ = 0;
  std::vector<std::pair<std::int16_t, std::int16_t>> log_;  // command, index
  std::map<std::int16_t, std::vector<std::uint8_t>> last_;  // by command
};

}  // namespace vandir::sim
