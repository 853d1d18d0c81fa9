// Hardware diagnosis, storage checks, free disk space and operator messages through the link:
// what is handed out before and after the controller's answers, and what reaches it.
#include <string>
#include <vector>

#include "link/reply_decoder.h"
#include "link/transport.h"
#include "tests/e2e/link_fixture.h"

namespace vandir::test {
namespace {

using namespace std::chrono_literals;

class Diagnostics : public LinkTest {
 protected:
  void SetUp() override {
    sim.Command("cycle off");
    ConnectAndLogin();
  }
  // Holds the controller's replies back and parks the transport on one of them, so that
  // requests queued now meet neither an answer nor a busy list.
  void HoldTheTransport() {
    sim.Command("stall 400");
    sim.Command("log-clear");
    ASSERT_EQ(Queue(Request(258, 0, kHeaderSize)), kOk);
    ASSERT_TRUE(WaitUntil([&] { return !CommandsWithoutEcho(sim).empty(); }));
  }
  void Release() { sim.Command("stall 0"); }

  struct Hardware {
    bool checks[kHardwareChecks] = {};
    char card[kCardNameSize] = {};
    bool extra[kExtraHardwareFlags] = {};
    int changed = -1;
  };
  Hardware ReadHardware() {
    Hardware hw;
    link.HWDiagnosis(hw.checks, hw.card, hw.extra, &hw.changed);
    return hw;
  }
};

TEST_F(Diagnostics, HardwareDiagnosisReportsEachChangeOnce) {
  HoldTheTransport();
  EXPECT_EQ(ReadHardware().changed, 1);  // nothing handed out yet: all counts as new
  const Hardware before = ReadHardware();
  EXPECT_EQ(before.changed, 0);  // no reply in between
  EXPECT_STREQ(before.card, "");
  Release();

  Hardware hw;
  ASSERT_TRUE(WaitUntil([&] { return (hw = ReadHardware()).changed == 1; }));
  // The simulator's card 0x1001 and check bits 13-16 (the index signals of axes 1-4).
  EXPECT_STREQ(hw.card, CardModelName(0x1001));
  for (int i = 0; i < kHardwareChecks; ++i) EXPECT_EQ(hw.checks[i], i >= 18 && i <= 21) << i;
  EXPECT_TRUE(hw.extra[0]);
  EXPECT_FALSE(hw.extra[1]);
  EXPECT_EQ(ReadHardware().changed, 0);

  sim.Command("set hw-flag2 1");
  ASSERT_TRUE(WaitUntil([&] { return (hw = ReadHardware()).changed == 1; }));
  EXPECT_TRUE(hw.extra[1]);
  EXPECT_EQ(ReadHardware().changed, 0);
}

TEST_F(Diagnostics, StorageChecksAskThreeKindsEachCall) {
  sim.Command("set storage1 1");
  sim.Command("set storage3 1");
  const int replies = Replies();
  HoldTheTransport();
  bool storage[kStorageChecks] = {};
  int changed = -1;
  link.HWDiagnosis2(storage, &changed);
  Release();
  ASSERT_TRUE(WaitUntil([&] { return CommandsWithoutEcho(sim).size() == 4; }));
  EXPECT_EQ(CommandsWithoutEcho(sim), (std::vector<int>{258, 423, 423, 423}));
  // Kind 13 was asked last; each kind's answer lands in its own flag.
  EXPECT_PRED2(MatchesHex, "ok 0402a7011400****14000000000000000d000000",
               sim.Command("last 423"));
  // Read once all three answers are in: each one sets its own flag only.
  ASSERT_TRUE(AwaitReplies(replies + 4));
  link.HWDiagnosis2(storage, &changed);
  EXPECT_EQ(changed, 1);
  EXPECT_TRUE(storage[0]);
  EXPECT_FALSE(storage[1]);
  EXPECT_TRUE(storage[2]);
}

TEST_F(Diagnostics, DiskFreeHandsOutZerosUntilAQueryIsAnswered) {
  HoldTheTransport();
  TVandirCNC::defDiskFree record{1, 1, 1, 1};
  int changed = -1;
  EXPECT_EQ(link.GetDiskFree(2, &record, &changed), 1);
  EXPECT_EQ(changed, 1);  // nothing handed out yet: all counts as new
  EXPECT_EQ(record.TotalClusters + record.AvailableClusters + record.SectorsPerCluster +
                record.BytesPerSector,
            0);
  link.GetDiskFree(2, &record, &changed);
  EXPECT_EQ(changed, 0);
  Release();

  ASSERT_TRUE(WaitUntil([&] {
    link.GetDiskFree(2, &record, &changed);
    return changed == 1;
  }));
  EXPECT_EQ(record.TotalClusters, 60000);
  EXPECT_EQ(record.AvailableClusters, 41250);
  EXPECT_EQ(record.SectorsPerCluster, 8);
  EXPECT_EQ(record.BytesPerSector, 512);
  // Drive 5 does not exist: its answer stores nothing.
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->IsIdle(); }));
  const int replies = Replies();
  link.GetDiskFree(5, &record, &changed);
  ASSERT_TRUE(AwaitReplies(replies + 1));
  link.GetDiskFree(5, &record, &changed);
  EXPECT_EQ(changed, 0);  // a failed query keeps the record
  EXPECT_EQ(record.TotalClusters, 60000);
}

TEST_F(Diagnostics, SecondOperatorMessageWaitsForTheFirstsAnswer) {
  HoldTheTransport();
  ASSERT_EQ(Retried([&] { return link.Send_DIAGLOG("first"); }), kOk);
  EXPECT_EQ(link.Send_DIAGLOG("second"), kRefused);
  EXPECT_EQ(link.QueryStatus(), kSetPending);
  Release();
  ASSERT_TRUE(WaitUntil([&] { return link.QueryStatus() == kSetDone; }));
  EXPECT_EQ(sim.Command("messages"), "ok message 0 \"first\"");
  ASSERT_EQ(Retried([&] { return link.Send_DIAGLOG("second"); }), kOk);
  ASSERT_TRUE(WaitUntil([&] { return link.QueryStatus() == kSetDone; }));
  EXPECT_EQ(sim.Command("messages"), "ok message 0 \"first\" message 0 \"second\"");
}

TEST_F(Diagnostics, MessagesTheTransportTurnsAwayAreReportedRefused) {
  link.SendCMD->ListBusy = true;  // as while the transport takes a package off its list
  EXPECT_EQ(link.MessageBoxA("text", "title"), kRefused);
  EXPECT_EQ(link.Send_HINT("hint"), kRefused);
  link.SendCMD->ListBusy = false;
  ASSERT_EQ(Retried([&] { return link.MessageBoxA("text", "title"); }), kOk);
  ASSERT_TRUE(WaitUntil([&] { return sim.Command("messages") == "ok box \"title\" \"text\""; }))
      << sim.Command("messages");
}

}  // namespace
}  // namespace vandir::test
