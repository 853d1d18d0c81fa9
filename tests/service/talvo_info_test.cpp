// When information objects read and when they raise their change events: activation by
// group, forced updates, one event per changed slice.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/transport.h"
#include "service/talvo_info_codes.h"
#include "service/talvo_info_machine.h"
#include "service/talvo_info_plc.h"
#include "service/talvo_info_position.h"
#include "service/talvo_info_system.h"
#include "service/talvo_info_tables.h"
#include "service/talvo_info_tools.h"
#include "tests/service/info_fixture.h"

namespace talvo::test {
namespace {

constexpr int kStatusModeRequest = 258;

TEST_F(InfoObjectTest, InactiveObjectIsSilentUntilItsGroupIsShownAndForcedFromHeldValues) {
  TTalvoInfo_StatusMode status;
  int events = 0;
  status.OnChange = [&](TTalvoInfo*) { ++events; };
  status.Group = 1;
  status.SetService(&service);

  EXPECT_TRUE(RequestsDuring([&] { status.Refresh(false); }).empty());
  EXPECT_EQ(events, 0);

  const auto forced = RequestsDuring([&] {
    service.GroupInfoSetActive(1);
    service.GroupInfoForceGetCNCInfo(1);
  });
  EXPECT_TRUE(forced.empty()) << testing::PrintToString(forced);
  EXPECT_EQ(events, 1);
  EXPECT_TRUE(status.StatusChanged());
  EXPECT_TRUE(status.ModeChanged());

  // The ordinary poll reads.
  EXPECT_TRUE(Contains(RequestsDuring([&] { status.Refresh(false); }), kStatusModeRequest));
}

struct ForcedCase {
  std::string name;
  std::function<std::unique_ptr<TTalvoInfo>()> make;
  int request;  // the command the object's reads queue
  bool reads;   // whether a forced update still reads
  int events;   // change events of one forced update
};

template <class T>
std::function<std::unique_ptr<TTalvoInfo>()> Make(std::function<void(T&)> setup = {}) {
  return [setup] {
    auto info = std::make_unique<T>();
    if (setup) setup(*info);
    return std::unique_ptr<TTalvoInfo>(std::move(info));
  };
}

TEST_F(InfoObjectTest, ForcedUpdateRaisesEveryEventAndReadsOnlyWhereFreshValuesAreNeeded) {
  const std::vector<ForcedCase> cases = {
      {"StatusMode", Make<TTalvoInfo_StatusMode>(), 258, false, 1},
      {"AlarmWarning", Make<TTalvoInfo_AlarmWarning>(), 263, false, 1},
      {"Program", Make<TTalvoInfo_Program>(), 262, false, 1},
      {"WorkPiece", Make<TTalvoInfo_WorkPiece>(), 262, false, 1},
      {"WorkTime", Make<TTalvoInfo_WorkTime>(), 262, false, 1},
      {"DiskFree", Make<TTalvoInfo_DiskFree>([](auto& i) { i.Drive = 2; }), 421, false, 1},
      {"GetCodeXX", Make<TTalvoInfo_GetCodeXX>([](auto& i) { i.Kind = ECodeKind::T; }), 259,
       false, 1},
      {"FeedRate", Make<TTalvoInfo_FeedRate>(), 259, false, 1},
      {"SpindleSpeed", Make<TTalvoInfo_SpindleSpeed>(), 259, false, 1},
      {"GGroup", Make<TTalvoInfo_GGroup>(), 259, false, 1},
      {"MacroVariable", Make<TTalvoInfo_MacroVariable>(), 267, false, 21},
      {"Position", Make<TTalvoInfo_Position>([](auto& i) { i.Kind = EPositionKind::G54; }),
       266, true, 1},
      {"G54P", Make<TTalvoInfo_G54P>(), 282, true, 15},
      {"MillToolComp",
       Make<TTalvoInfo_MillToolComp>([](auto& i) { i.Kind = EMillToolKind::Length3; }), 264,
       true, 10},
      {"MillToolTDCtime", Make<TTalvoInfo_MillToolTDCtime>(), 264, true, 10},
      {"LatheToolComp", Make<TTalvoInfo_LatheToolComp>(), 265, true, 3},
      {"PLCxxBit", Make<TTalvoInfo_PLCxxBit>([](auto& i) { i.Letter = EPlcBitLetter::S; }), 291,
       true, 2},
      {"PLCCounterTimer",
       Make<TTalvoInfo_PLCCounterTimer>([](auto& i) { i.Kind = EPlcCounterTimerKind::TimerSet; }),
       293, true, 1},
      {"PLCRegister",
       Make<TTalvoInfo_PLCRegister>([](auto& i) { i.Kind = EPlcRegisterKind::BackupRegister; }),
       296, true, 3},
      {"Parameter", Make<TTalvoInfo_Parameter>(), 270, true, 20},
      {"HWDiagnosis1", Make<TTalvoInfo_HWDiagnosis1>(), 416, true, 1},
      {"HWDiagnosis2", Make<TTalvoInfo_HWDiagnosis2>(), 423, true, 1},
      {"SystemVariable", Make<TTalvoInfo_SystemVariable>(), 261, true, 1},
      // Without a kind an object does nothing at all.
      {"idle code", Make<TTalvoInfo_GetCodeXX>(), 0, false, 0},
      {"idle position", Make<TTalvoInfo_Position>(), 0, false, 0},
      {"idle mill tool", Make<TTalvoInfo_MillToolComp>(), 0, false, 0},
      {"idle bits", Make<TTalvoInfo_PLCxxBit>(), 0, false, 0},
      {"idle counter", Make<TTalvoInfo_PLCCounterTimer>(), 0, false, 0},
      {"idle register", Make<TTalvoInfo_PLCRegister>(), 0, false, 0},
  };
  for (const ForcedCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto info = c.make();
    int events = 0;
    info->OnChange = [&](TTalvoInfo*) { ++events; };
    Show(*info, 5);
    const auto requests = RequestsDuring([&] { service.GroupInfoForceGetCNCInfo(5); });
    EXPECT_EQ(events, c.events);
    if (c.reads)
      EXPECT_TRUE(Contains(requests, c.request)) << testing::PrintToString(requests);
    else
      EXPECT_TRUE(requests.empty()) << testing::PrintToString(requests);
  }
}

// Chunk starts of the events of the first poll that raises any.
std::vector<int> NextChunkEvents(TTalvoInfoChunked& info, const std::function<void()>& poll) {
  std::vector<int> starts;
  info.OnChange = [&](TTalvoInfo*) { starts.push_back(info.ChunkStart()); };
  for (int i = 0; i < 50 && starts.empty(); ++i) poll();
  info.OnChange = nullptr;
  return starts;
}

TEST_F(InfoObjectTest, ParameterObjectRaisesOneEventPerChangedSliceWithItsStart) {
  TTalvoInfo_Parameter params;
  Show(params);
  auto poll = [&] { Poll(params); };

  // Nothing was handed out yet: every slice counts as changed.
  std::vector<int> all;
  for (int start = 0; start < 2000; start += 100) all.push_back(start);
  EXPECT_EQ(NextChunkEvents(params, poll), all);

  // Once the replies are in and handed out, one changed parameter raises its slice only. A
  // read the busy link turned away comes a poll later, so a poll that raises nothing proves
  // little by itself: poll until one raises nothing after every slice's read was answered.
  const vandir::Send_Recv& transport = *Link().SendCMD;
  const int slices = static_cast<int>(all.size());
  int raised = 1;
  int answered = 0;  // replies to the reads of the poll before
  int repliesAtReads = transport.ReplyCount;
  params.OnChange = [&](TTalvoInfo*) { ++raised; };
  for (int i = 0; i < 50 && (raised > 0 || answered < slices); ++i) {
    Settle();
    answered = transport.ReplyCount - repliesAtReads;
    repliesAtReads = transport.ReplyCount;
    raised = 0;
    params.Refresh(false);
  }
  params.OnChange = nullptr;
  ASSERT_EQ(raised, 0);
  ASSERT_GE(answered, slices);
  sim.Command("param 1501 4242");
  EXPECT_EQ(NextChunkEvents(params, poll), std::vector<int>{1500});
  EXPECT_EQ(params.Value(1500), 4242);
}

TEST_F(InfoObjectTest, MacroVariablesReportLocalsThenEachGlobalSlice) {
  TTalvoInfo_MacroVariable vars;
  Show(vars);
  struct Event {
    bool locals, globals;
    int start;
  };
  std::vector<Event> events;
  vars.OnChange = [&](TTalvoInfo*) {
    events.push_back({vars.LocalsChanged(), vars.GlobalsChanged(), vars.ChunkStart()});
  };
  vars.Refresh(false);
  ASSERT_EQ(events.size(), 21u);
  EXPECT_TRUE(events[0].locals);
  EXPECT_FALSE(events[0].globals);
  for (int i = 1; i <= 20; ++i) {
    EXPECT_FALSE(events[i].locals);
    EXPECT_TRUE(events[i].globals);
    EXPECT_EQ(events[i].start, 50 * (i - 1));
  }

  // A milling controller sends its first 33 locals.
  sim.Command("var 999 1.5");
  sim.Command("local 32 2.5");
  EXPECT_TRUE(
      PollUntil({&vars}, [&] { return vars.Global(999) == 1.5 && vars.Local(32) == 2.5; }));

  // Counts outside the tables are ignored; a short last slice is a slice of its own.
  for (int bad : {-1, 1001}) vars.SetGlobalCount(bad);
  for (int bad : {-1, 51}) vars.SetLocalCount(bad);
  EXPECT_EQ(vars.GlobalCount(), 1000);
  EXPECT_EQ(vars.LocalCount(), 50);
  vars.SetGlobalCount(120);
  events.clear();
  service.GroupInfoForceGetCNCInfo(2);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[3].start, 100);
}

TEST_F(InfoObjectTest, SetStatusReportsTheWriteOutcomeOnce) {
  TTalvoInfo_SetStatus setStatus;
  std::vector<int> seen;  // the status as the handler finds it
  setStatus.OnChange = [&](TTalvoInfo*) { seen.push_back(setStatus.Status()); };
  Show(setStatus);
  EXPECT_EQ(setStatus.Status(), 999);
  // A busy list turns a write away for an instant; the program would try again.
  ASSERT_TRUE(vandir::test::WaitUntil([&] { return Link().SetPLC_Register(10, 5) == vandir::kOk; }));

  EXPECT_TRUE(PollUntil({&setStatus}, [&] { return setStatus.Status() == 0; }));
  Poll(setStatus);
  Poll(setStatus);
  EXPECT_EQ(seen, std::vector<int>{0});
  service.GroupInfoForceGetCNCInfo(2);
  EXPECT_EQ(seen, (std::vector<int>{0, 0}));
}

TEST_F(InfoObjectTest, ProgramReadsOnlyTheItemsItsOwnerEnabled) {
  constexpr int kInformation1 = 259;  // N number and block line come with it
  constexpr int kInformation2 = 262;  // the program names
  TTalvoInfo_Program program;
  program.ReadN = false;
  program.ReadBlockLine = false;
  Show(program);
  const auto requests = RequestsDuring([&] { program.Refresh(false); });
  EXPECT_TRUE(Contains(requests, kInformation2));
  EXPECT_FALSE(Contains(requests, kInformation1));

  service.GroupInfoForceGetCNCInfo(2);
  EXPECT_TRUE(program.MainPartChanged());
  EXPECT_TRUE(program.CurrentPartChanged());
  EXPECT_FALSE(program.NChanged());
  EXPECT_FALSE(program.BlockLineChanged());
}

}  // namespace
}  // namespace talvo::test
