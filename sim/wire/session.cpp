#include "sim/wire/session.h"

#include "sim/note.h"
#include "sim/wire/reply_data.h"

namespace vandir::sim {

namespace {

constexpr std::int16_t kEchoReply = kCmdEcho + kReplyOffset;
constexpr std::int16_t kLogoutReply = kCmdLogout + kReplyOffset;
constexpr std::int16_t kHandshakeReply = kCmdLogin + kReplyOffset;
constexpr std::int16_t kBadLength = kPackageSize + 1;

defPACKAGE HeaderReply(const defPACKAGE& request, std::int16_t command) {
  return ReplyTo(request, command, kHeaderSize);
}

std::string PeerOf(const Socket& socket) {
  std::error_code ec;
  const auto peer = socket.remote_endpoint(ec);
  return ec ? "unknown peer" : peer.address().to_string() + ":" + std::to_string(peer.port());
}

}  // namespace

Session::Session(Controller& controller, Socket& socket, int channel)
    : controller_(controller), socket_(socket), channel_(channel), peer_(PeerOf(socket)),
      files_(controller.files, controller.fileFaults) {}

void Session::Run() {
  auto entry = controller_.connections.Add(socket_);
  controller_.activity.Connected();
  Note("channel %d: %s connected", channel_, peer_.c_str());

  defPACKAGE request;
  if (!Receive(request)) return;
  if (request.iCommand() != kCmdLogin) {
    Note("channel %d: %s began with command %d instead of a handshake; closing", channel_,
         peer_.c_str(), request.iCommand());
    return;
  }
  controller_.activity.Served(Activity::Kind::Handshake);
  if (!Send(Handshake(request))) return;

  while (Receive(request)) {
    switch (request.iCommand()) {
      case kCmdEcho:
        controller_.activity.Served(Activity::Kind::Echo);
        if (!Send(HeaderReply(request, kEchoReply))) return;
        break;
      case kCmdLogout:
        controller_.activity.Served(Activity::Kind::Logout);
        Note("channel %d: %s logged out", channel_, peer_.c_str());
        Send(HeaderReply(request, kLogoutReply));
        return;
      default:
        controller_.activity.Served(Activity::Kind::Request);
        if (!Answer(request)) return;
    }
  }
}

bool Session::Answer(const defPACKAGE& request) {
  if (!FileService::Serves(request.iCommand())) {
    controller_.messages.Notice(request);
    return Send(controller_.machine.Answer(request));
  }
  const auto reply = files_.Answer(request);
  if (!reply) {
    Note("channel %d: dropping %s in the middle of a transfer", channel_, peer_.c_str());
    return false;
  }
  return Send(*reply);
}

bool Session::Receive(defPACKAGE& request) {
  const auto closed = [this](const std::error_code& ec) {
    Note("channel %d: %s closed (%s)", channel_, peer_.c_str(), ec.message().c_str());
    return false;
  };
  request = {};
  std::error_code ec;
  asio::read(socket_, asio::buffer(request.bytes.data(), kHeaderSize), ec);
  if (ec) return closed(ec);
  if (request.iHead() != kPackageHead) {
    Note("channel %d: %s sent iHead %d; closing", channel_, peer_.c_str(), request.iHead());
    return false;
  }
  const int length = request.iLength();
  if (length < kHeaderSize || length > kPackageSize) {
    Note("channel %d: %s sent iLength %d; closing", channel_, peer_.c_str(), length);
    return false;
  }
  asio::read(socket_, asio::buffer(request.bytes.data() + kHeaderSize, length - kHeaderSize), ec);
  if (ec) return closed(ec);
  controller_.activity.Received(request);
  return true;
}

bool Session::Send(defPACKAGE reply) {
  if (!controller_.faults.Stall()) return false;
  const auto faults = controller_.faults.TakeNext();
  if (faults.drop) {
    Note("channel %d: dropping %s instead of replying", channel_, peer_.c_str());
    return false;
  }
  std::size_t size = static_cast<std::size_t>(reply.iLength());
  if (faults.badHeader) reply.set_iHead(0);
  if (faults.badLength) reply.set_iLength(kBadLength);
  if (faults.cutShort) size /= 2;

  std::error_code ec;
  asio::write(socket_, asio::buffer(reply.bytes.data(), size), ec);
  if (ec) {
    Note("channel %d: writing to %s failed (%s)", channel_, peer_.c_str(), ec.message().c_str());
    return false;
  }
  if (faults.cutShort) {
    Note("channel %d: cut a reply to %s short; closing", channel_, peer_.c_str());
    return false;
  }
  return true;
}

defPACKAGE Session::Handshake(const defPACKAGE& request) const {
  if (request.iParam1() != channel_) {
    Note("channel %d: %s announced channel %d", channel_, peer_.c_str(), request.iParam1());
  }
  const std::int16_t level = controller_.login;
  Note("channel %d: %s handshake, login level %d", channel_, peer_.c_str(), level);
  auto reply = HeaderReply(request, kHandshakeReply);
  reply.set_iParam1(level);
  return reply;
}

}  // namespace vandir::sim
