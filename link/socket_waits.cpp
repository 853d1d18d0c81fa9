#include "link/socket_waits.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace vandir {

namespace {

int PollMilliseconds(std::chrono::milliseconds timeout) {
  return timeout.count() < 0 ? -1 : static_cast<int>(timeout.count());
}

}  // namespace

Waker::Waker() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

Waker::~Waker() {
  if (fd_ >= 0) ::close(fd_);
}

void Waker::Raise() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(fd_, &one, sizeof one);
}

void Waker::Clear() {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto read = ::read(fd_, &count, sizeof count);
}

bool Waker::Raised() const { return WaitFor(std::chrono::milliseconds(0)); }

bool Waker::WaitFor(std::chrono::milliseconds timeout) const {
  pollfd raised{fd_, POLLIN, 0};
  int polled;
  do {
    polled = ::poll(&raised, 1, PollMilliseconds(timeout));
  } while (polled < 0 && errno == EINTR);
  return polled > 0;
}

bool WaitReady(int fd, short events, const Waker& waker, std::chrono::milliseconds timeout) {
  std::array<pollfd, 2> fds{pollfd{fd, events, 0}, pollfd{waker.Handle(), POLLIN, 0}};
  int polled;
  do {
    polled = ::poll(fds.data(), fds.size(), PollMilliseconds(timeout));
  } while (polled < 0 && errno == EINTR);
  return polled > 0 && fds[1].revents == 0 && fds[0].revents != 0;
}

std::optional<asio::ip::tcp::endpoint> ResolveEndpoint(asio::io_context& io,
                                                       const std::string& host,
                                                       std::uint16_t port) {
  // "0" is the text of a link without a controller, not a name to look up.
  if (host.empty() || host == "0") return std::nullopt;
  asio::error_code ec;
  const auto address = asio::ip::make_address(host, ec);
  if (!ec) return asio::ip::tcp::endpoint(address, port);
  asio::ip::basic_resolver<asio::ip::tcp, asio::io_context::executor_type> resolver(io);
  const auto results = resolver.resolve(host, std::to_string(port), ec);
  if (ec || results.empty()) return std::nullopt;
  return results.begin()->endpoint();
}

bool ConnectWithin(TcpSocket& socket, const asio::ip::tcp::endpoint& endpoint,
                   std::chrono::milliseconds timeout, const Waker& waker) {
  asio::error_code ec;
  if (socket.is_open()) socket.close(ec);
  socket.open(endpoint.protocol(), ec);
  if (ec) return false;
  socket.non_blocking(true, ec);
  const int fd = socket.native_handle();
  bool connected = ::connect(fd, endpoint.data(), static_cast<socklen_t>(endpoint.size())) == 0;
  if (!connected && errno == EINPROGRESS && WaitReady(fd, POLLOUT, waker, timeout)) {
    int error = 0;
    socklen_t length = sizeof error;
    connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
  }
  if (!connected) {
    socket.close(ec);
    return false;
  }
  socket.set_option(asio::ip::tcp::no_delay(true), ec);
  return true;
}

bool ReadExact(TcpSocket& socket, std::uint8_t* data, std::size_t size, const Waker& waker) {
  std::size_t done = 0;
  while (done < size) {
    asio::error_code ec;
    done += socket.read_some(asio::buffer(data + done, size - done), ec);
    if (ec == asio::error::would_block) {
      if (!WaitReady(socket.native_handle(), POLLIN, waker)) return false;
    } else if (ec) {
      return false;
    }
  }
  return true;
}

bool WriteAll(TcpSocket& socket, const std::uint8_t* data, std::size_t size, const Waker& waker) {
  std::size_t done = 0;
  while (done < size) {
    asio::error_code ec;
    done += socket.write_some(asio::buffer(data + done, size - done), ec);
    if (ec == asio::error::would_block) {
      if (!WaitReady(socket.native_handle(), POLLOUT, waker)) return false;
    } else if (ec) {
      return false;
    }
  }
  return true;
}

}  // namespace vandir
