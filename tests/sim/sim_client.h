// A bare blocking client of vandir-sim, as the link has one, for the simulator's own tests.
#pragma once

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <system_error>

#include <asio.hpp>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "link/package.h"
#include "tests/support/simulator.h"

namespace vandir::test {

// The reply line of a command the simulator refuses ("error ..."): the harness reports
// refusals as failures, so this expects exactly that failure naming `reason`.
#define EXPECT_REFUSED(sim, line, reason) \
  EXPECT_NONFATAL_FAILURE((sim).Command(line), std::string(": error ") + (reason))

inline defPACKAGE Request(std::int16_t command, std::int16_t index,
                          std::int16_t replyLength = kHeaderSize,
                          std::int16_t length = kHeaderSize) {
  defPACKAGE request;
  request.set_iHead(kPackageHead);
  request.set_iCommand(command);
  request.set_iLength(length);
  request.set_iIndex(index);
  request.set_iReplyLength(replyLength);
  return request;
}

inline defPACKAGE HandshakeRequest(int channel, std::int16_t index = 0) {
  auto request = Request(kCmdLogin, index, kHeaderSize, kPackageSize);
  request.set_iParam1(static_cast<std::int16_t>(channel));
  return request;
}

struct Reply {
  defPACKAGE package;
  std::size_t size = 0;
  std::error_code error;
};

// A blocking client with exact reads, as the link has. Every read has a time limit,
// so a simulator that stays silent fails the test instead of hanging it. The socket
// keeps to the io_context's own executor: blocking calls need nothing more.
class Client {
 public:
  Client(const std::string& address, std::uint16_t port) : socket_(io_) {
    socket_.connect({asio::ip::make_address(address), port});
  }

  void Send(const defPACKAGE& package, std::size_t size) {
    asio::write(socket_, asio::buffer(package.bytes.data(), size));
  }

  Reply Read(std::size_t size, std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    Reply reply;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (reply.size < size && !reply.error) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd readable{socket_.native_handle(), POLLIN, 0};
      if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
        reply.error = asio::error::timed_out;
        break;
      }
      reply.size += socket_.read_some(
          asio::buffer(reply.package.bytes.data() + reply.size, size - reply.size), reply.error);
    }
    return reply;
  }

  Reply Exchange(const defPACKAGE& request, std::size_t replySize) {
    Send(request, static_cast<std::size_t>(request.iLength()));
    return Read(replySize);
  }

  bool ClosedByPeer() { return Read(1).error == asio::error::eof; }
  std::size_t Available() { return socket_.available(); }

 private:
  asio::io_context io_;
  asio::basic_stream_socket<asio::ip::tcp, asio::io_context::executor_type> socket_;
};

// A complete header-only reply of the right code and index.
inline void ExpectHeaderReply(const Reply& reply, std::int16_t command, std::int16_t index) {
  ASSERT_FALSE(reply.error) << reply.error.message();
  EXPECT_EQ(reply.package.iHead(), kPackageHead);
  EXPECT_EQ(reply.package.iCommand(), command);
  EXPECT_EQ(reply.package.iLength(), kHeaderSize);
  EXPECT_EQ(reply.package.iIndex(), index);
}

// Connects and completes the handshake, on the command port unless told otherwise.
inline std::unique_ptr<Client> LoggedIn(const Simulator& sim, std::uint16_t port = kCommandPort) {
  auto client = std::make_unique<Client>(sim.Address(), port);
  const int channel = port == kDncCommandPort ? 2 : 1;
  ExpectHeaderReply(client->Exchange(HandshakeRequest(channel), kHeaderSize), 512, 0);
  return client;
}

}  // namespace vandir::test
