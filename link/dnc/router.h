// Router: lets a third party reach the controller through the PC. It listens on a local
// address at the command port and relays one client at a time to the controller's command
// port; a client that connects while a relay runs is refused (closed at once). After each
// client it listens for the next.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "link/package.h"

namespace vandir {

class Router {
 public:
  Router();
  ~Router();
  Router(const Router&) = delete;
  Router& operator=(const Router&) = delete;

  // Listens on `localAddress`:`port` and relays each client to `controller`:`port`; a running
  // router is disabled first. 0 when listening, -17 for an address that is not an IP
  // address, -1 when the address cannot be listened on.
  int Enable(const std::string& localAddress, const std::string& controller,
             std::uint16_t port = kCommandPort);
  // Stops listening and ends a running relay; returns promptly even when a client or the
  // controller has stalled.
  void Disable();

  bool Listening() const { return thread_.joinable(); }
  // Clients taken for relaying so far, and clients refused because a relay was running.
  std::atomic<std::uint32_t> ClientCount{0};
  std::atomic<std::uint32_t> RefusedCount{0};

 private:
  void Run(std::string controller, std::uint16_t port);

  // The listening socket (the thread's alone while it runs), the relay and the stop signal.
  struct Relay;
  const std::unique_ptr<Relay> relay_;
  std::thread thread_;
};

}  // namespace vandir
