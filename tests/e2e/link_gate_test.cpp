// Admission by login level and the set gate, over real TCP.
#include "link/transport.h"
#include "tests/e2e/link_fixture.h"

namespace vandir::test {
namespace {

using namespace std::chrono_literals;

constexpr std::int16_t kReset = 352;  // a write command: its reply (608) is a set result

class LimitedLogin : public LinkTest {
 protected:
  LimitedLogin() : LinkTest(LoginAs("501")) {}
};

TEST_F(LimitedLogin, NormalRequestsPass) {
  ConnectAndLogin();
  EXPECT_EQ(Queue(Request(258)), kOk);
  EXPECT_EQ(Retried([&] { return link.SendSetCommand(Request(257, 0, 128)); }), kOk);
}

TEST_F(LimitedLogin, OnlyFileManagementPassesAsPriority) {
  ConnectAndLogin();
  for (std::int16_t code : {401, 402, 405, 407, 409}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(QueuePriority(Request(code)), kOk);
  }
  EXPECT_EQ(link.QueryStatus(), kSetPending);  // untouched: idle since connect
  for (std::int16_t code : {300, 352, 400, 410}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(link.SendPriorityCommand(Request(code)), kRefused);
    EXPECT_EQ(link.QueryStatus(), kSetNoRight);
  }
}

TEST_F(LimitedLogin, RefusedWriteReportsNoRightThroughTheGate) {
  ConnectAndLogin();
  EXPECT_EQ(link.SendSetPriorityCommand(Request(kReset)), kRefused);
  EXPECT_EQ(link.QueryStatus(), kSetNoRight);
  EXPECT_EQ(sim.Stats()["requests"], 0);
}

TEST(Admission, NothingPassesBeforeALogin) {
  TVandirCNC link;
  EXPECT_EQ(link.SendCommand(Request(258)), kRefused);
  EXPECT_EQ(link.SendPriorityCommand(Request(409)), kRefused);
  EXPECT_EQ(link.QueryStatus(), kSetNoRight);
}

class SetGate : public LinkTest {};

TEST_F(SetGate, OneWriteAtATimeUntilItsResultArrives) {
  ConnectAndLogin();
  sim.Command("stall 300");
  ASSERT_EQ(QueueSetPriority(Request(kReset)), kOk);
  EXPECT_EQ(link.SendSetPriorityCommand(Request(kReset)), kRefused);
  EXPECT_EQ(link.QueryStatus(), kSetPending);
  ASSERT_TRUE(AwaitReplies(1));
  EXPECT_EQ(link.QueryStatus(), 0);
  EXPECT_EQ(QueueSetPriority(Request(kReset)), kOk);
  ASSERT_TRUE(AwaitReplies(2));
  EXPECT_EQ(sim.Stats()["requests"], 2);  // the refused one was never sent
}

TEST_F(SetGate, UnansweredWriteTimesOutAfter180Seconds) {
  ConnectAndLogin();
  sim.Command("stall 20000");
  ASSERT_EQ(QueueSetPriority(Request(kReset)), kOk);
  clock->Advance(179);
  EXPECT_EQ(link.QueryStatus(), kSetPending);
  clock->Advance(1);
  EXPECT_EQ(link.QueryStatus(), kSetTimedOut);
  // The time-out reopened the gate without storing itself as the status.
  EXPECT_EQ(link.QueryStatus(), kSetPending);
}

TEST_F(SetGate, RefusedAttemptAfterTheTimeOutReopensTheGate) {
  ConnectAndLogin();
  sim.Command("stall 20000");
  ASSERT_EQ(QueueSetPriority(Request(kReset)), kOk);
  clock->Advance(180);
  EXPECT_EQ(link.SendSetPriorityCommand(Request(kReset)), kRefused);
  EXPECT_EQ(link.QueryStatus(), kSetTimedOut);
  EXPECT_EQ(QueueSetPriority(Request(kReset)), kOk);
}

TEST_F(SetGate, UserLoginGoesThroughTheGate) {
  ConnectAndLogin();
  ASSERT_EQ(Retried([&] { return link.LoginIn(2); }), kOk);
  EXPECT_EQ(link.LoginIn(2), kRefused);
  ASSERT_TRUE(AwaitReplies(1));
  // Its reply (512) is not a set result, so the gate stays closed until the time-out.
  EXPECT_EQ(link.QueryStatus(), kSetPending);
  EXPECT_EQ(link.GetCPUID().size(), 8u);
}

TEST_F(SetGate, AWriteTheTransportRefusesDoesNotHoldTheGate) {
  ConnectAndLogin();
  sim.Command("drop");  // still logged in for the link, but the socket is gone
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->FileError == -1; }));
  EXPECT_EQ(link.SendSetPriorityCommand(Request(kReset)), kRefused);
  EXPECT_EQ(link.QueryStatus(), kSetNoRight);  // not pending for three minutes
}

TEST_F(SetGate, ConnectReopensABusyGate) {
  ConnectAndLogin();
  sim.Command("stall 20000");
  ASSERT_EQ(QueueSetPriority(Request(kReset)), kOk);
  link.Disconnect();
  sim.Command("stall 0");
  ASSERT_EQ(link.Connect_TCP(1, sim.Address()), kOk);
  EXPECT_EQ(link.QueryStatus(), kSetPending);
  ASSERT_EQ(AwaitLogin(link), kLoginFull);
  EXPECT_EQ(QueueSetPriority(Request(kReset)), kOk);
}

}  // namespace
}  // namespace vandir::test
