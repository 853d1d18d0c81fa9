#include "link/dnc/dnc_thread.h"

#include "link/dnc/dnc_server.h"
#include "link/socket_waits.h"
#include "link/thread_priority.h"

namespace vandir {

namespace {

// The controller is asked again this often until it accepts; an attempt that has not
// succeeded by then is abandoned.
constexpr auto kRetryInterval = std::chrono::milliseconds(100);

}  // namespace

struct DNC::Channel {
  Channel(RootSource root, DataRecordSink* recorder) : server(std::move(root), recorder) {}

  DncServer server;
  asio::io_context io;
  TcpSocket socket{io};
  Waker stop;
};

DNC::DNC(RootSource root, DataRecordSink* recorder)
    : channel_(std::make_unique<Channel>(std::move(root), recorder)) {}

DNC::~DNC() { Stop(); }

void DNC::Start(const std::string& host, std::uint16_t port) {
  Stop();
  thread_ = std::thread([this, host, port] { Run(host, port); });
}

void DNC::Stop() {
  channel_->stop.Raise();
  if (thread_.joinable()) thread_.join();
  channel_->stop.Clear();
}

void DNC::Run(std::string host, std::uint16_t port) {
  // Until the channel has once been in service, a refused connect is tried again; after
  // that a lost channel gets one more attempt and then stays down.
  bool retry = true;
  while (!channel_->stop.Raised()) {
    if (!Connect(host, port)) {
      if (!retry || channel_->stop.WaitFor(kRetryInterval)) break;
      continue;
    }
    DNCConnected = true;
    retry = false;
    const End end = ServeConnection();
    Drop();
    if (end != End::SendFailed) break;
  }
  Drop();
}

bool DNC::Connect(const std::string& host, std::uint16_t port) {
  Channel& c = *channel_;
  const auto endpoint = ResolveEndpoint(c.io, host, port);
  return endpoint && ConnectWithin(c.socket, *endpoint, kRetryInterval, c.stop);
}

DNC::End DNC::ServeConnection() {
  defPACKAGE request;
  defPACKAGE reply;
  // Raised for the whole time in service: changing it around every request costs more
  // than the request itself.
  RaisedThreadPriority raised;
  Channel& c = *channel_;
  for (;;) {
    DNCInService = true;
    if (!ReadExact(c.socket, request.bytes.data(), kPackageSize, c.stop))
      return c.stop.Raised() ? End::Stopped : End::Broken;
    if (request.iHead() != kPackageHead) continue;
    const int length = c.server.Serve(request, reply);
    if (length > 0 &&
        !WriteAll(c.socket, reply.bytes.data(), static_cast<std::size_t>(length), c.stop))
      return c.stop.Raised() ? End::Stopped : End::SendFailed;
  }
}

void DNC::Drop() {
  asio::error_code ec;
  if (channel_->socket.is_open()) channel_->socket.close(ec);
  channel_->server.CloseAll();
  DNCConnected = false;
  DNCInService = false;
}

}  // namespace vandir
