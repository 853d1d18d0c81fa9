// One port of the controller. It accepts its clients on its own thread and serves
// them one after another, as the controller does.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "sim/wire/socket.h"

namespace vandir::sim {

class Listener {
 public:
  // Serves one accepted client on the listener's thread; the next client is accepted
  // when it returns. It may move the socket away to serve it elsewhere.
  using Serve = std::function<void(Socket& client)>;

  // Binds and listens at once (std::system_error when it cannot), so a port that is
  // taken shows before the simulator reports ready.
  Listener(asio::io_context& io, const asio::ip::tcp::endpoint& endpoint, Serve serve);
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;
  // Stops accepting and waits for the thread; close the connections first, or this
  // waits for the client being served to leave.
  ~Listener();

 private:
  void Run();

  asio::io_context& io_;
  Acceptor acceptor_;
  const std::uint16_t port_;
  const Serve serve_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace vandir::sim
