// vandir-sim through real TCP, with a bare blocking client like the link's.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/package.h"
#include "tests/sim/sim_client.h"
#include "tests/support/simulator.h"
#include "tests/support/timing.h"

namespace vandir {
namespace {

using namespace std::chrono_literals;
using test::Client;
using test::ExpectHeaderReply;
using test::HandshakeRequest;
using test::LoggedIn;
using test::Reply;
using test::Request;
using test::Simulator;
using Clock = std::chrono::steady_clock;

constexpr std::int16_t kUnknownCommand = 260;  // a code the controller does not know

template <typename Action>
std::chrono::milliseconds Elapsed(Action action) {
  const auto start = Clock::now();
  action();
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(SimAnswers, HandshakeOnBothPortsAnswersTheLoginLevelInForce) {
  Simulator sim;
  for (int level : {501, 502, 500, 503}) {
    sim.Command("login " + std::to_string(level));
    for (const auto& [port, channel] : {std::pair{kCommandPort, 1}, std::pair{kDncCommandPort, 2}}) {
      SCOPED_TRACE("login " + std::to_string(level) + " port " + std::to_string(port));
      Client client(sim.Address(), port);
      const auto hello = client.Exchange(HandshakeRequest(channel, 7), kHeaderSize);
      ExpectHeaderReply(hello, 512, 7);
      EXPECT_EQ(hello.package.iParam1(), level);
      // The logout reply lining up proves the handshake reply had exactly 16 bytes.
      ExpectHeaderReply(client.Exchange(Request(kCmdLogout, 8), kHeaderSize), 767, 8);
      EXPECT_TRUE(client.ClosedByPeer());
    }
  }
}

TEST(SimAnswers, FirstLoginLevelComesFromTheCommandLine) {
  Simulator::Options options;
  options.login = "501";
  Simulator sim(options);
  Client client(sim.Address(), kDncCommandPort);
  EXPECT_EQ(client.Exchange(HandshakeRequest(2), kHeaderSize).package.iParam1(), 501);
}

TEST(SimAnswers, OrdinaryRequestGetsItsReplyCodeAndExactlyTheLengthAskedFor) {
  struct Case {
    std::int16_t command;
    std::int16_t replyLength;
    std::int16_t expectedLength;
  };
  const Case cases[] = {
      {352, 40, 40},                        // a set command (reset)
      {kCmdLogin, 512, 512},                // a user login after the handshake
      {kUnknownCommand, 512, 512},          // the largest reply
      {kUnknownCommand, 15, kHeaderSize},   // no package is that short
      {kUnknownCommand, 513, kHeaderSize},  // nor that long
  };
  Simulator sim;
  auto client = LoggedIn(sim);
  std::int16_t index = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE("command " + std::to_string(c.command) + " reply length " + std::to_string(c.replyLength));
    // Non-zero parameters and data must not leak into the reply.
    auto request = Request(c.command, index, c.replyLength, kPackageSize);
    request.set_iParam1(5);
    request.set_iParam2(6);
    request.set_iParam3(7);
    request.bytes.back() = 0xAB;
    const auto reply = client->Exchange(request, static_cast<std::size_t>(c.expectedLength));
    ASSERT_FALSE(reply.error) << reply.error.message();
    EXPECT_EQ(reply.package.iHead(), kPackageHead);
    EXPECT_EQ(reply.package.iCommand(), c.command + kReplyOffset);
    EXPECT_EQ(reply.package.iLength(), c.expectedLength);
    EXPECT_EQ(reply.package.iIndex(), index);
    for (int off = 8; off < c.expectedLength; ++off) ASSERT_EQ(reply.package.u8(off), 0) << off;
    // An echo right after lines up only if the reply had exactly the expected size.
    ExpectHeaderReply(client->Exchange(Request(kCmdEcho, index + 1), kHeaderSize), 527, index + 1);
    index += 2;
  }
}

TEST(SimAnswers, BrokenFramingEndsTheConnection) {
  struct Case {
    const char* what;
    std::int16_t head;
    std::int16_t length;
  };
  const Case cases[] = {{"wrong head", 515, 16}, {"too short", 516, 15},
                        {"too long", 516, 513}, {"negative", 516, -1}};
  Simulator sim;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto client = LoggedIn(sim);
    auto request = Request(kCmdEcho, 1);
    request.set_iHead(c.head);
    request.set_iLength(c.length);
    client->Send(request, kHeaderSize);
    EXPECT_TRUE(client->ClosedByPeer());
  }
  const auto stats = sim.Stats();
  EXPECT_EQ(stats.at("echoes"), 0);
  EXPECT_EQ(sim.Log().size(), std::size(cases));  // the handshakes only
}

TEST(SimAnswers, ConnectionMustBeginWithTheHandshake) {
  Simulator sim;
  Client client(sim.Address(), kCommandPort);
  client.Send(Request(kCmdEcho, 0), kHeaderSize);
  EXPECT_TRUE(client.ClosedByPeer());
  EXPECT_EQ(sim.Stats().at("handshakes"), 0);
}

TEST(SimFaults, StallDelaysEveryReplyUntilCleared) {
  Simulator sim;
  sim.Command("stall 300");
  std::unique_ptr<Client> client;
  EXPECT_GE(Elapsed([&] { client = LoggedIn(sim); }), 290ms);
  EXPECT_GE(Elapsed([&] { client->Exchange(Request(kCmdEcho, 1), kHeaderSize); }), 290ms);
  sim.Command("stall 0");
  // The quickest of a few, so that one a loaded machine holds up does not count.
  auto quickest = std::chrono::milliseconds::max();
  for (std::int16_t index = 2; index < 7; ++index) {
    const auto echo = [&] { client->Exchange(Request(kCmdEcho, index), kHeaderSize); };
    quickest = std::min(quickest, Elapsed(echo));
  }
  EXPECT_LT(quickest, 250ms);
}

TEST(SimFaults, DropAndQuitCutAStallShort) {
  for (const bool quit : {false, true}) {
    SCOPED_TRACE(quit ? "quit" : "drop");
    auto sim = std::make_unique<Simulator>();
    auto client = LoggedIn(*sim);
    sim->Command("stall 10000");
    client->Send(Request(kCmdEcho, 1), kHeaderSize);
    ASSERT_TRUE(test::WaitUntil([&] { return sim->Stats().at("echoes") == 1; }));
    const auto cut = Elapsed([&] {
      if (quit) {
        sim.reset();
      } else {
        sim->Command("drop");
      }
      EXPECT_TRUE(client->ClosedByPeer());
    });
    EXPECT_LT(cut, test::Stretched(1500ms));
  }
}

TEST(SimFaults, DropClosesTheConnectionAndTheNextClientIsServed) {
  Simulator sim;
  auto first = LoggedIn(sim);
  sim.Command("drop");
  EXPECT_TRUE(first->ClosedByPeer());
  auto second = LoggedIn(sim);
  ExpectHeaderReply(second->Exchange(Request(kCmdEcho, 1), kHeaderSize), 527, 1);
}

TEST(SimFaults, DropAfterAnswersThatManyThenCloses) {
  Simulator sim;
  auto client = LoggedIn(sim);
  sim.Command("drop-after 2");
  ExpectHeaderReply(client->Exchange(Request(kCmdEcho, 1), kHeaderSize), 527, 1);
  ExpectHeaderReply(client->Exchange(Request(kUnknownCommand, 2), kHeaderSize), kUnknownCommand + kReplyOffset, 2);
  const auto third = client->Exchange(Request(kCmdEcho, 3), kHeaderSize);
  EXPECT_EQ(third.error, asio::error::eof);
  EXPECT_EQ(third.size, 0u);
  // It fired once: the next connection is answered as usual.
  auto next = LoggedIn(sim);
  ExpectHeaderReply(next->Exchange(Request(kCmdEcho, 4), kHeaderSize), 527, 4);
}

TEST(SimFaults, MalformedHeaderSpoilsOnlyTheNextReply) {
  struct Case {
    const char* command;
    std::int16_t head;
    std::int16_t length;
  };
  const Case cases[] = {{"bad-header", 0, kHeaderSize}, {"bad-length", kPackageHead, 513}};
  Simulator sim;
  auto client = LoggedIn(sim);
  std::int16_t index = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    sim.Command(c.command);
    const auto spoilt = client->Exchange(Request(kCmdEcho, index), kHeaderSize);
    ASSERT_FALSE(spoilt.error) << spoilt.error.message();
    EXPECT_EQ(spoilt.package.iHead(), c.head);
    EXPECT_EQ(spoilt.package.iLength(), c.length);
    EXPECT_EQ(spoilt.package.iCommand(), 527);
    EXPECT_EQ(spoilt.package.iIndex(), index);
    // Still 16 bytes on the wire, and the reply after it is sound again.
    ExpectHeaderReply(client->Exchange(Request(kCmdEcho, index + 1), kHeaderSize), 527, index + 1);
    index += 2;
  }
}

