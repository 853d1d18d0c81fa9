#include "sim/dnc/dnc_channel.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <span>
#include <string>
#include <system_error>

#include "sim/note.h"

namespace vandir::sim {

namespace {

using Clock = std::chrono::steady_clock;

void ShutDown(Socket& socket) {
  std::error_code ignored;  // a peer that is gone already is just as dropped
  socket.shutdown(Socket::shutdown_both, ignored);
}

// Waits until the socket is ready for `events`, or the deadline passes.
std::error_code Await(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return asio::error::timed_out;
    pollfd watched{fd, events, 0};
    const int ready = poll(&watched, 1, static_cast<int>(left.count()));
    if (ready > 0) return {};
    if (ready == 0) return asio::error::timed_out;
    if (errno != EINTR) return {errno, std::system_category()};
  }
}

// Moves every byte of `bytes` through the socket before the deadline. `step` is a send or
// a receive that never blocks: a PC that stops reading must not hold the control channel
// past the deadline, as a blocking send with a full buffer would.
template <typename Byte, typename Step>
std::error_code MoveAll(int fd, short events, std::span<Byte> bytes, Clock::time_point deadline,
                        Step step) {
  while (!bytes.empty()) {
    if (const auto ec = Await(fd, events, deadline)) return ec;
    const ssize_t moved = step(fd, bytes);
    if (moved == 0) return asio::error::eof;
    if (moved < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      return {errno, std::system_category()};
    }
    bytes = bytes.subspan(static_cast<std::size_t>(moved));
  }
  return {};
}

std::error_code SendAll(int fd, std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
  return MoveAll(fd, POLLOUT, bytes, deadline, [](int socket, std::span<const std::uint8_t> rest) {
    return ::send(socket, rest.data(), rest.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
  });
}

std::error_code ReceiveAll(int fd, std::span<std::uint8_t> bytes, Clock::time_point deadline) {
  return MoveAll(fd, POLLIN, bytes, deadline, [](int socket, std::span<std::uint8_t> rest) {
    return ::recv(socket, rest.data(), rest.size(), MSG_DONTWAIT);
  });
}

std::string Reason(const std::error_code& ec) {
  return ec == asio::error::timed_out ? "timeout" : "connection lost: " + ec.message();
}

}  // namespace

DncChannel::~DncChannel() {
  std::lock_guard lock(mutex_);
  if (link_) ShutDown(*link_);
}

void DncChannel::Adopt(Socket socket) {
  std::lock_guard lock(mutex_);
  if (link_) {
    // The control thread may be in an exchange on it; shutting it down ends that exchange,
    // and the socket closes when the exchange lets go of it.
    ShutDown(*link_);
    Note("DNC channel: a new PC connection replaces the one held");
  } else {
    Note("DNC channel: a PC connected");
  }
  link_ = std::make_shared<Socket>(std::move(socket));
}

DncChannel::Link DncChannel::Current() {
  std::lock_guard lock(mutex_);
  return link_;
}

bool DncChannel::Connected() {
  const auto link = Current();
  if (!link) return false;
  if (Drain(*link)) return true;
  Lose(link, "the PC closed the connection");
  return false;
}

void DncChannel::Drop() {
  std::lock_guard lock(mutex_);
  if (!link_) return;
  ShutDown(*link_);
  link_.reset();
  Note("DNC channel: dropped the PC connection");
}

long DncChannel::Unasked() const {
  std::lock_guard lock(mutex_);
  return unasked_;
}

bool DncChannel::Drain(Socket& link) {
  std::uint8_t junk[kPackageSize];
  long drained = 0;
  bool open = true;
  for (;;) {
    const ssize_t got = ::recv(link.native_handle(), junk, sizeof junk, MSG_DONTWAIT);
    if (got > 0) {
      drained += got;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    open = got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    break;
  }
  if (drained > 0) {
    Note("DNC channel: threw away %ld bytes the PC sent unasked", drained);
    std::lock_guard lock(mutex_);
    unasked_ += drained;
  }
  return open;
}

Failure DncChannel::Lose(const Link& link, std::string why) {
  std::lock_guard lock(mutex_);
  if (link_ == link) {
    ShutDown(*link_);
    link_.reset();
    Note("DNC channel: dropped the PC connection (%s)", why.c_str());
  }
  return {std::move(why)};
}

Outcome<DncChannel::Link> DncChannel::Deliver(const defPACKAGE& request, Deadline deadline) {
  const auto link = Current();
  if (!link) return Failure{"no PC connected"};
  if (!Drain(*link)) return Lose(link, "connection lost: the PC closed it");
  if (const auto ec = SendAll(link->native_handle(), request.bytes, deadline)) {
    return Lose(link, Reason(ec));
  }
  return link;
}

Outcome<int> DncChannel::Send(const defPACKAGE& request, std::chrono::milliseconds timeout) {
  const auto sent = Deliver(request, Clock::now() + timeout);
  if (!sent) return Failure{sent.Why()};
  return kPackageSize;
}

Outcome<defPACKAGE> DncChannel::Exchange(const defPACKAGE& request,
                                         std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  const auto sent = Deliver(request, deadline);
  if (!sent) return Failure{sent.Why()};
  const Link& link = *sent;
  const int fd = link->native_handle();
  defPACKAGE reply;
  std::span<std::uint8_t> bytes(reply.bytes);
  if (const auto ec = ReceiveAll(fd, bytes.first(kHeaderSize), deadline)) {
    return Lose(link, Reason(ec));
  }
  const int length = reply.iLength();
  if (length < kHeaderSize || length > kPackageSize) {
    return Lose(link, "bad reply: iLength " + std::to_string(length));
  }
  if (const auto ec = ReceiveAll(fd, bytes.subspan(kHeaderSize, length - kHeaderSize), deadline)) {
    return Lose(link, Reason(ec));
  }
  return reply;
}

}  // namespace vandir::sim
