// The router end to end: a third party's link component reaches the simulator through the
// PC's router, one client at a time, while the PC itself holds its DNC connection.
#include <poll.h>

#include <memory>

#include "link/dnc/router.h"
#include "link/socket_waits.h"
#include "link/transport.h"
#include "tests/e2e/link_fixture.h"
#include "tests/support/timing.h"

namespace vandir::test {
namespace {

using namespace std::chrono_literals;

// True when the other side closed `socket` within the time.
bool ClosedWithin(TcpSocket& socket, std::chrono::milliseconds within) {
  pollfd readable{socket.native_handle(), POLLIN, 0};
  if (::poll(&readable, 1, static_cast<int>(within.count())) <= 0) return false;
  std::uint8_t byte;
  asio::error_code ec;
  return socket.read_some(asio::buffer(&byte, 1), ec) == 0 || ec;
}

class RouterRelay : public testing::Test {
 protected:
  void SetUp() override {
    sim.Command("cycle off");
    ASSERT_EQ(pc.Connect_TCP(2, sim.Address()), kOk);
    ASSERT_EQ(AwaitLogin(pc), kLoginFull);
    ASSERT_EQ(pc.EnableRouter(routerAddress), kOk);
  }

  std::int16_t ConnectThroughRouter(TVandirCNC& client) {
    EXPECT_EQ(client.Connect_TCP(1, routerAddress), kOk);
    return AwaitLogin(client);
  }
  // Asks for the status through `client` and reads the mode its reply brought.
  static std::int16_t ModeThrough(TVandirCNC& client) {
    const std::int32_t before = client.SendCMD->ReplyCount;
    EXPECT_TRUE(WaitUntil([&] { return client.AskStatusMode() == kOk; }));
    // A keep-alive echo counts as a reply as well: the request is answered once the
    // transport is idle with an empty list.
    EXPECT_TRUE(WaitUntil([&] {
      return client.SendCMD->ReplyCount > before && client.SendCMD->CommandListCount() == 0 &&
             client.SendCMD->IsSuspended();
    }));
    std::int16_t mode = -1;
    int changed = 0;
    client.GetMode(&mode, &changed);
    return mode;
  }

  Simulator sim;
  TVandirCNC pc;
  const std::string routerAddress = UniqueLoopbackAddress();
};

TEST_F(RouterRelay, CarriesAClientsHandshakeRequestsAndLogout) {
  TVandirCNC client;
  ASSERT_EQ(ConnectThroughRouter(client), kLoginFull);
  sim.Command("set mode 3");
  EXPECT_EQ(ModeThrough(client), 3);
  sim.Command("set mode 2");
  EXPECT_EQ(ModeThrough(client), 2);
  client.Disconnect();
  EXPECT_TRUE(WaitUntil([&] { return sim.Stats()["logouts"] == 1; }));
  EXPECT_EQ(sim.Stats()["handshakes"], 2);  // the PC's own and the client's
}

TEST_F(RouterRelay, RefusesASecondClientWhileARelayRuns) {
  TVandirCNC first;
  ASSERT_EQ(ConnectThroughRouter(first), kLoginFull);
  TVandirCNC second;
  const std::int16_t refused = ConnectThroughRouter(second);
  EXPECT_TRUE(refused == kLoginNoConnection || refused == kLoginShortReply) << refused;
  EXPECT_EQ(pc.TcpServer1888->RefusedCount, 1u);
  sim.Command("set mode 4");
  EXPECT_EQ(ModeThrough(first), 4);
  EXPECT_EQ(sim.Stats()["handshakes"], 2);
}

TEST_F(RouterRelay, TakesTheNextClientAfterTheFirstLeaves) {
  {
    TVandirCNC first;
    ASSERT_EQ(ConnectThroughRouter(first), kLoginFull);
    first.Disconnect();
  }
  std::unique_ptr<TVandirCNC> next;
  ASSERT_TRUE(WaitUntil([&] {
    next = std::make_unique<TVandirCNC>();
    return ConnectThroughRouter(*next) == kLoginFull;
  }));
  sim.Command("set mode 1");
  EXPECT_EQ(ModeThrough(*next), 1);
  EXPECT_EQ(sim.Stats()["handshakes"], 3);
}

struct Stall {
  const char* what;
  bool controllerStalls;  // else the client stops halfway through a package
  bool byDisconnect;      // else by DisableRouter
};

class StalledRelay : public RouterRelay, public testing::WithParamInterface<Stall> {};

TEST_P(StalledRelay, NeverHoldsUpStoppingTheRouter) {
  // Sockets bound to the io_context's own executor, as in the link: ThreadSanitizer cannot
  // follow the fences of the type-erased default one.
  asio::io_context io;
  TcpSocket client(io);
  client.connect({asio::ip::make_address(routerAddress), kCommandPort});
  ASSERT_TRUE(WaitUntil([&] { return pc.TcpServer1888->ClientCount == 1u; }));
  defSEND_PACKAGE login = Request(kCmdLogin);
  login.set_iLength(kPackageSize);
  login.set_iParam1(1);
  if (GetParam().controllerStalls) sim.Command("stall 20000");
  const std::size_t sent = GetParam().controllerStalls ? kPackageSize : 100;
  asio::write(client, asio::buffer(login.bytes.data(), sent));
  std::this_thread::sleep_for(100ms);

  const auto started = std::chrono::steady_clock::now();
  if (GetParam().byDisconnect)
    pc.Disconnect();
  else
    pc.DisableRouter();
  EXPECT_LT(std::chrono::steady_clock::now() - started, Stretched(500ms));
  EXPECT_TRUE(ClosedWithin(client, 5s));
  TcpSocket later(io);
  asio::error_code ec;
  later.connect({asio::ip::make_address(routerAddress), kCommandPort}, ec);
  EXPECT_EQ(ec, asio::error::connection_refused);
  if (GetParam().controllerStalls) sim.Command("stall 0");
}

INSTANTIATE_TEST_SUITE_P(Parties, StalledRelay,
                         // A stalled controller would hold up the PC's own logout as well.
                         testing::Values(Stall{"HalfAPackage", false, true},
                                         Stall{"ControllerStalls", true, false}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace vandir::test
