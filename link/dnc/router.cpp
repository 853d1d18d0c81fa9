#include "link/dnc/router.h"

#include <poll.h>

#include <array>
#include <cerrno>

#include "link/result_codes.h"
#include "link/socket_waits.h"
#include "link/thread_priority.h"

namespace vandir {

namespace {

constexpr auto kControllerConnectTimeout = std::chrono::seconds(5);
constexpr std::size_t kBlock = kPackageSize;

}  // namespace

struct Router::Relay {
  // Relays `client` until either side closes or the router is stopped.
  void Run(TcpSocket& client, const std::string& controller, std::uint16_t port,
           std::atomic<std::uint32_t>& refused);
  // Moves what `from` has received to `to`; false when the relay is over.
  bool Pass(TcpSocket& from, TcpSocket& to);
  void Refuse(std::atomic<std::uint32_t>& refused);

  asio::io_context io;
  TcpAcceptor acceptor{io};
  Waker stop;
};

Router::Router() : relay_(std::make_unique<Relay>()) {}

Router::~Router() { Disable(); }

int Router::Enable(const std::string& localAddress, const std::string& controller,
                   std::uint16_t port) {
  Disable();
  asio::error_code ec;
  const auto address = asio::ip::make_address(localAddress, ec);
  if (ec) return kBadArgument;
  const asio::ip::tcp::endpoint endpoint(address, port);
  TcpAcceptor& acceptor = relay_->acceptor;
  acceptor.open(endpoint.protocol(), ec);
  if (!ec) acceptor.set_option(asio::socket_base::reuse_address(true), ec);
  if (!ec) acceptor.bind(endpoint, ec);
  if (!ec) acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (!ec) acceptor.non_blocking(true, ec);
  if (ec) {
    acceptor.close(ec);
    return kRefused;
  }
  thread_ = std::thread([this, controller, port] { Run(controller, port); });
  return kOk;
}

void Router::Disable() {
  relay_->stop.Raise();
  if (thread_.joinable()) thread_.join();
  relay_->stop.Clear();
  asio::error_code ec;
  if (relay_->acceptor.is_open()) relay_->acceptor.close(ec);
}

void Router::Run(std::string controller, std::uint16_t port) {
  Relay& relay = *relay_;
  while (WaitReady(relay.acceptor.native_handle(), POLLIN, relay.stop)) {
    asio::error_code ec;
    TcpSocket client(relay.io);
    relay.acceptor.accept(client, ec);
    if (ec) continue;
    ++ClientCount;
    client.non_blocking(true, ec);
    relay.Run(client, controller, port, RefusedCount);
  }
}

void Router::Relay::Run(TcpSocket& client, const std::string& controller, std::uint16_t port,
                        std::atomic<std::uint32_t>& refused) {
  TcpSocket cnc(io);
  const auto endpoint = ResolveEndpoint(io, controller, port);
  if (!endpoint || !ConnectWithin(cnc, *endpoint, kControllerConnectTimeout, stop)) return;
  RaisedThreadPriority raised;
  // Both directions as the bytes come: a reply that arrives in several parts must not wait
  // for the client's next request.
  for (;;) {
    std::array<pollfd, 4> fds{pollfd{client.native_handle(), POLLIN, 0},
                              pollfd{cnc.native_handle(), POLLIN, 0},
                              pollfd{acceptor.native_handle(), POLLIN, 0},
                              pollfd{stop.Handle(), POLLIN, 0}};
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[3].revents) return;
    if (fds[2].revents) Refuse(refused);
    if (fds[0].revents && !Pass(client, cnc)) return;
    if (fds[1].revents && !Pass(cnc, client)) return;
  }
}

bool Router::Relay::Pass(TcpSocket& from, TcpSocket& to) {
  std::array<std::uint8_t, kBlock> block;
  asio::error_code ec;
  const std::size_t n = from.read_some(asio::buffer(block), ec);
  if (ec == asio::error::would_block) return true;
  return !ec && n > 0 && WriteAll(to, block.data(), n, stop);
}

void Router::Relay::Refuse(std::atomic<std::uint32_t>& refused) {
  asio::error_code ec;
  TcpSocket second(io);
  acceptor.accept(second, ec);
  if (!ec) ++refused;
}

}  // namespace vandir
