#include "link/dnc/dnc_thread.h"

#include "link/thread_priority.h"

namespace vandir {

namespace {

// The controller is asked again this often until it accepts; an attempt that has not
// succeeded by then is abandoned.
constexpr auto kRetryInterval = std::chrono::milliseconds(100);

}  // namespace

DNC::DNC(DncServer::RootSource root, DataRecordSink* recorder)
    : server_(std::move(root), recorder) {}

DNC::~DNC() { Stop(); }

void DNC::Start(const std::string& host, std::uint16_t port) {
  Stop();
  thread_ = std::thread([this, host, port] { Run(host, port); });
}

void DNC::Stop() {
  stop_.Raise();
  if (thread_.joinable()) thread_.join();
  stop_.Clear();
}

void DNC::Run(std::string host, std::uint16_t port) {
  // Until the channel has once been in service, a refused connect is tried again; after
  // that a lost channel gets one more attempt and then stays down.
  bool retry = true;
  while (!stop_.Raised()) {
    if (!Connect(host, port)) {
      if (!retry || stop_.WaitFor(kRetryInterval)) break;
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
  const auto endpoint = ResolveEndpoint(io_, host, port);
  return endpoint && ConnectWithin(socket_, *endpoint, kRetryInterval, stop_);
}

DNC::End DNC::ServeConnection() {
  defPACKAGE request;
  defPACKAGE reply;
  // Raised for the whole time in service: changing it around every request costs more
  // than the request itself.
  RaisedThreadPriority raised;
  for (;;) {
    DNCInService = true;
    if (!ReadExact(socket_, request.bytes.data(), kPackageSize, stop_))
      return stop_.Raised() ? End::Stopped : End::Broken;
    if (request.iHead() != kPackageHead) continue;
    const int length = server_.Serve(request, reply);
    if (length > 0 &&
        !WriteAll(socket_, reply.bytes.data(), static_cast<std::size_t>(length), stop_))
      return stop_.Raised() ? End::Stopped : End::SendFailed;
  }
}

void DNC::Drop() {
  asio::error_code ec;
  if (socket_.is_open()) socket_.close(ec);
  server_.CloseAll();
  DNCConnected = false;
  DNCInService = false;
}

}  // namespace vandir
