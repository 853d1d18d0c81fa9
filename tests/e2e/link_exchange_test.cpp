// The transport's exchange rules and the simulator's faults, over real TCP.
#include "link/transport.h"
#include "tests/e2e/link_fixture.h"

namespace vandir::test {
namespace {

using namespace std::chrono_literals;

class Exchange : public LinkTest {};

TEST_F(Exchange, FirstBuiltRequestAfterConnectCarriesIndexOne) {
  ConnectAndLogin();
  ASSERT_EQ(Retried([&] { return link.LoginIn(3); }), kOk);
  ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["requests"] == 1; }));
  const auto log = sim.Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], std::make_pair(256, 0));  // the handshake
  // Keep-alive echoes draw from the same counter, so whatever came first carries 1.
  for (std::size_t i = 1; i < log.size(); ++i) EXPECT_EQ(log[i].second, static_cast<int>(i));
}

TEST_F(Exchange, PriorityRequestOvertakesQueuedNormalOnes) {
  ConnectAndLogin();
  sim.Command("stall 300");
  for (std::int16_t i = 1; i <= 3; ++i) ASSERT_EQ(Queue(Request(258, i)), kOk);
  ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["requests"] == 1; }));
  ASSERT_EQ(QueuePriority(Request(352, 9)), kOk);
  ASSERT_TRUE(AwaitReplies(4));
  sim.Command("stall 0");
  EXPECT_EQ(CommandsWithoutEcho(sim), (std::vector<int>{256, 258, 352, 258, 258}));
}

TEST_F(Exchange, MalformedQueuedPackagesAreSkippedUnsent) {
  ConnectAndLogin();
  defSEND_PACKAGE shortLength = Request(259), longLength = Request(259), badHead = Request(259),
                  noReply = Request(259), hugeReply = Request(259);
  shortLength.set_iLength(10);
  longLength.set_iLength(513);
  badHead.set_iHead(0);
  noReply.set_iReplyLength(0);
  hugeReply.set_iReplyLength(600);
  for (const auto& bad : {shortLength, longLength, badHead, noReply, hugeReply}) {
    ASSERT_EQ(Queue(bad), kOk);
    ASSERT_EQ(Queue(Request(258)), kOk);
  }
  ASSERT_TRUE(AwaitReplies(5));
  EXPECT_EQ(CommandsWithoutEcho(sim), (std::vector<int>{256, 258, 258, 258, 258, 258}));
  EXPECT_TRUE(link.SendCMD->Connected);
}

TEST_F(Exchange, ReplyWithBadHeaderOrLengthIsDiscardedAndTheLinkStaysUp) {
  ConnectAndLogin();
  for (const char* fault : {"bad-header", "bad-length"}) {
    SCOPED_TRACE(fault);
    const int before = Replies();
    const long requests = sim.Stats()["requests"];
    sim.Command(fault);
    ASSERT_EQ(Queue(Request(258)), kOk);
    ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["requests"] == requests + 1; }));
    ASSERT_EQ(Queue(Request(258)), kOk);
    ASSERT_TRUE(AwaitReplies(before + 1));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(Replies(), before + 1);  // only the good one was decoded
    EXPECT_EQ(link.SendCMD->FileError, 0);
  }
}

TEST_F(Exchange, ShortReplyDropsTheConnection) {
  ConnectAndLogin();
  sim.Command("short");
  ASSERT_EQ(Queue(Request(259, 0, 140)), kOk);
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->FileError == -1; }));
  EXPECT_FALSE(link.SendCMD->Connected);
  EXPECT_FALSE(link.SendCMD->SocketConnected());
  EXPECT_EQ(Replies(), 0);
  EXPECT_EQ(link.SendCommand(Request(258)), kRefused);
}

TEST_F(Exchange, BrokenConnectionEmptiesBothLists) {
  ConnectAndLogin();
  sim.Command("stall 5000");
  for (int i = 0; i < 5; ++i) ASSERT_EQ(Queue(Request(258)), kOk);
  ASSERT_EQ(QueuePriority(Request(352)), kOk);
  ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["requests"] == 1; }));
  sim.Command("drop");
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->FileError == -1; }));
  EXPECT_EQ(link.SendCMD->CommandListCount(), 0u);
  EXPECT_EQ(link.SendCMD->PriorityListCount(), 0u);
  EXPECT_FALSE(link.SendCMD->Connected);
  EXPECT_EQ(link.SendCommand(Request(258)), kRefused);
}

TEST_F(Exchange, DropAfterAnsweringSomePackages) {
  ConnectAndLogin();
  sim.Command("drop-after 2");
  // A slow producer may find the link already dropped after the second answer; that refusal
  // is the drop itself, not a failure to queue.
  for (int i = 0; i < 4; ++i) {
    if (Queue(Request(258)) != kOk) {
      EXPECT_GE(i, 2);
      EXPECT_FALSE(link.SendCMD->SocketConnected());
      break;
    }
  }
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->FileError == -1; }));
  EXPECT_EQ(Replies(), 2);
  EXPECT_EQ(link.SendCMD->CommandListCount(), 0u);
}

TEST_F(Exchange, ReconnectsAfterADropWhenStartedAgain) {
  ConnectAndLogin();
  sim.Command("drop");
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->FileError == -1; }));
  EXPECT_EQ(link.Connect_TCP(1, sim.Address()), kNotConnected);  // still "connected" for the caller
  EXPECT_EQ(AwaitLogin(link), kLoginFull);
  ASSERT_EQ(Queue(Request(258)), kOk);
  EXPECT_TRUE(AwaitReplies(1));
}

}  // namespace
}  // namespace vandir::test
