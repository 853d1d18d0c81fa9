// Real TCP peers on loopback for the DNC and router tests: each test process takes
// 127.x.y.z addresses of its own, so the fixed ports of the protocol never collide.
#pragma once

#include <asio.hpp>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace vandir::test {

// Polls `condition` until it holds or the time is up; its last value.
inline bool Eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds within = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

inline std::string LoopbackAddress() {
  static std::atomic<unsigned> calls{0};
  const auto pid = static_cast<unsigned>(getpid());
  return "127." + std::to_string(220 + pid % 30) + "." + std::to_string(pid / 30 % 250) + "." +
         std::to_string(2 + calls++ % 250);
}

inline bool Readable(int fd, std::chrono::milliseconds within) {
  pollfd ready{fd, POLLIN, 0};
  return ::poll(&ready, 1, static_cast<int>(within.count())) > 0;
}

// A listening socket with accepts and reads that give up after a while.
class Peer {
 public:
  using tcp = asio::ip::tcp;
  Peer(const std::string& address, std::uint16_t port) : acceptor_(io_) {
    const tcp::endpoint endpoint(asio::ip::make_address(address), port);
    acceptor_.open(endpoint.protocol());
    acceptor_.set_option(asio::socket_base::reuse_address(true));
    acceptor_.bind(endpoint);
    acceptor_.listen();
  }

  // The next connection, or false when none came in time.
  bool Accept(tcp::socket& socket, std::chrono::milliseconds within = std::chrono::seconds(5)) {
    if (!Readable(acceptor_.native_handle(), within)) return false;
    acceptor_.accept(socket);
    return true;
  }
  tcp::socket NewSocket() { return tcp::socket(io_); }
  asio::io_context& Io() { return io_; }

 private:
  asio::io_context io_;
  tcp::acceptor acceptor_;
};

// Exactly `size` bytes, or false when they did not all come within the time.
inline bool ReadWithin(asio::ip::tcp::socket& socket, std::uint8_t* data, std::size_t size,
                       std::chrono::milliseconds within = std::chrono::seconds(5)) {
  std::size_t done = 0;
  while (done < size) {
    if (!Readable(socket.native_handle(), within)) return false;
    asio::error_code ec;
    const std::size_t n = socket.read_some(asio::buffer(data + done, size - done), ec);
    if (ec || n == 0) return false;
    done += n;
  }
  return true;
}

// True when the other side closed the connection within the time.
inline bool ClosedWithin(asio::ip::tcp::socket& socket, std::chrono::milliseconds within) {
  if (!Readable(socket.native_handle(), within)) return false;
  std::uint8_t byte;
  asio::error_code ec;
  return socket.read_some(asio::buffer(&byte, 1), ec) == 0 || ec;
}

}  // namespace vandir::test
