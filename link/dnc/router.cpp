#include "link/dnc/router.h"

#include <poll.h>

#include <array>
#include <cerrno>

#include "link/result_codes.h"
#include "link/thread_priority.h"

namespace vandir {

namespace {

constexpr auto kControllerConnectTimeout = std::chrono::seconds(5);
constexpr std::size_t kBlock = kPackageSize;

}  // namespace

Router::~Router() { Disable(); }

int Router::Enable(const std::string& localAddress, const std::string& controller,
                   std::uint16_t port) {
  Disable();
  asio::error_code ec;
  const auto address = asio::ip::make_address(localAddress, ec);
  if (ec) return kBadArgument;
  const asio::ip::tcp::endpoint endpoint(address, port);
  acceptor_.open(endpoint.protocol(), ec);
  if (!ec) acceptor_.set_option(asio::socket_base::reuse_address(true), ec);
  if (!ec) acceptor_.bind(endpoint, ec);
  if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
  if (!ec) acceptor_.non_blocking(true, ec);
  if (ec) {
    acceptor_.close(ec);
    return kRefused;
  }
  thread_ = std::thread([this, controller, port] { Run(controller, port); });
  return kOk;
}

void Router::Disable() {
  stop_.Raise();
  if (thread_.joinable()) thread_.join();
  stop_.Clear();
  asio::error_code ec;
  if (acceptor_.is_open()) acceptor_.close(ec);
}

void Router::Run(std::string controller, std::uint16_t port) {
  while (WaitReady(acceptor_.native_handle(), POLLIN, stop_)) {
    asio::error_code ec;
    TcpSocket client(io_);
    acceptor_.accept(client, ec);
    if (ec) continue;
    ++ClientCount;
    client.non_blocking(true, ec);
    Relay(client, controller, port);
  }
}

void Router::Relay(TcpSocket& client, const std::string& controller, std::uint16_t port) {
  TcpSocket cnc(io_);
  const auto endpoint = ResolveEndpoint(io_, controller, port);
  if (!endpoint || !ConnectWithin(cnc, *endpoint, kControllerConnectTimeout, stop_)) return;
  RaisedThreadPriority raised;
  // Both directions as the bytes come: a reply that arrives in several parts must not wait
  // for the client's next request.
  for (;;) {
    std::array<pollfd, 4> fds{pollfd{client.native_handle(), POLLIN, 0},
                              pollfd{cnc.native_handle(), POLLIN, 0},
                              pollfd{acceptor_.native_handle(), POLLIN, 0},
                              pollfd{stop_.Handle(), POLLIN, 0}};
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[3].revents) return;
    if (fds[2].revents) Refuse();
    if (fds[0].revents && !Pass(client, cnc)) return;
    if (fds[1].revents && !Pass(cnc, client)) return;
  }
}

bool Router::Pass(TcpSocket& from, TcpSocket& to) {
  std::array<std::uint8_t, kBlock> block;
  asio::error_code ec;
  const std::size_t n = from.read_some(asio::buffer(block), ec);
  if (ec == asio::error::would_block) return true;
  return !ec && n > 0 && WriteAll(to, block.data(), n, stop_);
}

void Router::Refuse() {
  asio::error_code ec;
  TcpSocket second(io_);
  acceptor_.accept(second, ec);
  if (!ec) ++RefusedCount;
}

}  // namespace vandir