TEST(SimFaults, ShortSendsHalfTheReplyThenCloses) {
  Simulator sim;
  for (const std::int16_t size : {16, 100, 512}) {
    SCOPED_TRACE("reply of " + std::to_string(size));
    auto client = LoggedIn(sim);
    sim.Command("short");
    const auto reply = client->Exchange(Request(kUnknownCommand, 1, size), static_cast<std::size_t>(size));
    EXPECT_EQ(reply.error, asio::error::eof);
    EXPECT_EQ(reply.size, static_cast<std::size_t>(size / 2));
  }
}

TEST(SimControl, StatsAndLogFollowEveryPackage) {
  Simulator sim;
  auto client = LoggedIn(sim);
  client->Exchange(Request(kUnknownCommand, 1), kHeaderSize);
  client->Exchange(Request(kCmdEcho, 2), kHeaderSize);
  client->Exchange(Request(kCmdLogin, 3), kHeaderSize);
  client->Exchange(Request(kCmdLogout, 4), kHeaderSize);
  const std::map<std::string, long> expected = {{"connections", 1}, {"handshakes", 1}, {"logouts", 1},
                                                {"echoes", 1},     {"requests", 2}};
  EXPECT_EQ(sim.Stats(), expected);
  const std::vector<std::pair<int, int>> log = {{256, 0}, {kUnknownCommand, 1}, {271, 2}, {256, 3}, {511, 4}};
  EXPECT_EQ(sim.Log(), log);

  sim.Command("log-clear");
  EXPECT_TRUE(sim.Log().empty());
  LoggedIn(sim);
  EXPECT_EQ(sim.Log(), (std::vector<std::pair<int, int>>{{256, 0}}));
  EXPECT_EQ(sim.Stats().at("connections"), 2);
}

TEST(SimControl, EachPortServesOneClientAtATime) {
  Simulator sim;
  auto first = LoggedIn(sim);
  Client waiting(sim.Address(), kCommandPort);
  waiting.Send(HandshakeRequest(1, 9), kPackageSize);
  // The other port is not held up by the first client.
  Client other(sim.Address(), kDncCommandPort);
  ExpectHeaderReply(other.Exchange(HandshakeRequest(2), kHeaderSize), 512, 0);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(waiting.Available(), 0u);

  first->Exchange(Request(kCmdLogout, 1), kHeaderSize);
  ExpectHeaderReply(waiting.Read(kHeaderSize), 512, 9);
}

}  // namespace
}  // namespace vandir
