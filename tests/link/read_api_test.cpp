// The read operations against a cache filled through the decoder, as the transport fills it.
// The link is not connected: every request a read queues is refused, which a read ignores.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "link/cache.h"
#include "link/reply_decoder.h"
#include "link/vandircnc.h"
#include "tests/link/reply_bytes.h"

namespace vandir {
namespace {

using test::ReplyBytes;

class FedLink : public TVandirCNC {
 public:
  void Feed(const ReplyBytes& r) { DecodeReply(*Cache, FileListQueue, r.p, kPackageSize, 1); }
};

class Reads : public testing::Test {
 protected:
  FedLink link;
  int changed = 7;
};

TEST_F(Reads, FirstReadReportsAChangeThenNotUntilAReplyChangesTheValue) {
  std::int16_t mode = -1;
  EXPECT_EQ(link.GetMode(&mode, &changed), 1);
  EXPECT_EQ(mode, 0);
  EXPECT_EQ(changed, 1);
  link.GetMode(&mode, &changed);
  EXPECT_EQ(changed, 0);
  link.Feed(ReplyBytes(514, 0, 3, 1));
  link.GetMode(&mode, &changed);
  EXPECT_EQ(mode, 3);
  EXPECT_EQ(changed, 1);
  std::int16_t status = -1;
  link.GetStstus(&status, &changed);
  EXPECT_EQ(status, 1);
}

struct SingleValue {
  const char* name;
  std::function<double(TVandirCNC&, int*)> read;
  double expected;
};

template <class T, class Fn>
std::function<double(TVandirCNC&, int*)> Read(Fn fn) {
  return [fn](TVandirCNC& link, int* changed) {
    T value{};
    (link.*fn)(&value, changed);
    return static_cast<double>(value);
  };
}

class SingleValues : public Reads, public testing::WithParamInterface<SingleValue> {};

// One information-1 and one information-2 reply with a distinct value in every field: each
// read must hand out its own field.
TEST_P(SingleValues, HandOutTheirOwnField) {
  ReplyBytes info1(515);
  info1.I32(0, 1).I32(4, 2).F64(8, 3.5).I32(20, 4).F64(24, 5.5).I16(52, 6).I16(54, 7).I16(56, 8);
  info1.I16(58, 9).I16(60, 10).I16(62, 11).I32(64, 12).I32(68, 13).I32(72, 14).F64(76, 15.5);
  info1.I32(84, 16).F64(88, 17.5).I32(96, 18).I32(100, 19).I32(104, 20).I16(108, 21).I16(110, 22);
  link.Feed(info1);
  link.Feed(ReplyBytes(518).I32(26, 23).I32(30, 24).I32(34, 25).I32(38, 26));
  EXPECT_EQ(GetParam().read(link, &changed), GetParam().expected);
  EXPECT_EQ(changed, 1);
  GetParam().read(link, &changed);
  EXPECT_EQ(changed, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SingleValues,
    testing::Values(
        SingleValue{"CommandFeedRate", Read<std::int32_t>(&TVandirCNC::GetCommandFeedRate), 1},
        SingleValue{"ActualFeedRate", Read<std::int32_t>(&TVandirCNC::GetActualFeedRate), 2},
        SingleValue{"FeedRatePercentage", Read<double>(&TVandirCNC::GetFeedRatePercentage), 3.5},
        SingleValue{"ActualSpindleSpeed", Read<std::int32_t>(&TVandirCNC::GetActualSpindleSpeed), 4},
        SingleValue{"SpindleSpeedPercentage", Read<double>(&TVandirCNC::GetSpindleSpeedPercentage), 5.5},
        SingleValue{"Code_H", Read<std::int16_t>(&TVandirCNC::GetCode_H), 6},
        SingleValue{"Code_T", Read<std::int16_t>(&TVandirCNC::GetCode_T), 8},
        SingleValue{"Code_P", Read<std::int16_t>(&TVandirCNC::GetCode_P), 9},
        SingleValue{"Code_Q", Read<std::int16_t>(&TVandirCNC::GetCode_Q), 10},
        SingleValue{"Code_R", Read<std::int16_t>(&TVandirCNC::GetCode_R), 11},
        SingleValue{"Code_N", Read<std::int32_t>(&TVandirCNC::GetCode_N), 12},
        SingleValue{"BlockLineNumber", Read<std::int32_t>(&TVandirCNC::GetBlockLineNumber), 13},
        SingleValue{"ActualSpindleSpeed2", Read<std::int32_t>(&TVandirCNC::GetActualSpindleSpeed2), 14},
        SingleValue{"SpindleSpeedPercentage2", Read<double>(&TVandirCNC::GetSpindleSpeedPercentage2), 15.5},
        SingleValue{"ActualSpindleSpeed3", Read<std::int32_t>(&TVandirCNC::GetActualSpindleSpeed3), 16},
        SingleValue{"SpindleSpeedPercentage3", Read<double>(&TVandirCNC::GetSpindleSpeedPercentage3), 17.5},
        SingleValue{"CommandSpindleSpeed", Read<std::int32_t>(&TVandirCNC::GetCommandSpindleSpeed), 18},
        SingleValue{"CommandSpindleSpeed2", Read<std::int32_t>(&TVandirCNC::GetCommandSpindleSpeed2), 19},
        SingleValue{"CommandSpindleSpeed3", Read<std::int32_t>(&TVandirCNC::GetCommandSpindleSpeed3), 20},
        SingleValue{"MaxWorkPiece", Read<std::int32_t>(&TVandirCNC::GetMaxWorkPiece), 23},
        SingleValue{"NowWorkPiece", Read<std::int32_t>(&TVandirCNC::GetNowWorkPiece), 24},
        SingleValue{"CurrentWorkTime", Read<std::int32_t>(&TVandirCNC::GetCurrentWorkTime), 25},
        SingleValue{"TotalWorkTime", Read<std::int32_t>(&TVandirCNC::GetTotalWorkTime), 26}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reads, MCodesByIndexAndAnIndexOutsideLeavesTheFlagAtZero) {
  link.Feed(ReplyBytes(515).I16(54, 3).I16(108, 30).I16(110, 300));
  std::int16_t m = 0;
  for (std::int16_t i = 0; i < 3; ++i) {
    EXPECT_EQ(link.GetCode_M(i, &m, &changed), 1);
    EXPECT_EQ(m, i == 0 ? 3 : i == 1 ? 30 : 300);
  }
  m = 55;
  EXPECT_EQ(link.GetCode_M(3, &m, &changed), 0);
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(m, 55);
}

using AxesRead = int (TVandirCNC::*)(std::int32_t*, int*);

struct AxesCase {
  const char* name;
  AxesRead read;
  int code;
  int offset;
};

class SixAxes : public Reads, public testing::WithParamInterface<AxesCase> {};

TEST_P(SixAxes, HandOutTheirSet) {
  ReplyBytes r(GetParam().code);
  for (int i = 0; i < 6; ++i) r.I32(GetParam().offset + 4 * i, 10 * (i + 1));
  link.Feed(r);
  std::int32_t values[6] = {};
  EXPECT_EQ((link.*GetParam().read)(values, &changed), 1);
  EXPECT_EQ(std::vector<int>(values, values + 6), (std::vector<int>{10, 20, 30, 40, 50, 60}));
  EXPECT_EQ(changed, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, SixAxes,
    testing::Values(AxesCase{"Machine", &TVandirCNC::GetMachinePos, 513, 0},
                    AxesCase{"Absolute", &TVandirCNC::GetAbsolutePos, 513, 24},
                    AxesCase{"Relative", &TVandirCNC::GetRelativePos, 513, 48},
                    AxesCase{"DistanceToGo", &TVandirCNC::GetDistanceToGo, 513, 72},
                    AxesCase{"CoordBase", &TVandirCNC::GetCoordBase, 522, 0},
                    AxesCase{"G54", &TVandirCNC::GetG54, 522, 24},
                    AxesCase{"G55", &TVandirCNC::GetG55, 522, 48},
                    AxesCase{"G56", &TVandirCNC::GetG56, 522, 72},
                    AxesCase{"G57", &TVandirCNC::GetG57, 522, 96},
                    AxesCase{"G58", &TVandirCNC::GetG58, 522, 120},
                    AxesCase{"G59", &TVandirCNC::GetG59, 522, 144},
                    AxesCase{"HandlePulses", &TVandirCNC::GetHandleIntPulse, 528, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reads, TextsStartEmptyAndChangedAndEachPathHasItsOwnField) {
  std::string text = "stale";
  EXPECT_EQ(link.GetPathRootPart(&text, &changed), 1);
  EXPECT_EQ(text, "");
  EXPECT_EQ(changed, 1);
  link.Feed(ReplyBytes(555, 0, 10).Text(0, "C:\\CUR\\O1"));
  link.Feed(ReplyBytes(557, 0, 10).Text(0, "C:\\ROOT\\"));
  link.GetPathRootPart(&text, &changed);
  EXPECT_EQ(text, "C:\\ROOT\\");
  link.GetPathCurrentPart(&text, &changed);
  EXPECT_EQ(text, "C:\\CUR\\O1");
  link.Feed(ReplyBytes(518).Text(0, "O0001").Text(13, "O0002"));
  link.GetMainPart(&text, &changed);
  EXPECT_EQ(text, "O0001");
  link.GetCurrentPart(&text, &changed);
  EXPECT_EQ(text, "O0002");
  EXPECT_EQ(changed, 1);
  link.GetCurrentPart(&text, &changed);
  EXPECT_EQ(changed, 0);
}

// A range read's accepted first values, and how many values it hands out.
struct RangeCase {
  const char* name;
  std::function<int(TVandirCNC&, int first, int count, std::vector<double>&, int*)> read;
  int lowest, highest;
};

template <class T, class Fn>
auto Range(Fn fn) {
  return [fn](TVandirCNC& link, int first, int count, std::vector<double>& out, int* changed) {
    std::vector<T> values(static_cast<std::size_t>(count), static_cast<T>(-9));
    const int result = (link.*fn)(first, count, values.data(), changed);
    out.assign(values.begin(), values.end());
    return result;
  };
}

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }
void PrintTo(const SingleValue& c, std::ostream* os) { *os << c.name; }
void PrintTo(const AxesCase& c, std::ostream* os) { *os << c.name; }

class RangeReads : public Reads, public testing::WithParamInterface<RangeCase> {};

TEST_P(RangeReads, RefuseAFirstOutsideTheirRange) {
  const RangeCase& c = GetParam();
  std::vector<double> out;
  for (int first : {c.lowest - 1, c.highest + 1, -32768}) {
    SCOPED_TRACE(first);
    EXPECT_EQ(c.read(link, first, 1, out, &changed), 0);
    EXPECT_EQ(changed, -1);
    EXPECT_EQ(out[0], -9);
  }
  EXPECT_EQ(c.read(link, c.lowest, 1, out, &changed), 1);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(out[0], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RangeReads,
    testing::Values(
        RangeCase{"ActiveG", Range<int>(&TVandirCNC::GetActiveG_OfGroup), 0, 17},
        RangeCase{"SystemVariable", Range<std::int32_t>(&TVandirCNC::GetSystemVariable), 0, 47},
        RangeCase{"MillLength1", Range<std::int32_t>(&TVandirCNC::GetMillToolLength_1), 1, 99},
        RangeCase{"MillLength6", Range<std::int32_t>(&TVandirCNC::GetMillToolLength_6), 1, 99},
        RangeCase{"MillRadius", Range<std::int32_t>(&TVandirCNC::GetMillToolRadius), 1, 99},
        RangeCase{"MillTDCval", Range<std::int32_t>(&TVandirCNC::GetMillToolTDCval), 1, 99},
        RangeCase{"MillTDCtime", Range<double>(&TVandirCNC::GetMillToolTDCtime), 1, 99},
        RangeCase{"GlobalVariable", Range<double>(&TVandirCNC::GetMacroGlobalVariable), 1, 1101},
        RangeCase{"LocalVariable", Range<double>(&TVandirCNC::GetMacroLocalVariable), 1, 49},
        RangeCase{"Parameter", Range<std::int32_t>(&TVandirCNC::GetParameter), 1, 2000},
        RangeCase{"PLC_I", Range<char>(&TVandirCNC::GetPLC_I_Bit), 0, 511},
        RangeCase{"PLC_A", Range<char>(&TVandirCNC::GetPLC_A_Bit), 0, 511},
        RangeCase{"TimerNow", Range<int>(&TVandirCNC::GetPLC_TimerNow), 0, 255},
        RangeCase{"CounterSet", Range<int>(&TVandirCNC::GetPLC_CounterSet), 0, 255},
        RangeCase{"Register", Range<int>(&TVandirCNC::GetPLC_Register), 0, 255},
        RangeCase{"BackupRegister", Range<int>(&TVandirCNC::GetPLC_BackupRegister), 0, 255}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reads, RangesStopAtTheTableBoundAndLeaveTheRestOfTheBuffer) {
  std::vector<std::int32_t> values(10, -9);
  ReplyBytes params(526, 0, 1995, 2000);
  for (int i = 0; i < 6; ++i) params.I32(4 * i, 1995 + i);
  link.Feed(params);
  EXPECT_EQ(link.GetParameter(1995, 10, values.data(), &changed), 1);
  EXPECT_EQ(values, (std::vector<std::int32_t>{1995, 1996, 1997, 1998, 1999, -9, -9, -9, -9, -9}));
  EXPECT_EQ(link.GetParameter(1, 101, values.data(), &changed), 0);
  EXPECT_EQ(changed, -1);
  values.assign(10, -9);
  EXPECT_EQ(link.GetParameter(2000, 3, values.data(), &changed), 1);  // accepted, nothing handed out
  EXPECT_EQ(values[0], -9);

  values.assign(20, -9);
  link.GetSystemVariable(40, 20, values.data(), &changed);
  EXPECT_EQ(std::count(values.begin(), values.end(), -9), 12);
  values.assign(10, -9);
  link.GetMillToolRadius(95, 10, values.data(), &changed);
  EXPECT_EQ(std::count(values.begin(), values.end(), -9), 5);

  std::vector<int> groups(5, -9);
  EXPECT_EQ(link.GetActiveG_OfGroup(17, 5, groups.data(), &changed), 1);
  EXPECT_EQ(std::count(groups.begin(), groups.end(), -9), 3);
}

TEST_F(Reads, MacroVariablesAreNumberedFromOne) {
  ReplyBytes globals(523, 0, 0, 49);
  for (int i = 0; i < 50; ++i) globals.F64(8 * i, i + 0.5);
  link.Feed(globals);
  std::vector<double> values(50);
  link.GetMacroGlobalVariable(1, 50, values.data(), &changed);
  EXPECT_EQ(values[0], 0.5);  // variable 1 is table entry 0
  EXPECT_EQ(values[49], 49.5);
  ReplyBytes locals(525, 0);
  for (int i = 0; i < 49; ++i) locals.F64(8 * i, -i);
  link.Feed(locals);
  std::vector<double> local(5, 99);
  link.GetMacroLocalVariable(48, 5, local.data(), &changed);
  EXPECT_EQ(local, (std::vector<double>{-47, -48, 99, 99, 99}));
}

TEST_F(Reads, MillToolsAreIndexedByToolNumber) {
  ReplyBytes r(520, 1);
  r.I32(0, 11).I32(4, 13).I32(8, 12).I32(24, 100).F64(32, 2.5);
  link.Feed(r);
  std::int32_t value = 0;
  link.GetMillToolLength_1(1, 1, &value, &changed);
  EXPECT_EQ(value, 11);
  link.GetMillToolLength_2(1, 1, &value, &changed);
  EXPECT_EQ(value, 12);
  link.GetMillToolLength_3(1, 1, &value, &changed);
  EXPECT_EQ(value, 13);
  link.GetMillToolRadius(1, 1, &value, &changed);
  EXPECT_EQ(value, 100);
  double time = 0;
  link.GetMillToolTDCtime(1, 1, &time, &changed);
  EXPECT_EQ(time, 2.5);
}

TEST_F(Reads, PlcTablesKeepTheirOrder) {
  link.Feed(ReplyBytes(549, 0, 0).I16(0, 5).I16(2, 50));
  link.Feed(ReplyBytes(550, 0, 0).I16(0, 60).I16(2, 6));
  link.Feed(ReplyBytes(546, 0, 10).U8(0, 1));
  int now = 0, set = 0;
  link.GetPLC_TimerNow(0, 1, &now, &changed);
  link.GetPLC_TimerSet(0, 1, &set, &changed);
  EXPECT_EQ(now, 5);
  EXPECT_EQ(set, 50);
  link.GetPLC_CounterNow(0, 1, &now, &changed);
  link.GetPLC_CounterSet(0, 1, &set, &changed);
  EXPECT_EQ(now, 6);
  EXPECT_EQ(set, 60);
  char bits[2] = {9, 9};
  link.GetPLC_C_Bit(10, 2, bits, &changed);
  EXPECT_EQ(bits[0], 1);
  EXPECT_EQ(bits[1], 0);
  link.GetPLC_I_Bit(10, 1, bits, &changed);
  EXPECT_EQ(bits[0], 0);
}

TEST_F(Reads, AlarmsReportAChangeOnlyOnce) {
  link.Feed(ReplyBytes(519, 0, 1).I32(0, 1).I32(32, 3).I32(36, 15));
  std::int16_t count = -1;
  std::int32_t numbers[20] = {};
  EXPECT_EQ(link.GetAlarm(&count, numbers, &changed), 1);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(numbers[0], 3015);
  EXPECT_EQ(changed, 1);
  link.GetAlarm(&count, numbers, &changed);
  EXPECT_EQ(changed, 0);
  link.GetWarning(&count, numbers, &changed);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(numbers[0], 9000);
  EXPECT_EQ(changed, 1);
}

TEST_F(Reads, LatheToolsFillNineArraysForTools1To30) {
  ReplyBytes r(521, 0, 30);
  for (int i = 0; i < 8; ++i) r.I32(4 * i, i + 1);
  r.U8(32, 0xFF);
  link.Feed(r);
  std::vector<std::int32_t> a[9];
  for (auto& v : a) v.assign(3, -9);
  EXPECT_EQ(link.GetLatheTool(29, 3, a[0].data(), a[1].data(), a[2].data(), a[3].data(),
                              a[4].data(), a[5].data(), a[6].data(), a[7].data(), a[8].data(),
                              &changed),
            1);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(a[i][1], i + 1);
  EXPECT_EQ(a[8][1], -1);
  EXPECT_EQ(a[0][2], -9);  // tool 31 is not handed out
  EXPECT_EQ(link.GetLatheTool(31, 1, a[0].data(), a[1].data(), a[2].data(), a[3].data(),
                              a[4].data(), a[5].data(), a[6].data(), a[7].data(), a[8].data(),
                              &changed),
            0);
  EXPECT_EQ(changed, -1);
}

TEST_F(Reads, ExtendedOffsetsSixPerSetUpToSet299) {
  ReplyBytes r(538, 290, 10);
  for (int i = 0; i < 60; ++i) r.I32(4 * i, i);
  link.Feed(r);
  std::vector<std::int32_t> values(120, -9);
  EXPECT_EQ(link.GetG54P(290, 20, values.data(), &changed), 1);
  EXPECT_EQ(values[59], 59);
  EXPECT_EQ(values[60], -9);
  changed = 5;
  EXPECT_EQ(link.GetG54P(0, 21, values.data(), &changed), -1);
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(link.GetG54P(-1, 2, values.data(), &changed), -1);
}

TEST_F(Reads, ParameterDetailAnswersTheOtherWayRound) {
  defBinRecordItem record{};
  int valid = 5;
  EXPECT_EQ(link.GetParameterDetail(0, &record, &valid), 1);
  EXPECT_EQ(valid, -1);
  EXPECT_EQ(link.GetParameterDetail(1, &record, &valid), 0);
  EXPECT_EQ(valid, 0);
}

TEST_F(Reads, DisconnectMakesEveryFieldReadAsANewZero) {
  link.Feed(ReplyBytes(514, 0, 3, 1));
  std::int16_t mode = 0;
  link.GetMode(&mode, &changed);
  link.Disconnect();
  link.GetMode(&mode, &changed);
  EXPECT_EQ(mode, 0);
  EXPECT_EQ(changed, 1);
}

}  // namespace
}  // namespace vandir
