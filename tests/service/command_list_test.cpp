#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/transport.h"
#include "tests/service/service_fixture.h"
#include "tests/support/timing.h"

namespace talvo::test {
namespace {

namespace fs = std::filesystem;

class CommandList : public ServiceTest {
 protected:
  void SetUp() override {
    Connect();
    // The last download may still be ending its pass; a first command sent into that
    // moment would meet a busy list and be refused.
    ASSERT_TRUE(RunUntil([&] { return service->Link()->SendCMD->IsIdle(); }));
    events.clear();
  }
  std::string Local(const std::string& name) const { return (home / "Ncfiles" / name).string(); }
  static std::string Remote(const std::string& name) { return "C:\\NCFILES\\" + name; }
  void PutLocal(const std::string& name, const std::string& bytes) const {
    std::ofstream(Local(name), std::ios::binary) << bytes;
  }
  bool RunUntilIdle() {
    return RunUntil([this] { return service->GetProcessKind() == pkGetInformation; }) &&
           (RunFor(std::chrono::milliseconds(60)), true);  // let the last events arrive
  }
  bool Finished() const { return Logged("finish 11"); }
};

TEST_F(CommandList, ASingleUploadReportsProgressAndFinish) {
  PutLocal("O1000", std::string(3000, 'x'));
  ASSERT_TRUE(service->SendFile(Local("O1000"), Remote("O1000")));
  EXPECT_EQ(service->GetProcessKind(), pkSendFile);
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(EventsStartingWith("progress").back(), "progress 5 100");
  EXPECT_EQ(events.back(), "finish 5");
  EXPECT_EQ(ReadLocal(sim.Root() / "C" / "NCFILES" / "O1000"), std::string(3000, 'x'));
  EXPECT_FALSE(service->SendFile(Local("O1000"), "")) << "a name missing";
}

TEST_F(CommandList, AnEmptyFileUploadFinishesInsteadOfWaitingForever) {
  PutLocal("EMPTY", "");
  ASSERT_TRUE(service->SendFile(Local("EMPTY"), Remote("EMPTY")));
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(events.back(), "finish 5");
}

TEST_F(CommandList, AnUploadTheLinkRefusesToStartFailsWithItsCode) {
  ASSERT_TRUE(service->SendFile(Local("MISSING"), Remote("MISSING")));
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(events, std::vector<std::string>{"error 5 -22"});
}

TEST_F(CommandList, AFileCommandOrListingTheLinkTurnsAwayFailsInsteadOfWaitingForever) {
  service->Link()->SendCMD->ListBusy = true;  // as while the transport takes a package off
  ASSERT_TRUE(service->FileDelete(Remote("X")));
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(events, std::vector<std::string>{"error 8 -1"});
  std::vector<vandir::FileListQueue::Block> list;
  EXPECT_FALSE(service->GetFileList("C:\\NCFILES\\", &list));
  EXPECT_EQ(service->GetProcessKind(), pkGetInformation);
  service->Link()->SendCMD->ListBusy = false;
}

TEST_F(CommandList, AStartTheTransportTurnsAwayForAMomentIsMadeAgain) {
  PutControllerFile("NCFILES", "X", "x");
  service->SetProcessInterval(1000);  // the test releases the transport between two ticks
  service->Link()->SendCMD->ListBusy = true;
  ASSERT_TRUE(service->FileDelete(Remote("X")));
  service->Link()->SendCMD->ListBusy = false;
  service->ProcessTimerOnTimer();
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_TRUE(Logged("finish 8")) << testing::PrintToString(events);
  EXPECT_TRUE(EventsStartingWith("error").empty()) << testing::PrintToString(events);
  EXPECT_FALSE(fs::exists(sim.Root() / "C" / "NCFILES" / "X"));
}

TEST_F(CommandList, OverwriteAnswersForDownloads) {
  struct Case {
    const char* name;
    int firstAnswer;
    int secondAnswer;
    std::vector<std::string> questions;  // files asked about
    bool firstReplaced;
    bool secondReplaced;
    bool finished;
  };
  const Case cases[] = {
      {"yes to all asks once", kAnswerYesToAll, 0, {"A1"}, true, true, true},
      {"no to all asks once and skips both", kAnswerNoToAll, 0, {"A1"}, false, false, true},
      {"no then yes asks again", kAnswerNo, kAnswerYes, {"A1", "A2"}, false, true, true},
      {"yes then no", kAnswerYes, kAnswerNo, {"A1", "A2"}, true, false, true},
      {"another answer aborts", 2, 0, {"A1"}, false, false, false},
  };
  for (const Case& c : cases) {
    events.clear();
    for (const char* name : {"A1", "A2"}) {
      PutControllerFile("NCFILES", name, std::string("new ") + name);
      PutLocal(name, "old");
    }
    int asked = 0;
    service->OnFileOverwrite = [&](TTalvoService*, EProcessKind, std::string name, int& result) {
      events.push_back("overwrite " + fs::path(name).filename().string());
      result = asked++ == 0 ? c.firstAnswer : c.secondAnswer;
    };
    ASSERT_TRUE(service->BeginCommandList());
    ASSERT_TRUE(service->ReceiveFile(Remote("A1"), Local("A1")));
    ASSERT_TRUE(service->ReceiveFile(Remote("A2"), Local("A2")));
    EXPECT_EQ(service->GetProcessKind(), pkGetInformation) << "only listed";
    ASSERT_TRUE(service->EndCommandList(true));
    ASSERT_TRUE(RunUntilIdle()) << c.name;
    std::vector<std::string> questions;
    for (const auto& e : EventsStartingWith("overwrite ")) questions.push_back(e.substr(10));
    std::vector<std::string> expected;
    for (const auto& q : c.questions) expected.push_back(q);
    EXPECT_EQ(questions, expected) << c.name;
    EXPECT_EQ(ReadLocal(Local("A1")), c.firstReplaced ? "new A1" : "old") << c.name;
    EXPECT_EQ(ReadLocal(Local("A2")), c.secondReplaced ? "new A2" : "old") << c.name;
    EXPECT_EQ(Finished(), c.finished) << c.name;
    EXPECT_EQ(Logged("abort 10"), !c.finished) << c.name << testing::PrintToString(events);
  }
}

TEST_F(CommandList, ASingleDownloadAnsweredNoEndsQuietly) {
  PutControllerFile("NCFILES", "B1", "new");
  PutLocal("B1", "old");
  overwriteAnswer = kAnswerNo;
  ASSERT_TRUE(service->ReceiveFile(Remote("B1"), Local("B1")));
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(events, std::vector<std::string>{"overwrite 6 " + Local("B1")});
  EXPECT_EQ(ReadLocal(Local("B1")), "old");
}

TEST_F(CommandList, AnUploadOntoAnExistingFileAsksAndNoToAllSkipsTheRest) {
  for (const char* name : {"U1", "U2"}) {
    PutLocal(name, "pc");
    PutControllerFile("NCFILES", name, "nc");
  }
  overwriteAnswer = kAnswerNoToAll;
  ASSERT_TRUE(service->BeginCommandList());
  ASSERT_TRUE(service->SendFile(Local("U1"), Remote("U1")));
  ASSERT_TRUE(service->SendFile(Local("U2"), Remote("U2")));
  ASSERT_TRUE(service->EndCommandList(true));
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(EventsStartingWith("overwrite"), std::vector<std::string>{"overwrite 5 " + Remote("U1")});
  EXPECT_TRUE(Finished());
  EXPECT_EQ(EventsStartingWith("progress").back(), "progress 5 100");
  EXPECT_EQ(ReadLocal(sim.Root() / "C" / "NCFILES" / "U2"), "nc");
}

TEST_F(CommandList, AnUploadAnsweredYesIsSentAgainWithOverwrite) {
  PutLocal("U3", "pc");
  PutControllerFile("NCFILES", "U3", "nc");
  overwriteAnswer = kAnswerYes;
  ASSERT_TRUE(service->SendFile(Local("U3"), Remote("U3")));
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(events.back(), "finish 5");
  EXPECT_EQ(ReadLocal(sim.Root() / "C" / "NCFILES" / "U3"), "pc");
}

TEST_F(CommandList, AnExistingFolderIsSkippedAndAFailureStopsTheList) {
  PutControllerFile("INSTTMP", "KEEP", "");
  PutLocal("M1", "data");
  ASSERT_TRUE(service->BeginCommandList());
  ASSERT_TRUE(service->DirCreate("C:\\INSTTMP"));
  ASSERT_TRUE(service->SendFile(Local("M1"), "C:\\INSTTMP\\M1"));
  ASSERT_TRUE(service->FileDelete("C:\\INSTTMP\\NOFILE"));
  ASSERT_TRUE(service->FileRename("C:\\INSTTMP\\M1", "M2"));
  ASSERT_TRUE(service->EndCommandList(true));
  ASSERT_TRUE(RunUntilIdle());
  const std::vector<std::string> executed = EventsStartingWith("execute");
  EXPECT_EQ(executed, (std::vector<std::string>{"execute 9 0", "execute 5 1", "execute 8 2"}));
  EXPECT_EQ(EventsStartingWith("error"), std::vector<std::string>{"error 8 2"});
  EXPECT_FALSE(Finished());
  EXPECT_FALSE(Logged("abort 8")) << "a failure is not an abort";
  EXPECT_TRUE(fs::exists(sim.Root() / "C" / "INSTTMP" / "M1")) << "the rename never ran";
  EXPECT_EQ(service->GetCmdListCount(), 4) << "records stay for the window";
  ASSERT_NE(service->GetCmdListItems(1), nullptr);
  EXPECT_STREQ(service->GetCmdListItems(1)->Name2, "C:\\INSTTMP\\M1");
}

TEST_F(CommandList, AFileCommandFailureOfTheControllerIsReported) {
  sim.Command("fail-file 15");
  ASSERT_TRUE(service->DirCreate("C:\\NEWDIR"));
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(events, std::vector<std::string>{"error 9 15"});
}

TEST_F(CommandList, ProgressOfAListIsSplitIntoEqualSteps) {
  for (const char* name : {"P1", "P2", "P3", "P4"}) PutLocal(name, std::string(100, 'p'));
  ASSERT_TRUE(service->BeginCommandList());
  for (const char* name : {"P1", "P2", "P3", "P4"}) service->SendFile(Local(name), Remote(name));
  ASSERT_TRUE(service->EndCommandList(true));
  // The first command (index 0) at 50 %: 0 * 25 + 50 * 25 / 100.
  EXPECT_EQ(service->CalculateWholeProgress(50), 12);
  ASSERT_TRUE(RunUntilIdle());
  const auto progress = EventsStartingWith("progress");
  EXPECT_EQ(progress, (std::vector<std::string>{"progress 5 25", "progress 5 50", "progress 5 75",
                                                "progress 5 100"}));
  EXPECT_EQ(events.back(), "finish 11");
}

TEST_F(CommandList, CancelStopsAListWithAnAbortAndNoFinish) {
  PutLocal("BIG", std::string(2'000'000, 'b'));
  PutLocal("SMALL", "s");
  sim.Command("stall 20");
  ASSERT_TRUE(service->BeginCommandList());
  service->SendFile(Local("BIG"), Remote("BIG"));
  service->SendFile(Local("SMALL"), Remote("SMALL"));
  ASSERT_TRUE(service->EndCommandList(true));
  ASSERT_TRUE(RunUntil([&] { return !EventsStartingWith("progress").empty(); }));
  service->CancelCommand();
  EXPECT_EQ(service->GetProcessKind(), pkGetInformation);
  sim.Command("stall 0");
  RunFor(std::chrono::milliseconds(300));
  EXPECT_TRUE(Logged("abort 5"));
  EXPECT_FALSE(Finished());
  EXPECT_FALSE(fs::exists(sim.Root() / "C" / "NCFILES" / "SMALL"));
  // A late answer to a question that no longer stands starts nothing.
  service->ConfirmFileOverwrite(kAnswerYes);
  EXPECT_EQ(service->GetProcessKind(), pkGetInformation);
}

TEST_F(CommandList, ABeginRefusedWhileAListRunsLeavesTheListAndItsHeldAnswerAlone) {
  for (const char* name : {"R1", "R2", "R3"}) {
    PutLocal(name, std::string(20'000, 'r'));
    PutControllerFile("NCFILES", name, "nc");
  }
  sim.Command("stall 5");  // each upload takes a while, so the list is caught running
  overwriteAnswer = kAnswerYesToAll;
  ASSERT_TRUE(service->BeginCommandList());
  for (const char* name : {"R1", "R2", "R3"}) service->SendFile(Local(name), Remote(name));
  ASSERT_TRUE(service->EndCommandList(true));
  bool refused = false;
  ASSERT_TRUE(RunUntil([&] {
    if (!Logged("execute 5 1")) return false;
    EXPECT_EQ(service->GetProcessKind(), pkSendFile);
    refused = !service->BeginCommandList();
    return true;
  }));
  EXPECT_TRUE(refused);
  sim.Command("stall 0");
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_TRUE(Finished()) << testing::PrintToString(events);
  EXPECT_EQ(EventsStartingWith("overwrite").size(), 1u) << "yes to all still held";
  for (const char* name : {"R1", "R2", "R3"})
    EXPECT_EQ(ReadLocal(sim.Root() / "C" / "NCFILES" / name), std::string(20'000, 'r')) << name;
  EXPECT_EQ(service->GetCmdListCount(), 3);
}

TEST_F(CommandList, AbortLetsTheRunningCommandEndAndStartsNoOther) {
  service->AbortCommandList();  // nothing runs: nothing to abort
  for (const char* name : {"B1", "B2", "B3"}) PutLocal(name, std::string(20'000, 'b'));
  sim.Command("stall 5");
  ASSERT_TRUE(service->BeginCommandList());
  for (const char* name : {"B1", "B2", "B3"}) service->SendFile(Local(name), Remote(name));
  ASSERT_TRUE(service->EndCommandList(true));
  ASSERT_TRUE(RunUntil([&] { return Logged("execute 5 0"); }));
  service->AbortCommandList();
  EXPECT_EQ(service->GetProcessKind(), pkSendFile) << "the running upload goes on";
  sim.Command("stall 0");
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(events.back(), "abort 5") << testing::PrintToString(events);
  EXPECT_FALSE(Finished());
  EXPECT_TRUE(EventsStartingWith("error").empty());
  EXPECT_EQ(EventsStartingWith("execute"), std::vector<std::string>{"execute 5 0"});
  EXPECT_EQ(ReadLocal(sim.Root() / "C" / "NCFILES" / "B1"), std::string(20'000, 'b'));
  EXPECT_FALSE(fs::exists(sim.Root() / "C" / "NCFILES" / "B2"));
}

TEST_F(CommandList, ListProtocolRefusals) {
  EXPECT_TRUE(service->BeginCommandList());
  EXPECT_FALSE(service->EndCommandList(true)) << "an empty list does not start";
  EXPECT_EQ(service->GetProcessKind(), pkGetInformation);
  EXPECT_FALSE(service->EndCommandList(false)) << "no list is being built any more";
  EXPECT_TRUE(service->BeginCommandList());
  EXPECT_TRUE(service->FileDelete("C:\\NCFILES\\X"));
  EXPECT_TRUE(service->EndCommandList(false));
  EXPECT_EQ(service->GetCmdListCount(), 0) << "ending without execution discards";
  EXPECT_FALSE(service->FileDelete(std::string(256, 'n'))) << "does not fit the record";
}

TEST_F(CommandList, ADirectoryListingCollectsEveryEntry) {
  for (int i = 0; i < 25; ++i) PutControllerFile("LIST", "F" + std::to_string(i), "x");
  std::vector<vandir::FileListQueue::Block> list;
  EXPECT_FALSE(service->GetFileList("z:\\", &list)) << "the PC's own folder";
  ASSERT_TRUE(service->GetFileList("C:\\LIST\\", &list));
  EXPECT_FALSE(service->SendFile(Local("x"), Remote("x"))) << "busy";
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(list.size(), 25u);
  EXPECT_EQ(events.back(), "finish 4");
  EXPECT_EQ(EventsStartingWith("progress").back(), "progress 4 100");
}

TEST_F(CommandList, ListingProgressStaysAtZeroUntilTheTotalAndRisesWithTheParts) {
  // 30 entries come in parts of 11, 11 and 8: 36 %, 73 %, then the end.
  for (int i = 0; i < 30; ++i) PutControllerFile("LIST", "F" + std::to_string(i), "x");
  sim.Command("stall 60000");  // the total cannot arrive until released
  std::vector<vandir::FileListQueue::Block> list;
  ASSERT_TRUE(service->GetFileList("C:\\LIST\\", &list));
  for (int tick = 0; tick < 3; ++tick) service->ProcessTimerOnTimer();
  EXPECT_EQ(service->GetLastProgress(), 0) << "nothing is known of the listing yet";
  sim.Command("stall 0");
  ASSERT_TRUE(RunUntilIdle());
  ASSERT_EQ(list.size(), 30u);
  std::vector<int> percents;
  for (const auto& e : EventsStartingWith("progress 4 "))
    percents.push_back(std::stoi(e.substr(11)));
  ASSERT_GE(percents.size(), 2u) << "at least one step before the end";
  EXPECT_EQ(percents.back(), 100);
  for (std::size_t i = 0; i + 1 < percents.size(); ++i) {
    EXPECT_TRUE(percents[i] == 36 || percents[i] == 73) << percents[i];
    EXPECT_LT(percents[i], percents[i + 1]) << "progress never falls back";
  }
  EXPECT_EQ(events.back(), "finish 4");
}

TEST_F(CommandList, AListingAsksForEachPartAsSoonAsTheLastArrivedNotATickLater) {
  // 90 entries come in 9 parts; at one part a tick the listing would take 9 s or more.
  for (int i = 0; i < 90; ++i) PutControllerFile("LIST", "F" + std::to_string(i), "x");
  service->SetProcessInterval(1000);
  std::vector<vandir::FileListQueue::Block> list;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(service->GetFileList("C:\\LIST\\", &list));
  ASSERT_TRUE(RunUntil([&] { return Logged("finish 4"); }, std::chrono::seconds(20)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, vandir::test::Stretched(std::chrono::milliseconds(500)));
  EXPECT_EQ(list.size(), 90u);
}

TEST_F(CommandList, EachTransferOfAListStartsAsSoonAsTheLastEndedNotATickLater) {
  // At one file a tick, eight files would take eight seconds or more.
  for (int i = 0; i < 4; ++i) {
    PutLocal("UP" + std::to_string(i), std::string(300, 'u'));
    PutControllerFile("NCFILES", "DN" + std::to_string(i), std::string(300, 'd'));
  }
  service->SetProcessInterval(1000);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(service->BeginCommandList());
  for (int i = 0; i < 4; ++i) {
    const std::string up = "UP" + std::to_string(i), down = "DN" + std::to_string(i);
    service->SendFile(Local(up), Remote(up));
    service->ReceiveFile(Remote(down), Local(down));
  }
  ASSERT_TRUE(service->EndCommandList(true));
  ASSERT_TRUE(RunUntil([&] { return Finished(); }, std::chrono::seconds(30)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, vandir::test::Stretched(std::chrono::milliseconds(2500)));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(fs::file_size(Local("DN" + std::to_string(i))), 300u) << i;
}

TEST_F(CommandList, AnEmptyDirectoryListingFinishes) {
  PutControllerFile("EMPTYDIR", ".keep-not-8.3-name", "");
  std::vector<vandir::FileListQueue::Block> list{{1, 2}};
  ASSERT_TRUE(service->GetFileList("C:\\EMPTYDIR\\", &list));
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(events.back(), "finish 4");
}

TEST_F(CommandList, ADropDuringAJobHandsOverToTheReconnectPolicy) {
  PutLocal("BIG", std::string(500'000, 'b'));
  sim.Command("drop-transfer 3");
  ASSERT_TRUE(service->SendFile(Local("BIG"), Remote("BIG")));
  ASSERT_TRUE(RunUntil([&] { return service->GetProcessKind() != pkSendFile; }));
  ASSERT_TRUE(RunUntilWithTimePassing([&] { return service->GetProcessKind() == pkNone; }));
  RunFor(std::chrono::milliseconds(60));
  EXPECT_FALSE(Logged("finish 5"));
  EXPECT_EQ(EventsStartingWith("disconnect").size(), 1u) << testing::PrintToString(events);
}

TEST_F(CommandList, ADropDuringADownloadInAListKeepsTheOldLocalFileAndStopsTheList) {
  PutControllerFile("NCFILES", "D1", std::string(200'000, 'd'));
  PutControllerFile("NCFILES", "D2", "d2");
  PutLocal("D1", "old");
  overwriteAnswer = kAnswerYesToAll;
  sim.Command("drop-transfer 2");
  ASSERT_TRUE(service->BeginCommandList());
  service->ReceiveFile(Remote("D1"), Local("D1"));
  service->ReceiveFile(Remote("D2"), Local("D2"));
  ASSERT_TRUE(service->EndCommandList(true));
  // The link drops the connection the transfer broke: the job ends with it, as a lost link
  // that the download in hand (kind 6) was cut off by, not as a failure of its own.
  ASSERT_TRUE(RunUntil([&] { return !EventsStartingWith("disconnect 6 ").empty(); }))
      << testing::PrintToString(events);
  EXPECT_EQ(service->GetProcessKind(), pkNone);
  RunFor(std::chrono::milliseconds(60));
  EXPECT_TRUE(EventsStartingWith("error").empty()) << testing::PrintToString(events);
  EXPECT_EQ(ReadLocal(Local("D1")), "old");
  EXPECT_FALSE(fs::exists(Local("D2")));
  EXPECT_FALSE(Finished());
  EXPECT_FALSE(service->GetSessionReady());
}

TEST_F(CommandList, BadHeadersAreDroppedByTheLinkAndTheSessionCarriesOn) {
  for (int i = 0; i < 3; ++i) sim.Command("bad-header");
  PutLocal("H1", "h");
  ASSERT_TRUE(service->SendFile(Local("H1"), Remote("H1")));
  ASSERT_TRUE(RunUntil([&] { return service->GetProcessKind() == pkGetInformation; }));
  RunFor(std::chrono::milliseconds(200));
  EXPECT_TRUE(service->GetSessionReady());
  EXPECT_TRUE(EventsStartingWith("disconnect").empty());
}

TEST(CommandPool, GrowsByBlocksOfAHundredAndIsResetWhole) {
  EnsureQtApp();
  TTalvoService service;
  SFileCommand record;
  ASSERT_TRUE(MakeFileCommand(fcFileDelete, "C:\\A", "", &record));
  for (int i = 0; i < 150; ++i) service.AddCmdListData(record);
  EXPECT_EQ(service.CmdPoolBlockCount(), 2u);
  service.ClearCmdListData();
  for (int i = 0; i < 150; ++i) service.AddCmdListData(record);
  EXPECT_EQ(service.CmdPoolBlockCount(), 2u) << "cleared records are taken again";
  EXPECT_EQ(service.GetCmdListItems(150), nullptr);
}

}  // namespace
}  // namespace talvo::test
