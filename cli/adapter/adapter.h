// The MTConnect adapter as a whole: the agents' server and the controller's poller, and
// the loop that ticks the poller when it asks to be until it is told to stop.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "cli/adapter/agent_server.h"
#include "cli/adapter/controller_poller.h"

namespace talvo::cli::adapter {

inline constexpr std::uint16_t kDefaultPort = 7878;

struct AdapterOptions {
  std::string listenAddress;  // all interfaces when empty
  std::uint16_t port = kDefaultPort;
  AgentLimits limits;
  PollTimes times;
  // Where the controller's text files are downloaded: by default a folder of its own,
  // made under the system's temporary folder. Removed when the adapter ends.
  std::filesystem::path textFolder;
};

class Adapter {
 public:
  // Listens at once; throws asio::system_error when it cannot.
  Adapter(vandir::TVandirCNC& link, std::string host, AdapterOptions options);

  std::uint16_t Port() const { return server_.Port(); }
  const AgentServer& Server() const { return server_; }

  // Ticks until `stopWithin`, which waits up to the time it is given, returns true.
  void Run(const std::function<bool(std::chrono::milliseconds)>& stopWithin);

 private:
  AgentServer server_;
  // After the server: it logs out before the agents are let go.
  ControllerPoller poller_;
};

}  // namespace talvo::cli::adapter
