// Connecting, the handshake, status queries, keep-alive and shutting down, over real TCP.
#include <time.h>

#include "link/transport.h"
#include "tests/e2e/link_fixture.h"
#include "tests/support/timing.h"

namespace vandir::test {
namespace {

using namespace std::chrono_literals;

struct LoginCase {
  const char* level;
  std::int16_t status;
  bool accepted;
};

class LoginLevel : public testing::TestWithParam<LoginCase> {};

TEST_P(LoginLevel, IsReportedOnceAndRefusalsLogOut) {
  Simulator sim(LoginAs(GetParam().level));
  TVandirCNC link;
  ASSERT_EQ(link.Connect_TCP(1, sim.Address()), kOk);
  EXPECT_EQ(AwaitLogin(link), GetParam().status);
  EXPECT_EQ(link.QueryUserStatus(), kNoNewLogin);
  if (GetParam().accepted) {
    EXPECT_TRUE(link.SendCMD->SocketConnected());
    EXPECT_EQ(Retried([&] { return link.SendCommand(Request(258)); }), kOk);
  } else {
    EXPECT_TRUE(WaitUntil([&] { return sim.Stats()["logouts"] == 1; }));
    EXPECT_FALSE(link.SendCMD->SocketConnected());
    EXPECT_EQ(link.SendCommand(Request(258)), kRefused);
  }
}

INSTANTIATE_TEST_SUITE_P(Controller, LoginLevel,
                         testing::Values(LoginCase{"502", 502, true}, LoginCase{"501", 501, true},
                                         LoginCase{"500", 500, false},
                                         LoginCase{"503", 503, false}));

TEST(Connect, NobodyListeningReportsMinusOne) {
  TVandirCNC link;
  ASSERT_EQ(link.Connect_TCP(1, UniqueLoopbackAddress()), kOk);
  EXPECT_EQ(AwaitLogin(link), kLoginNoConnection);
}

TEST(Connect, EmptyAddressIsRefusedButStillWakesTheTransport) {
  TVandirCNC link;
  EXPECT_EQ(link.Connect_TCP(1, ""), kBadArgument);
  EXPECT_EQ(AwaitLogin(link), kLoginNoConnection);
  EXPECT_EQ(link.GetConnectType(), 0);
}

TEST(Connect, ShortHandshakeReplyReportsMinusTwo) {
  Simulator sim;
  sim.Command("short");
  TVandirCNC link;
  ASSERT_EQ(link.Connect_TCP(1, sim.Address()), kOk);
  EXPECT_EQ(AwaitLogin(link), kLoginShortReply);
  EXPECT_FALSE(link.SendCMD->SocketConnected());
}

TEST(Connect, TypeTwoUsesTheDncCommandPort) {
  Simulator sim;
  TVandirCNC link;
  ASSERT_EQ(link.Connect_TCP(2, sim.Address()), kOk);
  EXPECT_EQ(link.GetCNC_TCP_Port(), 1988);
  EXPECT_EQ(link.SendCMD->HostPort(), 1988);
  EXPECT_EQ(AwaitLogin(link), kLoginFull);
  link.Disconnect();
  ASSERT_EQ(link.Connect_TCP(1, sim.Address()), kOk);
  EXPECT_EQ(link.GetCNC_TCP_Port(), 1888);
  EXPECT_EQ(AwaitLogin(link), kLoginFull);
}

class ConnectedLink : public LinkTest {};

TEST_F(ConnectedLink, SecondConnectIsRefusedButHandshakesAgain) {
  ConnectAndLogin();
  EXPECT_EQ(link.GetConnectType(), 15);
  EXPECT_EQ(link.Connect_TCP(1, sim.Address()), kNotConnected);
  EXPECT_EQ(AwaitLogin(link), kLoginFull);
  EXPECT_EQ(sim.Stats()["handshakes"], 2);
}

TEST_F(ConnectedLink, ConnectStatusCountsSecondsSinceTheLastReply) {
  EXPECT_EQ(link.GetConnectStatus(), kNotConnected);
  ConnectAndLogin();
  EXPECT_EQ(link.GetConnectStatus(), 0);
  clock->Advance(6);
  EXPECT_EQ(link.GetConnectStatus(), 6);  // stale, but the transport has not failed

  ASSERT_EQ(Queue(Request(258)), kOk);
  ASSERT_TRUE(AwaitReplies(1));
  EXPECT_EQ(link.GetConnectStatus(), 0);

  sim.Command("drop");  // the idle link notices with its next keep-alive echo
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->FileError == -1; }));
  clock->Advance(5);
  EXPECT_EQ(link.GetConnectStatus(), 5);
  clock->Advance(1);
  EXPECT_EQ(link.GetConnectStatus(), kNotConnected);
}

