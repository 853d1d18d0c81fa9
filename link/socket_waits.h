// Socket work of one thread that another thread can cut short.
//
// A link thread owns its sockets alone and waits on them with poll; the thread that wants
// it to stop raises a Waker instead of touching the sockets, which ends every wait at once.
#pragma once

#include <asio.hpp>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vandir {

// Bound to the io_context's own executor: the type-erased default one brings atomic fences
// that ThreadSanitizer cannot follow.
using TcpSocket = asio::basic_stream_socket<asio::ip::tcp, asio::io_context::executor_type>;
using TcpAcceptor = asio::basic_socket_acceptor<asio::ip::tcp, asio::io_context::executor_type>;

// An event that stays raised until cleared; safe to raise from any thread.
class Waker {
 public:
  Waker();
  ~Waker();
  Waker(const Waker&) = delete;
  Waker& operator=(const Waker&) = delete;

  void Raise();
  void Clear();
  bool Raised() const;
  int Handle() const { return fd_; }
  // Waits for `timeout` unless raised first; true when raised.
  bool WaitFor(std::chrono::milliseconds timeout) const;

 private:
  int fd_;
};

// Waits until `fd` is ready for `events` (POLLIN, POLLOUT); false when the waker was raised
// or `timeout` passed first (a negative timeout waits without limit).
bool WaitReady(int fd, short events, const Waker& waker,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(-1));

// The address of `host` (dotted or a name) at `port`.
std::optional<asio::ip::tcp::endpoint> ResolveEndpoint(asio::io_context& io,
                                                       const std::string& host,
                                                       std::uint16_t port);

// Opens `socket` and connects it within `timeout`, leaving it non-blocking with TCP_NODELAY;
// on failure the socket is closed.
bool ConnectWithin(TcpSocket& socket, const asio::ip::tcp::endpoint& endpoint,
                   std::chrono::milliseconds timeout, const Waker& waker);

// Exact transfers on a non-blocking socket; false on end of stream, error or waker.
bool ReadExact(TcpSocket& socket, std::uint8_t* data, std::size_t size, const Waker& waker);
bool WriteAll(TcpSocket& socket, const std::uint8_t* data, std::size_t size, const Waker& waker);

}  // namespace vandir
