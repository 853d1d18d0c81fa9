// The reply rules: every field at its offset, the bytes-received limit and the table bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "link/reply_decoder.h"
#include "tests/link/reply_bytes.h"

namespace vandir {
namespace {

using test::ReplyBytes;

class Decoder : public testing::Test {
 protected:
  void Decode(const ReplyBytes& r, int received = kPackageSize) {
    DecodeReply(cache, files, r.p, received, 1000);
  }
  CacheData Now() {
    return cache.WithCurrent([](const CacheData& c) { return c; });
  }
  Cache cache;
  FileListQueue files;
};

TEST_F(Decoder, PositionsStoreAllFourSetsUpToTheBytesReceived) {
  ReplyBytes r(513);
  for (int i = 0; i < 24; ++i) r.I32(4 * i, 100 + i);
  Decode(r, kHeaderSize + 80);  // distance to go: only axes 1 and 2 arrived
  const CacheData c = Now();
  EXPECT_EQ(c.MachinePos[0], 100);
  EXPECT_EQ(c.AbsolutePos[5], 111);
  EXPECT_EQ(c.RelativePos[3], 115);
  EXPECT_EQ(c.DistanceToGo[1], 119);
  EXPECT_EQ(c.DistanceToGo[2], 0);
  EXPECT_EQ(c.LastReplyTime, 1000);
}

TEST_F(Decoder, StatusAndModeComeFromTheHeader) {
  Decode(ReplyBytes(514, 0, 3, 0), kHeaderSize);
  EXPECT_EQ(Now().Mode, 3);
  EXPECT_EQ(Now().Status, 0);
}

struct Info1Field {
  const char* name;
  int offset;
  std::function<double(const CacheData&)> read;
};

class Information1 : public Decoder, public testing::WithParamInterface<Info1Field> {};

TEST_P(Information1, FieldStandsAtItsOffset) {
  // Every field gets the value 40 + its offset in its own type; the others stay zero.
  const Info1Field& f = GetParam();
  ReplyBytes r(515);
  const std::string name = f.name;
  const double expected = 40 + f.offset;
  if (name.find("Percentage") != std::string::npos)
    r.F64(f.offset, expected + 0.5);
  else if (name.find("Code_") == 0 && name != "Code_N")
    r.I16(f.offset, static_cast<std::int16_t>(expected));
  else
    r.I32(f.offset, static_cast<std::int32_t>(expected));
  Decode(r, kHeaderSize + 124);
  const double got = f.read(Now());
  EXPECT_EQ(got, name.find("Percentage") != std::string::npos ? expected + 0.5 : expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, Information1,
    testing::Values(
        Info1Field{"CommandFeedRate", 0, [](const CacheData& c) { return c.CommandFeedRate; }},
        Info1Field{"ActualFeedRate", 4, [](const CacheData& c) { return c.ActualFeedRate; }},
        Info1Field{"FeedRatePercentage", 8, [](const CacheData& c) { return c.FeedRatePercentage; }},
        Info1Field{"ActualSpindleSpeed", 20, [](const CacheData& c) { return c.ActualSpindleSpeed; }},
        Info1Field{"SpindleSpeedPercentage", 24, [](const CacheData& c) { return c.SpindleSpeedPercentage; }},
        Info1Field{"Code_H", 52, [](const CacheData& c) { return c.Code_H; }},
        Info1Field{"Code_M0", 54, [](const CacheData& c) { return c.Code_M[0]; }},
        Info1Field{"Code_T", 56, [](const CacheData& c) { return c.Code_T; }},
        Info1Field{"Code_P", 58, [](const CacheData& c) { return c.Code_P; }},
        Info1Field{"Code_Q", 60, [](const CacheData& c) { return c.Code_Q; }},
        Info1Field{"Code_R", 62, [](const CacheData& c) { return c.Code_R; }},
        Info1Field{"Code_N", 64, [](const CacheData& c) { return c.Code_N; }},
        Info1Field{"BlockLineNumber", 68, [](const CacheData& c) { return c.BlockLineNumber; }},
        Info1Field{"ActualSpindleSpeed2", 72, [](const CacheData& c) { return c.ActualSpindleSpeed2; }},
        Info1Field{"SpindleSpeedPercentage2", 76, [](const CacheData& c) { return c.SpindleSpeedPercentage2; }},
        Info1Field{"ActualSpindleSpeed3", 84, [](const CacheData& c) { return c.ActualSpindleSpeed3; }},
        Info1Field{"SpindleSpeedPercentage3", 88, [](const CacheData& c) { return c.SpindleSpeedPercentage3; }},
        Info1Field{"CommandSpindleSpeed", 96, [](const CacheData& c) { return c.CommandSpindleSpeed; }},
        Info1Field{"CommandSpindleSpeed2", 100, [](const CacheData& c) { return c.CommandSpindleSpeed2; }},
        Info1Field{"CommandSpindleSpeed3", 104, [](const CacheData& c) { return c.CommandSpindleSpeed3; }},
        Info1Field{"Code_M1", 108, [](const CacheData& c) { return c.Code_M[1]; }},
        Info1Field{"Code_M2", 110, [](const CacheData& c) { return c.Code_M[2]; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Decoder, Information1GCodesAreSignedBytes) {
  ReplyBytes r(515);
  for (int g = 0; g < 19; ++g) r.U8(32 + g, static_cast<std::uint8_t>(g == 18 ? 0xFF : g * 3));
  Decode(r);
  EXPECT_EQ(Now().ActiveG[1], 3);
  EXPECT_EQ(Now().ActiveG[18], -1);
}

TEST_F(Decoder, Information2CopiesThirteenByteNamesAndTheCounts) {
  ReplyBytes r(518);
  r.Text(0, "O1234").Text(13, "ABCDEFGHIJKLM").I32(26, 50).I32(30, 7).I32(34, 60000).I32(38, -1);
  Decode(r, kHeaderSize + 42);
  const CacheData c = Now();
  EXPECT_STREQ(c.MainPart, "O1234");
  EXPECT_EQ(std::string(c.CurrentPart), "ABCDEFGHIJKLM");  // no NUL sent: the field's zeros end it
  EXPECT_EQ(c.MaxWorkPiece, 50);
  EXPECT_EQ(c.NowWorkPiece, 7);
  EXPECT_EQ(c.CurrentWorkTime, 60000);
  EXPECT_EQ(c.TotalWorkTime, -1);
}

TEST_F(Decoder, SystemVariablesAndHandlePulses) {
  ReplyBytes sys(517), pulses(528);
  for (int i = 0; i < 48; ++i) sys.I32(4 * i, i * 10);
  for (int i = 0; i < 6; ++i) pulses.I32(4 * i, -i);
  Decode(sys, 256);
  Decode(pulses, 64);
  EXPECT_EQ(Now().SystemVariable[47], 470);
  EXPECT_EQ(Now().HandleIntPulse[5], -5);
}

class Alarms : public Decoder {
 protected:
  std::vector<int> Warnings() {
    const CacheData c = Now();
    return {c.Warning, c.Warning + c.WarningCount};
  }
  std::vector<int> AlarmList() {
    const CacheData c = Now();
    return {c.Alarm, c.Alarm + c.AlarmCount};
  }
};

TEST_F(Alarms, WarningBitsScanFromBitZero) {
  Decode(ReplyBytes(519).I32(0, 0x5), 128);
  EXPECT_EQ(Warnings(), (std::vector<int>{9000, 9002}));
  Decode(ReplyBytes(519).I32(0, 0x5).I32(4, 1 << 31).I32(8, 1), 128);
  EXPECT_EQ(Warnings(), (std::vector<int>{9000, 9002, 6031, 2000}));
  EXPECT_EQ(Now().PlcRegister[40], 1);
}

TEST_F(Alarms, PlcWarningWordsStepBySixteenAndLandInRegisters40To45) {
  ReplyBytes r(519);
  r.I32(8, 1 << 16).I32(12, 1).I32(28, 0x80000000);
  Decode(r, 128);
  // Bit 16 of word 0 and bit 0 of word 1 give the same number.
  EXPECT_EQ(Warnings(), (std::vector<int>{2016, 2016, 2111}));
  EXPECT_EQ(Now().PlcRegister[41], 1);
  EXPECT_EQ(Now().PlcRegister[45], static_cast<std::int32_t>(0x80000000));
}

TEST_F(Alarms, OnlyTheFirstTwentyWarningsAreKept) {
  Decode(ReplyBytes(519).I32(0, -1), 128);
  const auto w = Warnings();
  ASSERT_EQ(w.size(), 20u);
  EXPECT_EQ(w.front(), 9000);
  EXPECT_EQ(w.back(), 9019);
}

TEST_F(Alarms, PairsGiveGroupTimesThousandPlusNumber) {
  Decode(ReplyBytes(519, 0, 2).I32(32, 3).I32(36, 1015).I32(40, 12).I32(44, 7), 128);
  EXPECT_EQ(AlarmList(), (std::vector<int>{3015, 12007}));
  Decode(ReplyBytes(519, 0, 1).I32(32, 3).I32(36, 1015), 128);
  EXPECT_EQ(AlarmList(), (std::vector<int>{3015}));
  EXPECT_EQ(Now().Alarm[1], 0);
}

TEST_F(Alarms, PairsBeyondTheReplyAreNotReadAndCountsStayInRange) {
  ReplyBytes r(519, 0, 25);
  for (int i = 0; i < 12; ++i) r.I32(32 + 8 * i, 1).I32(36 + 8 * i, i);
  Decode(r, 128);  // 10 pairs fit in a 128-byte reply
  const CacheData c = Now();
  EXPECT_EQ(c.AlarmCount, 20);
  EXPECT_EQ(c.Alarm[9], 1009);
  EXPECT_EQ(c.Alarm[10], 0);
  Decode(ReplyBytes(519, 0, -5), 128);
  EXPECT_EQ(Now().AlarmCount, 0);
  EXPECT_EQ(Now().Alarm[0], 0);
}

TEST_F(Decoder, MillToolRecordsWithCrossedLengths) {
  ReplyBytes r(520, 95);
  for (int i = 0; i < 11; ++i) {
    const int rec = 44 * i;
    r.I32(rec, 1).I32(rec + 4, 3).I32(rec + 8, 2).I32(rec + 12, 4).I32(rec + 16, 5);
    r.I32(rec + 20, 6).I32(rec + 24, 700 + i).I32(rec + 28, 800 + i).F64(rec + 32, 0.5 + i);
  }
  Decode(r);
  const CacheData c = Now();
  for (int n = 0; n < 6; ++n) EXPECT_EQ(c.MillToolLength[n][95], n + 1);
  EXPECT_EQ(c.MillToolRadius[99], 704);
  EXPECT_EQ(c.MillToolTDCValue[96], 801);
  EXPECT_EQ(c.MillToolTDCTime[97], 2.5);
  EXPECT_EQ(c.MillToolRadius[94], 0);
}

TEST_F(Decoder, MillToolsWithANegativeFirstSkipTheMissingTools) {
  ReplyBytes r(520, -3);
  for (int i = 0; i < 11; ++i) r.I32(44 * i + 24, i);
  Decode(r);
  EXPECT_EQ(Now().MillToolRadius[0], 3);
  EXPECT_EQ(Now().MillToolRadius[7], 10);
  EXPECT_EQ(Now().MillToolRadius[8], 0);
}

TEST_F(Decoder, LatheToolByHeaderIndex) {
  ReplyBytes r(521, 0, 32);
  for (int i = 0; i < 8; ++i) r.I32(4 * i, i + 1);
  r.U8(32, 0xFE);
  Decode(r, 64);
  const CacheData c = Now();
  EXPECT_EQ(c.LatheGeometry[0][32], 1);
  EXPECT_EQ(c.LatheGeometry[3][32], 4);
  EXPECT_EQ(c.LatheWear[0][32], 5);
  EXPECT_EQ(c.LatheWear[3][32], 8);
  EXPECT_EQ(c.LatheToolType[32], -2);
  for (int bad : {33, -1, 1000}) Decode(ReplyBytes(521, 0, bad).I32(0, 99), 64);
  EXPECT_EQ(Now().LatheGeometry[0][0], 0);
}

TEST_F(Decoder, WorkCoordinatesBaseThenG54ToG59) {
  ReplyBytes r(522);
  for (int i = 0; i < 42; ++i) r.I32(4 * i, i);
  Decode(r, 192);
  EXPECT_EQ(Now().CoordBase[5], 5);
  EXPECT_EQ(Now().WorkOffset[0][0], 6);
  EXPECT_EQ(Now().WorkOffset[5][5], 41);
}

TEST_F(Decoder, GlobalVariablesFromFirstToLastWithinReplyAndTable) {
  ReplyBytes r(523, 0, 10, 5);
  r.F64(0, 1.5);
  Decode(r, 416);
  EXPECT_EQ(Now().GlobalVariable[10], 0.0);  // last before first: nothing

  ReplyBytes big(523, 0, 0, 99);
  for (int i = 0; i < 62; ++i) big.F64(8 * i, i + 0.25);
  Decode(big, 416);  // 50 values fit in the reply
  EXPECT_EQ(Now().GlobalVariable[49], 49.25);
  EXPECT_EQ(Now().GlobalVariable[50], 0.0);

  ReplyBytes end(523, 0, 1095, 1200);
  for (int i = 0; i < 50; ++i) end.F64(8 * i, 7.0);
  Decode(end, 416);
  EXPECT_EQ(Now().GlobalVariable[1100], 7.0);
}

TEST_F(Decoder, LocalVariablesCountDependsOnTheFlag) {
  ReplyBytes r(525, 1);
  for (int i = 0; i < 49; ++i) r.F64(8 * i, i + 1);
  Decode(r);
  EXPECT_EQ(Now().LocalVariable[32], 33);
  EXPECT_EQ(Now().LocalVariable[33], 0);
  r.p.set_iParam1(0);
  Decode(r);
  EXPECT_EQ(Now().LocalVariable[48], 49);
  EXPECT_EQ(Now().LocalVariable[49], 0);
}

TEST_F(Decoder, ParametersStopAtTheTableEnd) {
  ReplyBytes r(526, 0, 1990, 2005);
  for (int i = 0; i < 16; ++i) r.I32(4 * i, 5000 + i);
  Decode(r, 416);
  EXPECT_EQ(Now().Parameter[1990], 5000);
  EXPECT_EQ(Now().Parameter[2000], 5010);

  ReplyBytes negative(526, 0, -2, 3);
  for (int i = 0; i < 6; ++i) negative.I32(4 * i, 10 + i);
  Decode(negative, 416);
  EXPECT_EQ(Now().Parameter[0], 12);
  EXPECT_EQ(Now().Parameter[3], 15);
}

TEST_F(Decoder, ExtendedOffsetsBySetWithinTheReply) {
  ReplyBytes r(538, 290, 30000);
  for (int i = 0; i < 120; ++i) r.I32(4 * i, i);
  Decode(r);
  EXPECT_EQ(Now().ExtendedOffset[290][0], 0);
  EXPECT_EQ(Now().ExtendedOffset[299][5], 59);
  ReplyBytes negative(538, -1, 2);
  negative.I32(24, 77);
  Decode(negative);
  EXPECT_EQ(Now().ExtendedOffset[0][0], 77);
}

TEST_F(Decoder, ExtendedOffsetSetCutOffKeepsTheValuesThatArrived) {
  // Sets 10 to 12 asked for; the reply ends two bytes into the third value of set 12.
  Decode(ReplyBytes(538, 12, 1).I32(8, -5).I32(20, -6));
  ReplyBytes r(538, 10, 3);
  for (int i = 0; i < 18; ++i) r.I32(4 * i, 100 + i);
  Decode(r, kHeaderSize + 2 * 24 + 10);
  const CacheData c = Now();
  EXPECT_EQ(c.ExtendedOffset[11][5], 111);
  EXPECT_EQ(c.ExtendedOffset[12][0], 112);
  EXPECT_EQ(c.ExtendedOffset[12][1], 113);
  EXPECT_EQ(c.ExtendedOffset[12][2], -5);  // only half of its bytes came: the old value stays
  EXPECT_EQ(c.ExtendedOffset[12][5], -6);

  // A whole package holds 20 2/3 sets: the 21st gets its first four values.
  ReplyBytes full(538, 200, 21);
  for (int i = 0; i < kDataSize / 4; ++i) full.I32(4 * i, 1000 + i);
  Decode(full);
  EXPECT_EQ(Now().ExtendedOffset[219][5], 1000 + 119);
  EXPECT_EQ(Now().ExtendedOffset[220][3], 1000 + 123);
  EXPECT_EQ(Now().ExtendedOffset[220][4], 0);
}

class PlcBitReply : public Decoder, public testing::WithParamInterface<int> {};

TEST_P(PlcBitReply, NonZeroBytesAreSetBitsUpToAddress511) {
  const int code = GetParam();
  ReplyBytes r(code, 0, 500);
  for (int k = 0; k < 20; ++k) r.U8(k, static_cast<std::uint8_t>(k % 2 ? 0x80 : 0));
  Decode(r);
  const CacheData c = Now();
  const auto& table = c.PlcBit[code - 544];
  EXPECT_EQ(table[500], 0);
  EXPECT_EQ(table[501], 1);
  EXPECT_EQ(table[511], 1);
  for (int other = 544; other <= 548; ++other) {
    if (other != code) {
      EXPECT_EQ(c.PlcBit[other - 544][501], 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ILettersOCSA, PlcBitReply, testing::Values(544, 545, 546, 547, 548));

TEST_F(Decoder, TimersAndCountersPairInOppositeOrder) {
  Decode(ReplyBytes(549, 0, 255).I16(0, 11).I16(2, 22).I16(4, 33));
  Decode(ReplyBytes(550, 0, 0).I16(0, 44).I16(2, 55));
  const CacheData c = Now();
  EXPECT_EQ(c.PlcTimerNow[255], 11);
  EXPECT_EQ(c.PlcTimerSet[255], 22);
  EXPECT_EQ(c.PlcCounterSet[0], 44);
  EXPECT_EQ(c.PlcCounterNow[0], 55);
}

TEST_F(Decoder, RegistersIgnoredWhenTheControllerSaysMinusOne) {
  Decode(ReplyBytes(551, -1, 0).I32(0, 9));
  Decode(ReplyBytes(552, -1, 0).I32(0, 9));
  EXPECT_EQ(Now().PlcRegister[0], 0);
  EXPECT_EQ(Now().PlcBackupRegister[0], 0);
  Decode(ReplyBytes(551, 0, 250).I32(0, 1).I32(20, 6).I32(24, 7));
  Decode(ReplyBytes(552, 0, 3).I32(4, -8));
  EXPECT_EQ(Now().PlcRegister[255], 6);
  EXPECT_EQ(Now().PlcBackupRegister[4], -8);
}

TEST_F(Decoder, PartPathsKeepAtMost127CharactersAndRespectTheLengthWord) {
  const std::string longPath(200, 'p');
  Decode(ReplyBytes(557, 0, 128).Text(0, longPath));
  EXPECT_EQ(std::string(Now().PartPathText[kRootPartPath]).size(), 127u);
  Decode(ReplyBytes(554, 0, 129).Text(0, "C:\\NC\\O1"));
  EXPECT_STREQ(Now().PartPathText[kMainPartPath], "");
  Decode(ReplyBytes(555, 0, 9).Text(0, "C:\\NC\\O1"));
  EXPECT_STREQ(Now().PartPathText[kCurrentPartPath], "C:\\NC\\O1");
}

TEST_F(Decoder, FileCommandRepliesAreCountedWithTheirNames) {
  Decode(ReplyBytes(657, 0, 5).Text(0, "A.NC").Text(6, "B.NC"));
  Decode(ReplyBytes(658, 12).Text(0, "C.NC"));
  const CacheData c = Now();
  EXPECT_EQ(c.FileCmdAnswered, 2);
  EXPECT_EQ(c.FileCmdError, 12);
  EXPECT_STREQ(c.FileCmdName, "C.NC");
  EXPECT_STREQ(c.FileCmdNewName, "B.NC");
  Decode(ReplyBytes(657, 0, 600).Text(0, "A"));  // a second name outside the reply
  EXPECT_STREQ(Now().FileCmdNewName, "");
}

std::vector<std::uint8_t> Entry(const char* name) {
  std::vector<std::uint8_t> e(44, 0);
  std::memcpy(e.data() + 30, name, std::strlen(name));
  return e;
}

TEST_F(Decoder, FileListPushesTheCountThenEachEntry) {
  ReplyBytes first(665, 0, 3, 25);
  for (int k = 0; k < 3; ++k) first.Text(44 * k + 30, "F" + std::to_string(k));
  Decode(first);
  ASSERT_EQ(files.Size(), 4u);
  EXPECT_EQ(*files.Pop(), (std::vector<std::uint8_t>{25, 0}));
  EXPECT_EQ(*files.Pop(), Entry("F0"));
  files.Clear();
  Decode(ReplyBytes(665, 1, 11));
  EXPECT_EQ(files.Size(), 11u);
  files.Clear();
  Decode(ReplyBytes(665, -1, 3, 3));
  EXPECT_EQ(files.Size(), 0u);
  Decode(ReplyBytes(665, 1, 32000));  // more than the reply holds
  EXPECT_EQ(files.Size(), 11u);
}

TEST_F(Decoder, HardwareDiagnosisMapsCheckBitsToFlags) {
  // Flags in read order: I/O sets 1-6, encoders 1-6, dogs 1-6, indexes 1-6.
  const int bitOfFlag[24] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 17, 18, 19,
                             9, 10, 11, 12, 20, 21, 13, 14, 15, 16, 22, 23};
  for (int flag = 0; flag < 24; ++flag) {
    SCOPED_TRACE(flag);
    Decode(ReplyBytes(672).I32(0, 1 << bitOfFlag[flag]), 32);
    const CacheData c = Now();
    for (int other = 0; other < 24; ++other) EXPECT_EQ(c.HardwareCheck[other], other == flag);
  }
}

TEST_F(Decoder, HardwareDiagnosisCardNameAndExtraFlags) {
  Decode(ReplyBytes(672).I16(4, 0x1F01).U8(7, 1).I16(12, -1), 32);
  EXPECT_STREQ(Now().CardModelName, CardModelName(0x1001));
  EXPECT_NE(std::string(CardModelName(0x1001)), "unknow");
  const CacheData c = Now();
  EXPECT_EQ(std::vector<int>(c.ExtraHardwareFlag, c.ExtraHardwareFlag + 6),
            (std::vector<int>{0, 1, 0, 0, 1, 0}));
  Decode(ReplyBytes(672).I16(4, 0x4001), 32);
  EXPECT_STREQ(Now().CardModelName, "unknow");
  for (int code : {0x1001, 0x1002, 0x1003, 0x1004, 0x1005, 0x1006, 0x1009, 0x2001, 0x3001})
    EXPECT_LE(std::strlen(CardModelName(code)), 9u);
}

TEST_F(Decoder, InformationTextsAreCutToTheirFields) {
  Decode(ReplyBytes(673).Text(0, std::string(40, 'v')));
  Decode(ReplyBytes(675).Text(0, "C:\\"));
  Decode(ReplyBytes(676).Text(0, "C:\\MACHINE\\"));
  Decode(ReplyBytes(680).Text(0, "C:\\NCFILES\\"));
  const CacheData c = Now();
  EXPECT_EQ(std::string(c.SoftwareInformation).size(), 31u);
  EXPECT_STREQ(c.NcPathText[kNcRootPath], "C:\\");
  EXPECT_STREQ(c.NcPathText[kNcMachinePath], "C:\\MACHINE\\");
  EXPECT_STREQ(c.NcPathText[kNcFilesPath], "C:\\NCFILES\\");
}

TEST_F(Decoder, DiskFreeOnlyOnSuccess) {
  Decode(ReplyBytes(677, 1).I16(0, 5), 24);
  EXPECT_EQ(Now().DiskFree[0], 0);
  Decode(ReplyBytes(677, 0).I16(0, -1).I16(2, 2).I16(4, 8).I16(6, 512), 24);
  const CacheData c = Now();
  EXPECT_EQ(std::vector<int>(c.DiskFree, c.DiskFree + 4),
            (std::vector<int>{65535, 2, 8, 512}));
}

TEST_F(Decoder, StorageChecksByKind) {
  const auto checks = [this] {
    const CacheData c = Now();
    return std::vector<int>(c.StorageCheck, c.StorageCheck + 3);
  };
  Decode(ReplyBytes(679, 1).I32(0, 11), 20);
  Decode(ReplyBytes(679, 3).I32(0, 13), 20);
  EXPECT_EQ(checks(), (std::vector<int>{1, 0, 1}));
  Decode(ReplyBytes(679, 1).I32(0, 14), 20);
  EXPECT_EQ(checks(), (std::vector<int>{0, 0, 0}));
}

TEST_F(Decoder, DataRecordsGoToTheRecorder) {
  struct Sink : DataRecordSink {
    int records = 0;
    void WriteRecord(const defRECEIVE_PACKAGE&) override { ++records; }
  } sink;
  DecodeReply(cache, files, ReplyBytes(21845, 1).p, kPackageSize, 5, &sink);
  DecodeReply(cache, files, ReplyBytes(514, 1).p, kPackageSize, 5, &sink);
  EXPECT_EQ(sink.records, 1);
}

TEST_F(Decoder, RepliesWithoutARuleOnlyStampTheTime) {
  const CacheData before = Now();
  ReplyBytes r(593, 1, 2, 3);
  for (int i = 0; i < 100; ++i) r.I32(4 * i, -1);
  Decode(r);
  Decode(ReplyBytes(674, 1, 2, 3));
  CacheData after = Now();
  EXPECT_EQ(after.LastReplyTime, 1000);
  after.LastReplyTime = before.LastReplyTime;
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

// Set results: the write and control replies reopen the gate with the controller's code.
void CloseGate(Cache& cache) {
  cache.WithCurrent([](CacheData& c) {
    c.SetIdle = 0;
    c.SetStatus = 999;
  });
}

class SetResultReply : public testing::TestWithParam<int> {};

TEST_P(SetResultReply, ReopensTheGateWithTheControllersResult) {
  Cache cache;
  FileListQueue files;
  CloseGate(cache);
  DecodeReply(cache, files, ReplyBytes(GetParam(), 7).p, kHeaderSize, 1234);
  cache.WithCurrent([](const CacheData& c) {
    EXPECT_EQ(c.SetIdle, 1);
    EXPECT_EQ(c.SetStatus, 7);
    EXPECT_EQ(c.LastReplyTime, 1234);
  });
}

INSTANTIATE_TEST_SUITE_P(WriteAndControlReplies, SetResultReply,
                         testing::Values(592, 596, 598, 601, 602, 603, 607, 608, 609, 610, 611,
                                         612, 630, 641, 647, 650, 652, 653, 654, 678));

class OtherReply : public testing::TestWithParam<int> {};

TEST_P(OtherReply, LeavesTheGate) {
  Cache cache;
  FileListQueue files;
  CloseGate(cache);
  DecodeReply(cache, files, ReplyBytes(GetParam(), 0).p, kHeaderSize, 99);
  cache.WithCurrent([](const CacheData& c) {
    EXPECT_EQ(c.SetIdle, 0);
    EXPECT_EQ(c.SetStatus, 999);
  });
}

// 512 answers the user login, 593 the parameter detail, 674 the message box, 527 the echo.
INSTANTIATE_TEST_SUITE_P(NonSetReplies, OtherReply,
                         testing::Values(512, 514, 527, 591, 593, 597, 674, 679, 21845));

TEST(Cache, ResetClearsTheCurrentCopyAndMarksEveryFieldUnreported) {
  Cache cache;
  cache.WithCurrent([](CacheData& c) {
    c.SetIdle = 1;
    c.LastReplyTime = 5;
  });
  cache.Reported().SetStatus = 0;
  cache.Reset();
  cache.WithCurrent([](const CacheData& c) {
    EXPECT_EQ(c.SetIdle, 0);
    EXPECT_EQ(c.LastReplyTime, 0);
  });
  EXPECT_EQ(cache.Reported().SetStatus, 0x0101);
}

}  // namespace
}  // namespace vandir
