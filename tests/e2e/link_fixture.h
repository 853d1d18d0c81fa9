// A link component wired to its own simulator through real TCP, with a hand-moved clock.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "link/transport.h"
#include "link/vandircnc.h"
#include "tests/support/manual_clock.h"
#include "tests/support/simulator.h"

namespace vandir::test {

// Polls QueryUserStatus until a login result arrives (999 means none yet).
inline std::int16_t AwaitLogin(TVandirCNC& link,
                               std::chrono::milliseconds timeout = std::chrono::seconds(8)) {
  std::int16_t status = kNoNewLogin;
  WaitUntil([&] { return (status = link.QueryUserStatus()) != kNoNewLogin; }, timeout);
  return status;
}

// A header-only request with the given codes, as the request builders make them.
inline defSEND_PACKAGE Request(std::int16_t command, std::int16_t index = 0,
                               std::int16_t replyLength = kHeaderSize) {
  defSEND_PACKAGE p;
  p.set_iHead(kPackageHead);
  p.set_iCommand(command);
  p.set_iLength(kHeaderSize);
  p.set_iIndex(index);
  p.set_iReplyLength(replyLength);
  return p;
}

// Commands of the received log other than the keep-alive echo, which comes on its own time.
inline std::vector<int> CommandsWithoutEcho(Simulator& sim) {
  std::vector<int> commands;
  for (const auto& [command, index] : sim.Log())
    if (command != kCmdEcho) commands.push_back(command);
  return commands;
}

inline Simulator::Options LoginAs(std::string level) {
  Simulator::Options options;
  options.login = std::move(level);
  return options;
}

// Hex of a package as the simulator's "last" reports it; '*' in `expected` matches anything.
inline bool MatchesHex(const std::string& expected, const std::string& got) {
  if (expected.size() != got.size()) return false;
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (expected[i] != '*' && expected[i] != got[i]) return false;
  return true;
}

// Repeats a send the transport turned away because it held its lists for a moment (-1),
// as the program's next poll would. Only for sends expected to succeed.
template <class Send>
int Retried(Send send) {
  int result = kRefused;
  for (int attempt = 0; attempt < 1000 && result != kOk; ++attempt) {
    result = send();
    if (result != kOk) std::this_thread::yield();
  }
  return result;
}

class LinkTest : public testing::Test {
 protected:
  explicit LinkTest(Simulator::Options options = {}) : sim(std::move(options)) {}

  // Connects and waits for the handshake; fails the test when the login is not accepted.
  void ConnectAndLogin(char type = 1) {
    ASSERT_EQ(link.Connect_TCP(type, sim.Address()), kOk);
    const std::int16_t status = AwaitLogin(link);
    ASSERT_TRUE(status == kLoginFull || status == kLoginLimited) << status;
  }
  int Replies() const { return link.SendCMD->ReplyCount; }
  // Queues a request. The transport may hold its lists for a moment while it takes a
  // package off them; a producer then gets -1 and tries again, as the program's next poll would.
  int Queue(const defSEND_PACKAGE& package) {
    return Retried([&] { return link.SendCommand(package); });
  }
  int QueuePriority(const defSEND_PACKAGE& package) {
    return Retried([&] { return link.SendPriorityCommand(package); });
  }
  int QueueSetPriority(const defSEND_PACKAGE& package) {
    return Retried([&] { return link.SendSetPriorityCommand(package); });
  }
  bool AwaitReplies(int count) {
    return WaitUntil([&] { return Replies() >= count; });
  }

  Simulator sim;
  std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
  TVandirCNC link{clock};
};

}  // namespace vandir::test