// A lost connection is the program's to take up again (its reconnect policy, its login):
// requests queued while the connection went down never make the link connect by itself.
TEST_F(ConnectedLink, ADroppedConnectionStaysDownWhateverIsQueuedAsItDrops) {
  for (int drop = 1; drop <= 20; ++drop) {
    ConnectAndLogin();
    sim.Command("drop");
    const auto end = std::chrono::steady_clock::now() + 150ms;
    while (std::chrono::steady_clock::now() < end) link.SendCommand(Request(258));
    ASSERT_EQ(sim.Stats()["handshakes"], drop) << "the link connected again by itself";
    EXPECT_FALSE(link.SendCMD->SocketConnected());
    link.Disconnect();
  }
}

TEST_F(ConnectedLink, DisconnectLogsOutAndClearsEverything) {
  ConnectAndLogin();
  link.Disconnect();
  EXPECT_EQ(sim.Stats()["logouts"], 1);
  EXPECT_EQ(link.GetCNC_TCP_IP(), "0");
  EXPECT_EQ(link.GetCNC_TCP_Port(), 0);
  EXPECT_EQ(link.GetConnectStatus(), kNotConnected);
  EXPECT_EQ(link.SendCommand(Request(258)), kRefused);
  // The cleared gate reads as busy since time 0: the first query times it out.
  EXPECT_EQ(link.QueryStatus(), kSetTimedOut);
  EXPECT_EQ(link.QueryStatus(), 0);
}

TEST_F(ConnectedLink, DisconnectReturnsPromptlyWhileTheControllerIsSilent) {
  ConnectAndLogin();
  sim.Command("stall 20000");
  ASSERT_EQ(Queue(Request(258)), kOk);
  ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["requests"] == 1; }));
  const auto start = std::chrono::steady_clock::now();
  link.Disconnect();
  EXPECT_LT(std::chrono::steady_clock::now() - start, Stretched(2500ms));
  EXPECT_FALSE(link.SendCMD->SocketConnected());
}

TEST(Destruction, ReturnsPromptlyWhileTheTransportWaitsForAReply) {
  Simulator sim;
  auto link = std::make_unique<TVandirCNC>();
  ASSERT_EQ(link->Connect_TCP(1, sim.Address()), kOk);
  ASSERT_EQ(AwaitLogin(*link), kLoginFull);
  sim.Command("stall 20000");
  ASSERT_EQ(link->SendCommand(Request(258)), kOk);
  ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["requests"] == 1; }));
  const auto start = std::chrono::steady_clock::now();
  link.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, Stretched(1s));
}

TEST_F(ConnectedLink, IdleLinkSendsKeepAliveEchoesThatAreNotCountedAsReplies) {
  ConnectAndLogin();
  EXPECT_TRUE(WaitUntil([&] { return sim.Stats()["echoes"] >= 2; }, 3s));
  EXPECT_EQ(Replies(), 0);
}

TEST_F(ConnectedLink, EchoGivesUpAfterOneSecond) {
  ConnectAndLogin();
  sim.Command("stall 10000");
  const auto start = std::chrono::steady_clock::now();
  link.Echo();
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 900ms);
  EXPECT_LT(waited, 1s + Stretched(500ms));
}

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TEST_F(ConnectedLink, IdleLinkUsesLessThanOnePercentOfACore) {
  ConnectAndLogin();
  const double before = ProcessCpuSeconds();
  std::this_thread::sleep_for(2s);
  EXPECT_LT(ProcessCpuSeconds() - before, 0.02);
}

}  // namespace
}  // namespace vandir::test
