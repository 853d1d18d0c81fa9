// The router over real TCP: clients on a local address reach a peer standing in for the
// controller's port 1888, one client at a time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/dnc/router.h"
#include "link/vandircnc.h"
#include "tests/link/loopback_peer.h"
#include "tests/support/timing.h"

namespace vandir {
namespace {

using namespace std::chrono_literals;
using asio::ip::tcp;

// The controller's side: echoes what it gets, except for three words. "SPLIT" is answered in
// two parts 50 ms apart, "FLOOD" with megabytes nobody asked for, "STALL" not at all.
class ControllerPeer {
 public:
  explicit ControllerPeer(const std::string& address)
      : peer_(address, kCommandPort), thread_([this] { Run(); }) {}
  ~ControllerPeer() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Run() {
    while (!stop_) {
      tcp::socket socket = peer_.NewSocket();
      if (peer_.Accept(socket, 20ms)) Serve(socket);
    }
  }
  void Serve(tcp::socket& socket) {
    std::vector<std::uint8_t> flood(8 << 20, 'F');
    while (!stop_) {
      if (!test::Readable(socket.native_handle(), 20ms)) continue;
      char block[512];
      asio::error_code ec;
      const std::size_t n = socket.read_some(asio::buffer(block), ec);
      if (ec || n == 0) return;
      const std::string text(block, n);
      if (text == "SPLIT") {
        asio::write(socket, asio::buffer("AB", 2), ec);
        std::this_thread::sleep_for(50ms);
        asio::write(socket, asio::buffer("CD", 2), ec);
      } else if (text == "FLOOD") {
        asio::write(socket, asio::buffer(flood), ec);
      } else if (text != "STALL") {
        asio::write(socket, asio::buffer(block, n), ec);
      }
    }
  }

  test::Peer peer_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class Routing : public testing::Test {
 protected:
  Routing() { link->SetCNC_TCP_IP(controllerAddress); }

  tcp::socket Client(const std::string& address) {
    tcp::socket socket(io);
    asio::error_code ec;
    socket.connect(tcp::endpoint(asio::ip::make_address(address), kCommandPort), ec);
    EXPECT_FALSE(ec) << ec.message();
    return socket;
  }
  static std::string Ask(tcp::socket& socket, const std::string& text, std::size_t replySize) {
    asio::write(socket, asio::buffer(text));
    std::string reply(replySize, '\0');
    if (!test::ReadWithin(socket, reinterpret_cast<std::uint8_t*>(reply.data()), replySize, 5s))
      return "(no reply)";
    return reply;
  }

  asio::io_context io;
  std::string controllerAddress = test::LoopbackAddress();
  std::string routerAddress = test::LoopbackAddress();
  ControllerPeer controller{controllerAddress};
  std::unique_ptr<TVandirCNC> link = std::make_unique<TVandirCNC>();
};

TEST_F(Routing, RelaysBothWaysAsTheBytesCome) {
  ASSERT_EQ(link->EnableRouter(routerAddress), 0);
  tcp::socket client = Client(routerAddress);
  EXPECT_EQ(Ask(client, "hello", 5), "hello");
  // The second half of an answer must not wait for the client's next request.
  EXPECT_EQ(Ask(client, "SPLIT", 4), "ABCD");
}

TEST_F(Routing, OneClientAtATimeThenTheNext) {
  ASSERT_EQ(link->EnableRouter(routerAddress), 0);
  tcp::socket first = Client(routerAddress);
  ASSERT_EQ(Ask(first, "one", 3), "one");
  tcp::socket second = Client(routerAddress);
  EXPECT_TRUE(test::ClosedWithin(second, 5s));
  EXPECT_EQ(link->TcpServer1888->RefusedCount, 1u);
  EXPECT_EQ(Ask(first, "still", 5), "still");

  first.close();
  EXPECT_TRUE(test::Eventually([&] {
    tcp::socket next = Client(routerAddress);
    return Ask(next, "next", 4) == "next";
  }));
  EXPECT_EQ(link->TcpServer1888->ClientCount, 2u);
}

TEST_F(Routing, ListensOnlyWhereItIsTold) {
  EXPECT_EQ(link->EnableRouter("not an address"), -17);
  EXPECT_FALSE(link->TcpServer1888->Listening());
  ASSERT_EQ(link->EnableRouter(routerAddress), 0);
  TVandirCNC other;
  EXPECT_EQ(other.EnableRouter(routerAddress), -1);

  tcp::socket elsewhere(io);
  asio::error_code ec;
  elsewhere.connect(tcp::endpoint(asio::ip::make_address(test::LoopbackAddress()), kCommandPort),
                    ec);
  EXPECT_EQ(ec, asio::error::connection_refused);

  link->DisableRouter();
  tcp::socket afterwards(io);
  afterwards.connect(tcp::endpoint(asio::ip::make_address(routerAddress), kCommandPort), ec);
  EXPECT_EQ(ec, asio::error::connection_refused);
}

TEST_F(Routing, AClientWithoutAControllerIsLetGo) {
  link->SetCNC_TCP_IP(test::LoopbackAddress());  // nobody listens there
  ASSERT_EQ(link->EnableRouter(routerAddress), 0);
  tcp::socket client = Client(routerAddress);
  EXPECT_TRUE(test::ClosedWithin(client, 5s));
}

TEST_F(Routing, StalledPartiesNeverHoldUpDisableOrTheDestructor) {
  ASSERT_EQ(link->EnableRouter(routerAddress), 0);
  {
    // A client that asks for megabytes and reads none of them.
    tcp::socket client = Client(routerAddress);
    asio::write(client, asio::buffer(std::string("FLOOD")));
    std::this_thread::sleep_for(200ms);
    const auto started = std::chrono::steady_clock::now();
    link->DisableRouter();
    EXPECT_LT(std::chrono::steady_clock::now() - started, test::Stretched(500ms));
  }
  ASSERT_EQ(link->EnableRouter(routerAddress), 0);
  tcp::socket client = Client(routerAddress);
  asio::write(client, asio::buffer(std::string("STALL")));
  std::this_thread::sleep_for(100ms);
  const auto started = std::chrono::steady_clock::now();
  link.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - started, test::Stretched(500ms));
  EXPECT_TRUE(test::ClosedWithin(client, 5s));
}

}  // namespace
}  // namespace vandir
