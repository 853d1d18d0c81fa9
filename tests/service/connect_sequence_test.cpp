#include <gtest/gtest.h>

#include <filesystem>

#include "service/talvo_info.h"
#include "tests/service/service_fixture.h"

namespace talvo::test {
namespace {

using vandir::test::Simulator;

const char kMlc[] = "/* MLC alarm texts */\r\nignored until the closer\r\n*/\r\n1012=Door open\r\n";
const char kUsr[] = "/*\r\nnote\r\n*/\r\n19501=Spindle warm-up\r\n\r\n";
const char kDsp[] = "10000=EDIT\r\n10001=AUTO\r\n/* tail */\r\n*/\r\n";
const char kParamIdx[] = "IDX 3.1\0\0param index bytes\x01\x02";

class ConnectSequence : public ServiceTest {
 protected:
  explicit ConnectSequence(Simulator::Options options = {}) : ServiceTest(std::move(options)) {
    PutControllerFile("MACHINE", "ENG_MLC.ERR", kMlc);
    PutControllerFile("MACHINE", "USRENG.STR", kUsr);
    PutControllerFile("RESOURCE", "DSPE.STR", kDsp);
    PutControllerFile("RESOURCE", "PARAM.IDX", std::string(kParamIdx, sizeof kParamIdx - 1));
  }
};

TEST_F(ConnectSequence, RunsEveryStepToConnectedAndMergesTheTexts) {
  QStringList debug;
  service->DebugLines = &debug;
  Connect();
  const std::vector<std::string> expected{
      "connecting", "state 2", "state 3", "state 4", "state 5",  "state 6", "state 7",
      "state 8",    "state 9", "state 10", "state 11", "connect"};
  EXPECT_EQ(events, expected);
  EXPECT_TRUE(service->GetSessionReady());
  EXPECT_EQ(service->GetProcessKind(), pkGetInformation);
  EXPECT_EQ(service->GetNcRootPath(), "C:\\");
  EXPECT_EQ(service->GetNcResourcePath(), "C:\\resource\\");
  EXPECT_EQ(service->GetNcMachinePath(), "C:\\MACHINE\\");
  EXPECT_EQ(service->GetNcFilesPath(), "C:\\NCFILES\\");
  EXPECT_FALSE(service->GetNcVersion().empty());
  EXPECT_EQ(ReadLocal(hmiFile),
            "[HMISTRINGTABLE]\r\n1012=Door open\r\n19501=Spindle warm-up\r\n\r\n10000=EDIT\r\n"
            "10001=AUTO\r\n");
  EXPECT_EQ(ReadLocal(resourceDir / "param.idx"), std::string(kParamIdx, sizeof kParamIdx - 1));
  EXPECT_FALSE(std::filesystem::exists(resourceDir / (sim.Address() + "_Temp.str")));
  // Step messages start with the controller's address.
  EXPECT_TRUE(debug.contains(QString::fromStdString(sim.Address() + " NcRootPath: C:\\")));
  EXPECT_TRUE(debug.contains(QString::fromStdString(sim.Address() + " Login: ... (502)")));
}

TEST_F(ConnectSequence, TheChineseLanguagesFetchTheChineseSet) {
  PutControllerFile("MACHINE", "CHI_MLC.ERR", "1=\xa4\x40\r\n");
  PutControllerFile("MACHINE", "USRCHI.STR", "2=\xa5\x5c\r\n");
  PutControllerFile("RESOURCE", "DSPC.STR", "3=c\r\n");
  hmiFile = resourceDir / "DspC.str";
  Connect(0);
  EXPECT_EQ(ReadLocal(hmiFile), "[HMISTRINGTABLE]\r\n1=\xa4\x40\r\n2=\xa5\x5c\r\n3=c\r\n");
}

TEST_F(ConnectSequence, LanguageThreeFetchesTheEnglishSet) {
  // Chinese files that differ, so that fetching the wrong set shows.
  PutControllerFile("MACHINE", "CHI_MLC.ERR", "1=chinese\r\n");
  PutControllerFile("MACHINE", "USRCHI.STR", "2=chinese\r\n");
  PutControllerFile("RESOURCE", "DSPC.STR", "3=chinese\r\n");
  Connect(3);
  EXPECT_EQ(ReadLocal(hmiFile),
            "[HMISTRINGTABLE]\r\n1012=Door open\r\n19501=Spindle warm-up\r\n\r\n10000=EDIT\r\n"
            "10001=AUTO\r\n");
}

TEST_F(ConnectSequence, SettingsAreStoredAsTheWindowExpects) {
  ASSERT_TRUE(service->ConnectToMachine(1, sim.Address(), -1, "", resourceDir.string(),
                                        "/tmp/nc", hmiFile.string(), 2));
  EXPECT_EQ(service->GetRemoteZPath(), "/tmp/nc/");
  EXPECT_EQ(service->GetDrSavePath(), "/tmp/nc") << "the path as passed";
  EXPECT_EQ(service->GetDrChangeTimer(), 10000);
  EXPECT_EQ(service->GetLocalResourceDir(), resourceDir.string() + "/");
  EXPECT_FALSE(StartConnect()) << "refused while a sequence runs";
}

TEST_F(ConnectSequence, AMissingControllerTextEndsTheAttemptWithAnError) {
  std::filesystem::remove(sim.Root() / "C" / "MACHINE" / "USRENG.STR");
  ASSERT_TRUE(StartConnect());
  ASSERT_TRUE(RunUntil([&] { return !EventsStartingWith("disconnect").empty(); }));
  RunFor(std::chrono::milliseconds(100));
  const auto errors = EventsStartingWith("error 2 ");
  ASSERT_EQ(errors.size(), 1u) << testing::PrintToString(events);
  EXPECT_EQ(EventsStartingWith("disconnect"), std::vector<std::string>{"disconnect 2 8 502"});
  EXPECT_EQ(service->GetProcessKind(), pkNone);
  EXPECT_FALSE(Logged("connect"));
}

TEST_F(ConnectSequence, AnUnwritableDisplayStringFileEndsTheAttempt) {
  hmiFile = home / "no-such-folder" / "DspE.str";
  ASSERT_TRUE(StartConnect());
  ASSERT_TRUE(RunUntil([&] { return !EventsStartingWith("disconnect").empty(); }));
  EXPECT_TRUE(Logged("error 2 " + std::to_string(kHmiFileNotWritten)));
  EXPECT_EQ(EventsStartingWith("disconnect"), std::vector<std::string>{"disconnect 2 9 502"});
}

// The link is dropped after the controller has answered k packages, for k counting up from
// none until an attempt completes before its drop comes (a step asks again on every tick
// until it has its answer, so the count varies): each attempt must end connected through
// the reconnect policy, whichever step the drop hits. The clock stands still, so a closed
// connection is noticed for what it is, not by six seconds of silence.
TEST_F(ConnectSequence, ALinkDroppedAfterAnyPackageOfTheSequenceReconnectsAndCompletes) {
  service->KeepConnect = true;
  service->SetKeepConnectInterval(0);
  for (long k = 0;; ++k) {
    events.clear();
    const long handshakes = sim.Stats()["handshakes"];
    sim.Command("drop-after " + std::to_string(k));
    ASSERT_TRUE(StartConnect()) << k;
    ASSERT_TRUE(RunUntil([&] { return Logged("connect"); })) << k << testing::PrintToString(events);
    EXPECT_TRUE(EventsStartingWith("error").empty()) << k << testing::PrintToString(events);
    EXPECT_TRUE(service->GetSessionReady()) << k;
    EXPECT_EQ(ReadLocal(hmiFile),
              "[HMISTRINGTABLE]\r\n1012=Door open\r\n19501=Spindle warm-up\r\n\r\n10000=EDIT\r\n"
              "10001=AUTO\r\n") << k;
    service->CloseConnect();
    RunFor(std::chrono::milliseconds(30));
    if (sim.Stats()["handshakes"] == handshakes + 1) break;  // completed before the drop came
    ASSERT_LT(k, 100) << "the drop should have come after the sequence by now";
  }
}

TEST_F(ServiceTest, AControllerThatClosesTheConnectionIsALostLinkAtOnce) {
  Connect();
  events.clear();
  sim.Command("drop");
  // The link's clock stands still: only the closed socket can tell.
  ASSERT_TRUE(RunUntil([&] { return !EventsStartingWith("disconnect").empty(); },
                       std::chrono::seconds(2)));
  EXPECT_EQ(events.front(), "disconnect 3 11 502");
}

class RefusedLogin : public ServiceTest {
 protected:
  RefusedLogin() : ServiceTest(LoginAs("503")) {}
  static Simulator::Options LoginAs(std::string level) {
    Simulator::Options options;
    options.login = std::move(level);
    return options;
  }
};

TEST_F(RefusedLogin, WithoutKeepConnectTheServiceClosesAndReportsTheLevel) {
  ASSERT_TRUE(StartConnect());
  ASSERT_TRUE(RunUntil([&] { return !EventsStartingWith("disconnect").empty(); }));
  EXPECT_EQ(events, (std::vector<std::string>{"connecting", "state 2", "disconnect 2 2 503"}));
  EXPECT_EQ(service->GetProcessKind(), pkNone);
  EXPECT_EQ(service->GetConnectState(), csConnecting) << "the state at closing is kept";
}

TEST_F(RefusedLogin, KeepConnectCountsCountdownsAndGivesUpAtTheLimit) {
  service->KeepConnect = true;
  service->KeepConnectCount = 3;
  service->SetKeepConnectInterval(200);
  service->SetProcessInterval(50);
  ASSERT_TRUE(StartConnect());
  // Three attempts after the first, then a close that leaves the service idle.
  ASSERT_TRUE(RunUntil([&] { return EventsStartingWith("connecting").size() == 4 &&
                                    service->GetProcessKind() == pkNone; }));
  RunFor(std::chrono::milliseconds(300));
  EXPECT_EQ(EventsStartingWith("connecting").size(), 4u);
  EXPECT_EQ(service->GetReconnectCount(), 3u);
  // Each countdown reports what is left, falling by the tick: 150, 100, 50.
  const std::vector<std::string> one{"countdown 150", "countdown 100", "countdown 50"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), one.begin(), one.end());
  EXPECT_EQ(EventsStartingWith("countdown"), expected);
  // A countdown ends by closing its waiting state before the new attempt.
  const auto first = std::find(events.begin(), events.end(), "countdown 50");
  ASSERT_NE(first, events.end());
  EXPECT_EQ(*(first + 1), "disconnect 1 2 503");
  EXPECT_EQ(*(first + 2), "connecting");
  EXPECT_EQ(EventsStartingWith("disconnect").back(), "disconnect 2 2 503");
}

TEST_F(RefusedLogin, AConnectDuringTheCountdownRestartsWithACountOfZero) {
  service->KeepConnect = true;
  service->SetKeepConnectInterval(60000);
  ASSERT_TRUE(StartConnect());
  ASSERT_TRUE(RunUntil([&] { return service->GetProcessKind() == pkConnectCountdown; }));
  EXPECT_EQ(service->GetReconnectCount(), 1u);
  ASSERT_TRUE(StartConnect());
  EXPECT_EQ(service->GetReconnectCount(), 0u);
  EXPECT_EQ(service->GetProcessKind(), pkConnecting);
  EXPECT_EQ(service->GetConnectState(), csPrepare);
}

TEST_F(ServiceTest, ALostLinkWithoutIntervalReconnectsAtOnceAndSuccessResetsTheCount) {
  service->KeepConnect = true;
  service->SetKeepConnectInterval(0);
  Connect();
  events.clear();
  sim.Command("drop");
  ASSERT_TRUE(RunUntilWithTimePassing([&] { return !EventsStartingWith("disconnect").empty(); }));
  ASSERT_TRUE(RunUntil([&] { return Logged("connect"); })) << testing::PrintToString(events);
  EXPECT_TRUE(EventsStartingWith("countdown").empty());
  EXPECT_EQ(events.front(), "disconnect 3 11 502");
  EXPECT_EQ(service->GetReconnectCount(), 0u);
}

TEST_F(ServiceTest, ALoginStillUnansweredKeepsTheSequenceInTheLoginStep) {
  QStringList debug;
  service->DebugLines = &debug;
  sim.Command("stall 60000");  // the handshake's answer waits until released
  ASSERT_TRUE(StartConnect());
  const QString noResultYet = QString::fromStdString(sim.Address() + " Login: ... (999)");
  ASSERT_TRUE(RunUntil([&] { return debug.count(noResultYet) >= 10; }));
  EXPECT_EQ(service->GetConnectState(), csConnecting);
  EXPECT_EQ(service->GetProcessKind(), pkConnecting);
  EXPECT_EQ(service->GetLoginResult(), vandir::kNoNewLogin);
  EXPECT_EQ(events, (std::vector<std::string>{"connecting", "state 2"}));
  sim.Command("stall 0");
  ASSERT_TRUE(RunUntil([&] { return Logged("connect"); })) << testing::PrintToString(events);
}

TEST_F(ServiceTest, ALostLinkIsClosedCountedDownAndConnectedAgain) {
  service->KeepConnect = true;
  service->KeepConnectCount = 3;
  service->SetKeepConnectInterval(100);  // five ticks of 20 ms
  Connect();
  events.clear();
  sim.Command("drop");
  ASSERT_TRUE(RunUntilWithTimePassing([&] { return !EventsStartingWith("disconnect").empty(); }));
  EXPECT_EQ(service->GetReconnectCount(), 1u);
  ASSERT_TRUE(RunUntil([&] { return Logged("connect"); })) << testing::PrintToString(events);
  const std::vector<std::string> expected{
      "disconnect 3 11 502", "countdown 80", "countdown 60", "countdown 40", "countdown 20",
      "disconnect 1 11 502", "connecting", "state 2", "state 3", "state 4", "state 5", "state 6",
      "state 7", "state 8", "state 9", "state 10", "state 11", "connect"};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(service->GetReconnectCount(), 0u) << "a completed sequence resets the count";
  EXPECT_TRUE(service->GetSessionReady());
  EXPECT_EQ(sim.Stats()["handshakes"], 2);
}

TEST_F(ServiceTest, ALinkDropDuringAnyConnectStepEndsInAClose) {
  for (int step = csGetVersion; step <= csDownloadParamIndex; ++step) {
    events.clear();
    onConnectDo = nullptr;
    bool dropped = false;
    service->OnConnectStateChange = [&](TTalvoService*, EConnectState state) {
      events.push_back("state " + std::to_string(state));
      if (state == step && !dropped) {
        dropped = true;
        sim.Command("drop");
      }
    };
    ASSERT_TRUE(StartConnect());
    // Either the drop was seen before the step finished or after a late step completed the
    // sequence; either way the lost link is noticed and the service is never stuck half-way.
    // After the drop the link's clock runs fast, so the silence is noticed at once whenever
    // the last reply came in.
    ASSERT_TRUE(RunUntil([&] {
      if (dropped) clock->Advance(1);
      return !EventsStartingWith("disconnect").empty();
    })) << "step " << step << testing::PrintToString(events);
    EXPECT_EQ(service->GetProcessKind(), pkNone) << step;
    EXPECT_FALSE(service->GetSessionReady());
  }
}

TEST_F(ServiceTest, AStallLongerThanSixSecondsCountsAsALostLink) {
  Connect();
  sim.Command("stall 3000");
  ASSERT_TRUE(RunUntilWithTimePassing([&] { return !EventsStartingWith("disconnect").empty(); }));
  EXPECT_EQ(EventsStartingWith("disconnect"), std::vector<std::string>{"disconnect 3 11 502"});
  EXPECT_EQ(service->GetProcessKind(), pkNone);
  sim.Command("stall 0");
}

TEST_F(ServiceTest, CloseConnectWhenIdlePostsNothing) {
  service->CloseConnect();
  RunFor(std::chrono::milliseconds(50));
  EXPECT_TRUE(events.empty());
}

// Counts its updates and what the send queue held at the start of each tick.
class CountingInfo : public TTalvoInfo {
 public:
  void Update(bool force) override {
    if (force) ++forced;
    ++updates;
    queuedAtTick.push_back(GetService()->GetSendCountBefore());
    std::int16_t status = 0;
    int changed = 0;
    Link().GetStstus(&status, &changed);
  }
  int updates = 0;
  int forced = 0;
  std::vector<int> queuedAtTick;
};

TEST_F(ServiceTest, ObjectsArePolledOnlyOnTicksThatStartWithAnEmptySendQueue) {
  CountingInfo info;
  info.SetService(service.get());
  service->AllInfoSetActive();
  Connect();
  ASSERT_TRUE(RunUntil([&] { return info.updates >= 5; }));
  sim.Command("stall 400");  // replies now lag behind the ticks
  const int before = info.updates;
  RunFor(std::chrono::milliseconds(1200));
  sim.Command("stall 0");
  EXPECT_LT(info.updates - before, 1200 / 20 / 4) << "most ticks found requests waiting";
  for (int queued : info.queuedAtTick) EXPECT_LE(queued, 0);
}

TEST_F(ServiceTest, GroupOperationsSwitchAndForceOnlyTheirGroup) {
  CountingInfo general, page, other;
  general.Group = 1;
  page.Group = 2;
  other.Group = 3;
  for (TTalvoInfo* info : {static_cast<TTalvoInfo*>(&general), static_cast<TTalvoInfo*>(&page),
                           static_cast<TTalvoInfo*>(&other)}) {
    info->SetService(service.get());
  }
  EXPECT_EQ(service->GetTalvoInfoCount(), 3);
  EXPECT_EQ(service->GetTalvoInfos(3), nullptr);
  service->AllInfoSetActive();
  service->AllInfoSetInactive();
  service->GroupInfoSetActive(1);
  service->GroupInfoSetActive(2);
  service->GroupInfoForceGetCNCInfo(2);
  EXPECT_TRUE(general.Active);
  EXPECT_TRUE(page.Active);
  EXPECT_FALSE(other.Active);
  EXPECT_EQ(page.forced, 1);
  EXPECT_EQ(general.forced, 0);
  service->GroupInfoSetInactive(2);
  EXPECT_FALSE(page.Active);
  other.SetService(nullptr);
  EXPECT_EQ(service->GetTalvoInfoCount(), 2);
}

TEST(ServiceDebugLines, TrimmedFromOverAThousandToFiveHundredNewestFirst) {
  EnsureQtApp();
  TTalvoService service;
  service.AddDebugMsg("dropped: no list");
  QStringList lines;
  service.DebugLines = &lines;
  for (int i = 0; i < 1001; ++i) service.AddDebugMsg(std::to_string(i));
  ASSERT_EQ(lines.size(), 500);
  EXPECT_EQ(lines.front(), "1000");
  EXPECT_EQ(lines.back(), "501");
}

TEST(ServiceProperties, KeepConnectIntervalIgnoresNegativeValues) {
  EnsureQtApp();
  TTalvoService service;
  EXPECT_EQ(service.GetKeepConnectInterval(), 1000);
  service.SetKeepConnectInterval(-5);
  EXPECT_EQ(service.GetKeepConnectInterval(), 1000);
  service.SetKeepConnectInterval(0);
  EXPECT_EQ(service.GetKeepConnectInterval(), 0);
  EXPECT_EQ(service.GetProcessInterval(), 100);
}

}  // namespace
}  // namespace talvo::test
