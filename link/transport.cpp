#include "link/transport.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <asio.hpp>

#include "link/reply_decoder.h"
#include "link/thread_priority.h"

namespace vandir {

namespace {

// A controller that does not answer a connect within this time is reported as unreachable.
constexpr auto kConnectTimeout = std::chrono::seconds(5);
// How long Logout waits for a polite logout before it cuts the connection.
constexpr auto kLogoutWait = std::chrono::seconds(1);

defSEND_PACKAGE HeaderOnly(std::int16_t command, std::int16_t index) {
  defSEND_PACKAGE p;
  p.set_iHead(kPackageHead);
  p.set_iCommand(command);
  p.set_iLength(kHeaderSize);
  p.set_iIndex(index);
  p.set_iReplyLength(kHeaderSize);
  return p;
}

}  // namespace

struct Send_Recv::Socket {
  // A non-blocking connect watched in short slices, so that a logout or the destructor can
  // abandon an attempt to an unreachable controller without waiting for the system's time-out.
  bool ConnectWithin(const asio::ip::tcp::endpoint& endpoint, std::chrono::milliseconds timeout,
                     const std::function<bool()>& aborted);

  asio::io_context io;
  // Bound to the io_context's own executor: the type-erased default one brings atomic fences
  // that ThreadSanitizer cannot follow.
  asio::basic_stream_socket<asio::ip::tcp, asio::io_context::executor_type> stream{io};
};

Send_Recv::Send_Recv(Cache& cache, FileListQueue& fileList, const Clock& clock,
                     DataRecordSink* recorder)
    : cache_(cache),
      fileList_(fileList),
      clock_(clock),
      recorder_(recorder),
      socket_(std::make_unique<Socket>()),
      thread_([this] { Run(); }) {}

Send_Recv::~Send_Recv() {
  {
    std::lock_guard lock(wakeMutex_);
    terminated_ = true;
  }
  abortConnect_ = true;
  Stopping = true;
  wake_.notify_all();
  idleDone_.notify_all();
  InterruptSocket();
  thread_.join();
  CloseSocket();
}

void Send_Recv::SetHost(std::string address, int port) {
  std::lock_guard lock(hostMutex_);
  hostAddress_ = std::move(address);
  hostPort_ = port;
}

std::string Send_Recv::HostAddress() const {
  std::lock_guard lock(hostMutex_);
  return hostAddress_;
}

int Send_Recv::HostPort() const {
  std::lock_guard lock(hostMutex_);
  return hostPort_;
}

void Send_Recv::Start() {
  Stopping = false;
  Connected = false;
  ListBusy = false;
  abortConnect_ = false;
  Wake();
}

void Send_Recv::Logout() {
  ListBusy = true;
  Stopping = true;
  abortConnect_ = true;
  std::unique_lock lock(wakeMutex_);
  const std::uint64_t ticket = logoutsServed_ + 1;
  logoutPending_ = true;
  wake_.notify_all();
  const auto served = [&] { return logoutsServed_ >= ticket || terminated_; };
  if (idleDone_.wait_for(lock, kLogoutWait, served)) return;
  // The thread is stuck in an exchange with a silent controller: cut the connection so
  // the blocked read returns, then the thread finishes the logout at once.
  lock.unlock();
  InterruptSocket();
  lock.lock();
  idleDone_.wait_for(lock, kLogoutWait, served);
}

int Send_Recv::EnqueueNormal(const defSEND_PACKAGE& package) { return Enqueue(commandList_, package); }

int Send_Recv::EnqueuePriority(const defSEND_PACKAGE& package) {
  return Enqueue(priorityList_, package);
}

int Send_Recv::Enqueue(List& list, const defSEND_PACKAGE& package) {
  if (!socketConnected_ || ListBusy) return kRefused;
  std::unique_lock lock(listMutex_, std::try_to_lock);
  if (!lock.owns_lock()) return kRefused;
  list.push_back(package);
  UpdateCounts();
  lock.unlock();
  Resume();
  return kOk;
}

void Send_Recv::Resume() {
  std::lock_guard lock(wakeMutex_);
  // Work queued as the connection went down must not connect again by itself: that is the
  // program's to do, under its reconnect policy. The drop clears the wake-up only after the
  // socket counts as closed, so under this lock one of the two always sees the other.
  if (!socketConnected_) return;
  resumePending_ = true;
  wake_.notify_all();
}

void Send_Recv::Wake() {
  std::lock_guard lock(wakeMutex_);
  resumePending_ = true;
  wake_.notify_all();
}

// Counted outside the lock, so that a reader never makes a producer find the lists busy.
std::size_t Send_Recv::CommandListCount() const { return commandCount_.load(); }
std::size_t Send_Recv::PriorityListCount() const { return priorityCount_.load(); }

void Send_Recv::UpdateCounts() {
  commandCount_ = commandList_.size();
  priorityCount_ = priorityList_.size();
}

void Send_Recv::RequestEcho(const defSEND_PACKAGE& echo) {
  std::lock_guard lock(wakeMutex_);
  if (!echoPending_) echoPending_ = echo;
  wake_.notify_all();
}

bool Send_Recv::ExchangeEcho(const defSEND_PACKAGE& echo, std::chrono::milliseconds wait) {
  std::unique_lock lock(wakeMutex_);
  const std::uint64_t ticket = echoesServed_ + 1;
  if (!echoPending_) echoPending_ = echo;
  wake_.notify_all();
  if (idleDone_.wait_for(lock, wait, [&] { return echoesServed_ >= ticket || terminated_; }))
    return !terminated_;
  echoPending_.reset();  // not started yet: withdraw it rather than leave it behind
  return false;
}

void Send_Recv::Run() {
  while (WaitWhileSuspended()) RunPasses();
}

bool Send_Recv::WaitWhileSuspended() {
  std::unique_lock lock(wakeMutex_);
  suspended_ = true;
  for (;;) {
    if (terminated_) return false;
    if (resumePending_) break;
    if (logoutPending_ || echoPending_) {
      ServeIdleRequests(lock);
      continue;
    }
    wake_.wait(lock);
  }
  resumePending_ = false;
  suspended_ = false;
  return true;
}

void Send_Recv::ServeIdleRequests(std::unique_lock<std::mutex>& lock) {
  if (logoutPending_) {
    logoutPending_ = false;
    lock.unlock();
    LogOutAndClose();
    lock.lock();
    ++logoutsServed_;
    idleDone_.notify_all();
    return;
  }
  const defSEND_PACKAGE echo = *echoPending_;
  echoPending_.reset();
  lock.unlock();
  if (Connected) {
    defRECEIVE_PACKAGE answer;
    const bool answered = SendExact(echo.bytes.data(), kHeaderSize) &&
                          ReadExact(answer.bytes.data(), kHeaderSize);
    if (!answered) DropConnection();
  }
  lock.lock();
  ++echoesServed_;
  idleDone_.notify_all();
}

void Send_Recv::RunPasses() {
  for (;;) {
    if (!Connected) {
      if (Stopping) {
        // Logged out: nothing connects again before Start. A file job asked of a stopped
        // link fails as if the connection had dropped.
        FileError = kJobConnectionLost;
        ClearLists();
        return;
      }
      if (!ConnectStep()) return;
    }
    if (!WorkStep()) return;
  }
}

bool Send_Recv::ConnectAborted() const { return abortConnect_.load(); }

bool Send_Recv::ConnectStep() {
  const std::string address = HostAddress();
  const int port = HostPort();
  CloseSocket();
  if (!OpenConnection(address, port)) {
    if (!ConnectAborted()) {
      LoginStatus = kLoginNoConnection;
      LoginStatusNew = true;
    }
    return false;
  }
  defSEND_PACKAGE handshake;
  handshake.set_iHead(kPackageHead);
  handshake.set_iCommand(kCmdLogin);
  handshake.set_iLength(kPackageSize);
  handshake.set_iReplyLength(kHeaderSize);
  handshake.set_iParam1(port == kDncCommandPort ? 2 : 1);
  defRECEIVE_PACKAGE answer;
  // The verdict is published only once the socket is in its final state, so whoever reads a
  // login status also sees the connection it describes.
  if (!SendExact(handshake.bytes.data(), kPackageSize) ||
      !ReadExact(answer.bytes.data(), kHeaderSize)) {
    LogOutAndClose();
    if (!ConnectAborted()) {
      LoginStatus = kLoginShortReply;
      LoginStatusNew = true;
    }
    return false;
  }
  const std::int16_t status = answer.iParam1();
  const bool accepted = status == kLoginLimited || status == kLoginFull;
  if (accepted)
    Connected = true;
  else
    LogOutAndClose();
  LoginStatus = status;
  LoginStatusNew = true;
  return accepted;
}

bool Send_Recv::OpenConnection(const std::string& address, int port) {
  if (address.empty() || address == "0" || port <= 0 || port > 65535) return false;
  asio::error_code ec;
  std::vector<asio::ip::tcp::endpoint> endpoints;
  const auto ip = asio::ip::make_address(address, ec);
  if (!ec) {
    endpoints.emplace_back(ip, static_cast<std::uint16_t>(port));
  } else {
    asio::ip::basic_resolver<asio::ip::tcp, asio::io_context::executor_type> resolver(
        socket_->io);
    for (const auto& entry : resolver.resolve(address, std::to_string(port), ec))
      endpoints.push_back(entry.endpoint());
    if (ec || endpoints.empty()) return false;
  }

  {
    std::lock_guard lock(socketMutex_);
    socket_->stream.open(endpoints.front().protocol(), ec);
    if (ec) return false;
  }
  if (!socket_->ConnectWithin(endpoints.front(), kConnectTimeout,
                              [this] { return ConnectAborted(); })) {
    CloseSocket();
    return false;
  }
  // Back to plain blocking mode: exact reads without a poll before every receive.
  socket_->stream.native_non_blocking(false, ec);
  socket_->stream.set_option(asio::ip::tcp::no_delay(true), ec);
  socketConnected_ = true;
  return true;
}

bool Send_Recv::Socket::ConnectWithin(const asio::ip::tcp::endpoint& endpoint,
                                      std::chrono::milliseconds timeout,
                                      const std::function<bool()>& aborted) {
  asio::error_code ec;
  stream.native_non_blocking(true, ec);
  const int fd = stream.native_handle();
  if (::connect(fd, endpoint.data(), static_cast<socklen_t>(endpoint.size())) != 0) {
    if (errno != EINPROGRESS) return false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd ready{fd, POLLOUT, 0};
    int polled = 0;
    while (polled == 0 && !aborted() && std::chrono::steady_clock::now() < deadline)
      polled = ::poll(&ready, 1, 50);
    int error = 0;
    socklen_t length = sizeof error;
    if (polled <= 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
      return false;
  }
  return true;
}

bool Send_Recv::WorkStep() {
  {
    RaisedThreadPriority raised;
    if (Sending && !Stopping) RunUploadJob();
    if (Receiving && !Stopping) RunDownloadJob();
    defSEND_PACKAGE request;
    while (!Stopping && !Sending && !Receiving && PopNext(request)) Exchange(request);
  }
  if (!Stopping && (!ListsEmpty() || Sending || Receiving)) return true;
  if (Stopping) DropConnection();
  return false;
}

bool Send_Recv::PopNext(defSEND_PACKAGE& out) {
  std::lock_guard lock(listMutex_);
  List& list = priorityList_.empty() ? commandList_ : priorityList_;
  if (list.empty()) return false;
  out = list.front();
  list.pop_front();
  UpdateCounts();
  return true;
}

bool Send_Recv::ListsEmpty() const {
  std::lock_guard lock(listMutex_);
  return priorityList_.empty() && commandList_.empty();
}

void Send_Recv::Exchange(const defSEND_PACKAGE& request) {
  const int length = request.iLength();
  const int replyLength = request.iReplyLength();
  // A malformed package is dropped unsent. The reply length is checked as well: it sizes
  // the read into a 512-byte buffer.
  if (request.iHead() != kPackageHead || length < kHeaderSize || length > kPackageSize ||
      replyLength < kHeaderSize || replyLength > kPackageSize)
    return;
  if (!SendExact(request.bytes.data(), static_cast<std::size_t>(length))) {
    Stopping = true;
    return;
  }
  defRECEIVE_PACKAGE reply;
  if (!ReadExact(reply.bytes.data(), static_cast<std::size_t>(replyLength))) {
    Stopping = true;
    return;
  }
  if (reply.iHead() != kPackageHead || reply.iLength() > kPackageSize) return;
  DecodeReply(cache_, fileList_, reply, replyLength, clock_.Now(), recorder_);
  ++ReplyCount;
}

void Send_Recv::DropConnection() {
  bool logout = false;
  {
    std::lock_guard lock(wakeMutex_);
    std::swap(logout, logoutPending_);
  }
  if (logout)
    LogOutAndClose();
  else
    CloseSocket();
  {
    // Wake-ups left from the lost connection's requests must not reconnect by themselves.
    std::lock_guard lock(wakeMutex_);
    resumePending_ = false;
  }
  ClearLists();
  Connected = false;
  Stopping = logout;  // a logged-out link stays stopped until the next Start
  FileError = kJobConnectionLost;  // last: whoever sees it sees the whole dropped state
  if (logout) {
    std::lock_guard lock(wakeMutex_);
    ++logoutsServed_;
    idleDone_.notify_all();
  }
}

void Send_Recv::LogOutAndClose() {
  ListBusy = true;
  Connected = false;
  Stopping = true;
  if (socketConnected_) {
    const auto index = static_cast<std::int16_t>(PackageCounter++ & 0xFFFF);
    const defSEND_PACKAGE logout = HeaderOnly(kCmdLogout, index);
    defRECEIVE_PACKAGE answer;
    if (SendExact(logout.bytes.data(), kHeaderSize)) ReadExact(answer.bytes.data(), kHeaderSize);
  }
  CloseSocket();
}

bool Send_Recv::SendExact(const std::uint8_t* data, std::size_t n) {
  asio::error_code ec;
  return asio::write(socket_->stream, asio::buffer(data, n), ec) == n && !ec;
}

bool Send_Recv::ReadExact(std::uint8_t* data, std::size_t n) {
  asio::error_code ec;
  return asio::read(socket_->stream, asio::buffer(data, n), ec) == n && !ec;
}

void Send_Recv::CloseSocket() {
  std::lock_guard lock(socketMutex_);
  asio::error_code ec;
  if (socket_->stream.is_open()) socket_->stream.close(ec);
  socketConnected_ = false;
}

void Send_Recv::InterruptSocket() {
  std::lock_guard lock(socketMutex_);
  if (socket_->stream.is_open()) ::shutdown(socket_->stream.native_handle(), SHUT_RDWR);
}

void Send_Recv::ClearLists() {
  std::lock_guard lock(listMutex_);
  priorityList_.clear();
  commandList_.clear();
  UpdateCounts();
}

}  // namespace vandir
