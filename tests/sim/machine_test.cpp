// The machine behind vandir-sim: reply layouts, writes and their refusals, the control
// commands that steer it and the program cycle, through real TCP with a bare client.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/package.h"
#include "tests/sim/sim_client.h"
#include "tests/support/simulator.h"

namespace vandir::test {
namespace {

using namespace std::chrono_literals;

// The controller's result codes, as the program's result table names them.
constexpr std::int16_t kAccepted = 0;
constexpr std::int16_t kOutOfRange = 4;      // "Over Range Error"
constexpr std::int16_t kUnknownItem = 6;     // "Over No Error"
constexpr std::int16_t kAxisOutOfRange = 9;  // "Over Axis Range"
constexpr std::int16_t kWrongPassword = 402;

// The value of a control reply "ok VALUE".
std::string Value(const std::string& reply) { return reply.size() > 3 ? reply.substr(3) : ""; }

std::string Hex(const defPACKAGE& package, int size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (int i = 0; i < size; ++i) {
    hex += kDigits[package.u8(i) >> 4];
    hex += kDigits[package.u8(i) & 0xF];
  }
  return hex;
}

// What a reply says, whatever request index it answers.
std::array<std::uint8_t, kPackageSize> Content(defPACKAGE reply) {
  reply.set_iIndex(0);
  return reply.bytes;
}

// A write request with an i32 at bytes 10-13 (tool, index or coordinate code), then
// an i32 and an f64 in the data area, as tool data and offsets travel.
defPACKAGE Write(std::int16_t command, std::int32_t at10, std::int32_t data0, double data4) {
  auto request = Request(command, 0, kHeaderSize, kHeaderSize + 12);
  request.put_i32(10, at10);
  request.put_i32(kData, data0);
  request.put_f64(kData + 4, data4);
  return request;
}

defPACKAGE SetParameter(std::int16_t number, std::int32_t value, std::int32_t level,
                        const char* password) {
  auto request = Request(336, 0, kHeaderSize, 32);
  request.set_iParam1(number);
  request.put_i32(12, value);
  request.put_i32(18, level);
  request.put_text(22, password);
  return request;
}

defPACKAGE SetVariable(std::int16_t command, std::int32_t index, double value) {
  auto request = Request(command, 0, kHeaderSize, kHeaderSize + 8);
  request.put_i32(10, index);
  request.put_f64(kData, value);
  return request;
}

// Registers and backup registers answer with 32 bytes.
defPACKAGE SetRegister(std::int16_t command, std::int16_t address, std::int32_t value) {
  auto request = Request(command, 0, 32);
  request.set_iParam1(address);
  request.put_i32(12, value);
  return request;
}

defPACKAGE WithParams(defPACKAGE request, std::int16_t p1, std::int16_t p2 = 0,
                      std::int16_t p3 = 0) {
  request.set_iParam1(p1);
  request.set_iParam2(p2);
  request.set_iParam3(p3);
  return request;
}

defPACKAGE WithText(std::int16_t command, const std::string& text) {
  auto request =
      Request(command, 0, kHeaderSize, static_cast<std::int16_t>(kHeaderSize + text.size() + 1));
  request.set_iParam1(static_cast<std::int16_t>(text.size() + 1));
  request.put_text(kData, text);
  return request;
}

class SimMachine : public testing::Test {
 protected:
  explicit SimMachine(Simulator::Options options = {}) : sim(std::move(options)) {
    sim.Command("cycle off");
    client = LoggedIn(sim);
  }

  // Sends the request and returns its reply, which must have the reply code, the index
  // and exactly the length asked for.
  defPACKAGE Exchange(defPACKAGE request) {
    request.set_iIndex(++index);
    const auto size = request.iReplyLength();
    const auto reply = client->Exchange(request, static_cast<std::size_t>(size));
    EXPECT_FALSE(reply.error) << "command " << request.iCommand() << ": " << reply.error.message();
    EXPECT_EQ(reply.package.iCommand(), request.iCommand() + kReplyOffset);
    EXPECT_EQ(reply.package.iLength(), size);
    EXPECT_EQ(reply.package.iIndex(), index);
    return reply.package;
  }
  defPACKAGE Read(std::int16_t command, std::int16_t replyLength, std::int16_t p1 = 0,
                  std::int16_t p2 = 0) {
    return Exchange(WithParams(Request(command, 0, replyLength), p1, p2));
  }
  std::int16_t ResultOf(const defPACKAGE& write) { return Exchange(write).iParam1(); }
  std::string Get(const std::string& what) { return Value(sim.Command("get " + what)); }

  Simulator sim;
  std::unique_ptr<Client> client;
  std::int16_t index = 0;
};

TEST_F(SimMachine, PositionReplyCarriesTheFourCoordinateSystemsInOrder) {
  sim.Command("position machine 1 2 3 4 5 6");
  sim.Command("position absolute 11 12 13 14 15 16");
  sim.Command("position relative -21 -22 -23 -24 -25 -26");
  sim.Command("position to-go 31 32 33 34 35 36");
  const auto reply = Read(257, 128);
  const std::int32_t expected[4][6] = {{1, 2, 3, 4, 5, 6},
                                       {11, 12, 13, 14, 15, 16},
                                       {-21, -22, -23, -24, -25, -26},
                                       {31, 32, 33, 34, 35, 36}};
  for (int system = 0; system < 4; ++system) {
    for (int axis = 0; axis < 6; ++axis) {
      EXPECT_EQ(reply.i32(kData + 24 * system + 4 * axis), expected[system][axis])
          << system << "/" << axis;
    }
  }
}

TEST_F(SimMachine, WorkOffsetsAndHandlePulsesAreSetByName) {
  sim.Command("position base 1 2 3 4 5 6");
  sim.Command("position g54 11 12 13 14 15 16");
  sim.Command("position g59 -61 -62 -63 -64 -65 -66");
  sim.Command("position g54p1 101 0 0 0 0 106");
  sim.Command("position g54p300 -3001 0 0 0 0 -3006");
  sim.Command("position handle 1234 0 0 0 0 -7");
  const auto work = Read(266, 184);
  EXPECT_EQ(work.i32(kData), 1);
  EXPECT_EQ(work.i32(kData + 24 + 20), 16);
  EXPECT_EQ(work.i32(kData + 24 * 6), -61);
  EXPECT_EQ(Read(282, 496, 0).i32(kData + 20), 106);
  EXPECT_EQ(Read(282, 496, 299).i32(kData), -3001);
  EXPECT_EQ(Read(272, 40).i32(kData), 1234);
  EXPECT_EQ(sim.Command("get position g54p300"), "ok -3001 0 0 0 0 -3006");
  EXPECT_EQ(sim.Command("get position handle"), "ok 1234 0 0 0 0 -7");
}

TEST_F(SimMachine, StatusReplyCarriesModeAndStatusInTheHeader) {
  for (const auto& [mode, status] : {std::pair{3, 0}, std::pair{1, 2}, std::pair{5, 4}}) {
    sim.Command("set mode " + std::to_string(mode));
    sim.Command("set status " + std::to_string(status));
    const auto reply = Read(258, 16);
    EXPECT_EQ(reply.iParam2(), mode);
    EXPECT_EQ(reply.iParam3(), status);
  }
}

TEST_F(SimMachine, InformationOneHasEveryValueAtItsOffset) {
  struct Field {
    const char* name;
    const char* value;
    int offset;
    char type;  // 'i' i32, 'h' i16, 'd' f64
  };
  const Field fields[] = {
      {"feed", "1200000", 0, 'i'},
      {"feed-actual", "600000", 4, 'i'},
      {"feed-override", "50.5", 8, 'd'},
      {"spindle-actual", "2990", 20, 'i'},
      {"spindle-override", "95.5", 24, 'd'},
      {"hcode", "17", 52, 'h'},
      {"mcode", "3", 54, 'h'},
      {"tcode", "12", 56, 'h'},
      {"pcode", "21", 58, 'h'},
      {"qcode", "22", 60, 'h'},
      {"rcode", "23", 62, 'h'},
      {"ncode", "1230", 64, 'i'},
      {"line", "456", 68, 'i'},
      {"spindle2-actual", "1500", 72, 'i'},
      {"spindle2-override", "80.25", 76, 'd'},
      {"spindle3-actual", "700", 84, 'i'},
      {"spindle3-override", "60.75", 88, 'd'},
      {"spindle", "3000", 96, 'i'},
      {"spindle2", "1600", 100, 'i'},
      {"spindle3", "800", 104, 'i'},
      {"mcode2", "8", 108, 'h'},
      {"mcode3", "98", 110, 'h'},
  };
  for (const auto& field : fields) {
    sim.Command(std::string("set ") + field.name + " " + field.value);
  }
  for (int group = 0; group < 19; ++group) {
    sim.Command("gcode " + std::to_string(group) + " " + std::to_string(group - 1));
  }

  const auto reply = Read(259, 140);
  for (const auto& field : fields) {
    SCOPED_TRACE(field.name);
    const int at = kData + field.offset;
    switch (field.type) {
      case 'i':
        EXPECT_EQ(reply.i32(at), std::stol(field.value));
        break;
      case 'h':
        EXPECT_EQ(reply.i16(at), std::stol(field.value));
        break;
      default:  // overrides: set in percent, sent as a fraction
        EXPECT_EQ(reply.f64(at), std::stod(field.value) / 100);
    }
  }
  for (int group = 0; group < 19; ++group) {
    EXPECT_EQ(reply.i8(kData + 32 + group), group - 1) << group;
  }
}

TEST_F(SimMachine, InformationTwoCarriesProgramsCountsAndTimes) {
  sim.Command("set program O0042");
  sim.Command("set current-program O9001");
  sim.Command("set maxparts 250");
  sim.Command("set parts 17");
  sim.Command("set worktime 65000");
  sim.Command("set totaltime 3600000");
  const auto reply = Read(262, 64);
  EXPECT_EQ(reply.text(kData, kData + 13), "O0042");
  EXPECT_EQ(reply.text(kData + 13, kData + 26), "O9001");
  EXPECT_EQ(reply.i32(kData + 26), 250);
  EXPECT_EQ(reply.i32(kData + 30), 17);
  EXPECT_EQ(reply.i32(kData + 34), 65000);
  EXPECT_EQ(reply.i32(kData + 38), 3600000);
}

TEST_F(SimMachine, AlarmReplyCarriesWarningMasksAndAlarmPairs) {
  sim.Command("alarm 3015");
  sim.Command("alarm 12007");
  for (const char* warning : {"9000", "9002", "6001", "2016", "2095"}) {
    sim.Command(std::string("warning ") + warning);
  }
  const auto reply = Read(263, 128);
  EXPECT_EQ(reply.u32(kData + 0), 0x5u);
  EXPECT_EQ(reply.u32(kData + 4), 0x2u);
  const std::uint32_t plcWords[6] = {0, 0x1, 0,
                                     0, 0,   0x8000};  // 2016: word 1 bit 0; 2095: word 5 bit 15
  for (int k = 0; k < 6; ++k) EXPECT_EQ(reply.u32(kData + 8 + 4 * k), plcWords[k]) << k;
  ASSERT_EQ(reply.iParam2(), 2);
  EXPECT_EQ(reply.i32(kData + 32), 3);
  EXPECT_EQ(reply.i32(kData + 36), 15);
  EXPECT_EQ(reply.i32(kData + 40), 12);
  EXPECT_EQ(reply.i32(kData + 44), 7);
  EXPECT_EQ(Get("alarms"), "3015 12007");
  EXPECT_EQ(Get("warnings"), "9000 9002 6001 2016 2095");
  // The PLC warning words are registers 40-45.
  EXPECT_EQ(Get("register 41"), "1");
}

TEST_F(SimMachine, AlarmReplyCarriesNoMorePairsThanFit) {
  for (int i = 1; i <= 12; ++i) sim.Command("alarm " + std::to_string(1000 + i));
  EXPECT_EQ(Read(263, 128).iParam2(), 10);
  EXPECT_EQ(Read(263, 512).iParam2(), 12);
  EXPECT_EQ(ResultOf(Request(352, 0)), kAccepted);  // reset clears them
  EXPECT_EQ(Read(263, 128).iParam2(), 0);
  EXPECT_EQ(Get("alarms"), "");
}

TEST_F(SimMachine, RangeRepliesNameTheirFirstAndLastEntry) {
  struct Case {
    std::int16_t command;
    std::int16_t replyLength;
    std::int16_t first;
    std::int16_t expectedFirst;
    std::int16_t expectedLast;
  };
  const Case cases[] = {
      {270, 416, 1, 1, 100},   {270, 416, 1990, 1990, 2000}, {270, 416, 2001, 0, -1},
      {270, 416, -5, 0, -1},   {267, 416, 0, 0, 49},         {267, 416, 1090, 1090, 1100},
      {267, 416, 1101, 0, -1}, {267, 416, -1, 0, -1},
  };
  sim.Command("param 1 111");
  sim.Command("param 2000 -222");
  sim.Command("var 0 1.5");
  sim.Command("var 1100 -2.25");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.command) + " from " + std::to_string(c.first));
    const auto reply = Read(c.command, c.replyLength, c.first);
    EXPECT_EQ(reply.iParam2(), c.expectedFirst);
    EXPECT_EQ(reply.iParam3(), c.expectedLast);
  }
  EXPECT_EQ(Read(270, 416, 1).i32(kData), 111);
  EXPECT_EQ(Read(270, 416, 1990).i32(kData + 40), -222);
  EXPECT_EQ(Read(267, 416, 0).f64(kData), 1.5);
  EXPECT_EQ(Read(267, 416, 1090).f64(kData + 80), -2.25);
}

TEST_F(SimMachine, MillToolRecordsHoldLengthsTwoAndThreeCrossed) {
  const char* fields[] = {"length1", "length2", "length3", "length4",
                          "length5", "length6", "radius",  "tdc"};
  for (int i = 0; i < 8; ++i) {
    sim.Command("tool 11 " + std::string(fields[i]) + " " + std::to_string(100 + i));
  }
  sim.Command("tool 11 tdc-time 9.5");
  const auto reply = Read(264, 512, 10);
  EXPECT_EQ(reply.iParam1(), 10);
  const int record = kData + 44;  // tool 11
  const std::int32_t expected[8] = {100, 102, 101, 103, 104, 105, 106, 107};
  for (int slot = 0; slot < 8; ++slot) {
    EXPECT_EQ(reply.i32(record + 4 * slot), expected[slot]) << slot;
  }
  EXPECT_EQ(reply.f64(record + 32), 9.5);

  // Tools 95-99 only: nothing follows tool 99.
  sim.Command("tool 99 radius 77");
  const auto tail = Read(264, 512, 95);
  EXPECT_EQ(tail.i32(kData + 4 * 44 + 24), 77);
  for (int off = kData + 5 * 44; off < kPackageSize; ++off) ASSERT_EQ(tail.u8(off), 0) << off;
}

TEST_F(SimMachine, PlcBitRepliesKeepEachLetterApart) {
  const char letters[] = {'I', 'O', 'C', 'S', 'A'};
  for (int k = 0; k < 5; ++k) {
    sim.Command(std::string("plc ") + letters[k] + " " + std::to_string(300 + k) + " 1");
  }
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(letters[k]);
    const auto reply = Read(static_cast<std::int16_t>(288 + k), 512, 300);
    EXPECT_EQ(reply.iParam2(), 300);
    for (int j = 0; j < 5; ++j) EXPECT_EQ(reply.u8(kData + j), j == k ? 1 : 0) << j;
  }
  sim.Command("plc I 511 1");
  const auto last = Read(288, 512, 500);
  EXPECT_EQ(last.u8(kData + 11), 1);
  for (int off = kData + 12; off < kPackageSize; ++off) ASSERT_EQ(last.u8(off), 0) << off;
}

TEST_F(SimMachine, TimersAndCountersCarryTheirPairsInOppositeOrder) {
  sim.Command("timer-now 3 7");
  sim.Command("timer-set 3 70");
  sim.Command("counter-set 3 80");
  sim.Command("counter-now 3 8");
  const auto timers = Read(293, 512, 2);
  EXPECT_EQ(timers.iParam2(), 2);
  EXPECT_EQ(timers.i16(kData + 4), 7);
  EXPECT_EQ(timers.i16(kData + 6), 70);
  const auto counters = Read(294, 512, 2);
  EXPECT_EQ(counters.i16(kData + 4), 80);
  EXPECT_EQ(counters.i16(kData + 6), 8);
}

TEST_F(SimMachine, TextRepliesCarryTheirTexts) {
  struct Case {
    std::int16_t command;
    std::int16_t replyLength;
    std::string expected;
  };
  const Case cases[] = {
      {298, 144, Get("main-path")},    {299, 144, Get("current-path")},
      {300, 144, Get("default-path")}, {301, 144, Get("root-path")},
      {417, 512, "V1.0M-2026.03"},     {419, 512, "C:\\"},
      {420, 512, "C:\\MACHINE\\"},     {424, 512, "C:\\NCFILES\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const auto reply = Read(c.command, c.replyLength);
    EXPECT_EQ(reply.text(kData, c.replyLength), c.expected);
    EXPECT_FALSE(c.expected.empty());
    if (c.command <= 301) {  // a part path says how long it is
      EXPECT_EQ(reply.iParam2(), static_cast<int>(c.expected.size() + 1));
    }
  }
}

TEST_F(SimMachine, HardwareDiskAndStorageReplies) {
  const auto hardware = Read(416, 32);
  EXPECT_EQ(hardware.u16(kData + 4) & 0xF0FF, 0x1001);
  EXPECT_EQ(sim.Command("set hw-checks 16777215"), "ok");
  EXPECT_EQ(sim.Command("set card-code 8193"), "ok");
  EXPECT_EQ(Read(416, 32).u32(kData), 0xFFFFFFu);
  EXPECT_EQ(Read(416, 32).u16(kData + 4), 0x2001);
  EXPECT_EQ(sim.Command("get hw-checks"), "ok 16777215");

  const auto disk = Read(421, 24, 2);
  EXPECT_EQ(disk.iParam1(), 0);
  const int totalClusters = disk.u16(kData), freeClusters = disk.u16(kData + 2);
  EXPECT_GT(totalClusters, 0);
  EXPECT_LE(freeClusters, totalClusters);
  EXPECT_GT(disk.u16(kData + 4) * disk.u16(kData + 6), 0);
  EXPECT_NE(Read(421, 24, 7).iParam1(), 0);

  for (const std::int32_t kind : {11, 12, 13, 99}) {
    auto request = Request(423, 0, 20, 20);
    request.put_i32(kData, kind);
    const auto reply = Exchange(request);
    EXPECT_EQ(reply.i32(kData), kind);
    EXPECT_EQ(reply.iParam1() & 1, 0) << kind;  // a sound machine fails no check
  }
}

TEST_F(SimMachine, IndexesOutsideTheTablesGetRepliesThatNameNothing) {
  struct Case {
    std::int16_t command;
    std::int16_t replyLength;
    std::int16_t first;
    std::int16_t (defPACKAGE::*word)() const;
    std::int16_t expected;
  };
  const Case cases[] = {
      {264, 512, -1, &defPACKAGE::iParam1, 100},  {264, 512, 100, &defPACKAGE::iParam1, 100},
      {265, 64, 33, &defPACKAGE::iParam2, -1},    {265, 64, -1, &defPACKAGE::iParam2, -1},
      {282, 512, 300, &defPACKAGE::iParam2, 0},   {282, 512, -3, &defPACKAGE::iParam2, 0},
      {288, 512, 512, &defPACKAGE::iParam2, 512}, {292, 512, -1, &defPACKAGE::iParam2, 512},
      {293, 512, 256, &defPACKAGE::iParam2, 256}, {294, 512, -1, &defPACKAGE::iParam2, 256},
      {295, 512, 256, &defPACKAGE::iParam1, -1},  {296, 512, -1, &defPACKAGE::iParam1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.command) + " from " + std::to_string(c.first));
    const auto reply = Read(c.command, c.replyLength, c.first);
    EXPECT_EQ((reply.*c.word)(), c.expected);
  }
  auto detail = Request(337, 0, 162);
  detail.set_iParam2(0);
  EXPECT_NE(Exchange(detail).iParam1(), 0);
  detail.set_iParam2(122);
  EXPECT_EQ(Exchange(detail).iParam1(), 0);
}

TEST_F(SimMachine, WritesChangeWhatTheNextReadSees) {
  struct Case {
    const char* what;
    defPACKAGE write;
    std::string item;
    std::string expected;
  };
  auto mainProgram = WithText(353, "C:\\NC\\O5678");
  mainProgram.set_iParam2(6);
  const Case cases[] = {
      {"user parameter", SetParameter(300, 12345, 1, ""), "param 300", "12345"},
      {"maker parameter", SetParameter(301, -5, 2, "1234"), "param 301", "-5"},
      {"super parameter", SetParameter(2000, 7, 9999, "9999"), "param 2000", "7"},
      {"C bit", WithParams(Request(340, 0), 511, 1), "plc C 511", "1"},
      {"A bit", WithParams(Request(342, 0), 0, 1), "plc A 0", "1"},
      {"register", SetRegister(345, 200, -70000), "register 200", "-70000"},
      {"backup register", SetRegister(346, 55, 9), "backup 55", "9"},
      {"global variable", SetVariable(347, 1100, 3.25), "var 1100", "3.25"},
      {"local variable", SetVariable(351, 2, -1.5), "local 2", "-1.5"},
      {"main program", mainProgram, "program", "O5678"},
      {"main program path", mainProgram, "main-path", "C:\\NC\\O5678"},
      {"mill radius", Write(391, 5, 1001, 2.5), "tool 5 radius", "25000"},
      {"mill length 2", Write(391, 5, 1101, 0.05), "tool 5 length2", "500"},
      {"mill length 6", Write(391, 5, 1105, -1), "tool 5 length6", "-10000"},
      {"TDC value", Write(391, 5, 1300, 25), "tool 5 tdc", "25"},
      {"TDC time", Write(391, 5, 1301, 1.5), "tool 5 tdc-time", "1.5"},
      {"lathe type", Write(391, 3, 0, 4), "tool 3 type", "4"},
      {"lathe geometry radius", Write(391, 3, 1, 0.8), "tool 3 geom-r", "8000"},
      {"lathe wear radius", Write(391, 3, 2, 0.02), "tool 3 wear-r", "200"},
      {"lathe geometry Y", Write(391, 3, 101, -12.5), "tool 3 geom-y", "-125000"},
      {"lathe wear Z", Write(391, 3, 202, 0.05), "tool 3 wear-z", "500"},
      {"max part count", WithParams(Request(396, 0), 0, 0xE8, 0x03), "maxparts", "1000"},
      {"part count, low 16 bits", WithParams(Request(397, 0), 0, 0x70, 0x11), "parts", "4464"},
      {"run time reset", Request(398, 0), "totaltime", "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ResultOf(c.write), kAccepted);
    EXPECT_EQ(Get(c.item), c.expected);
  }
}

TEST_F(SimMachine, CoordinateWritesLandInTheirOffsetSet) {
  struct Case {
    std::int32_t code;
    std::int32_t axis;
    double value;
    std::int16_t read;  // 266 work coordinates, 282 extended offsets from set 0
    int offset;         // of the value in that reply's data area
  };
  const Case cases[] = {
      {0, 0, 1.5, 266, 0},      {54000, 1, -2.25, 266, 24 + 4},     {59000, 5, 3.0, 266, 144 + 20},
      {54001, 0, 10.0, 282, 0}, {54020, 2, -0.5, 282, 19 * 24 + 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(ResultOf(Write(394, c.code, c.axis, c.value)), kAccepted);
    const auto reply = Read(c.read, c.read == 266 ? 192 : 512, 0);
    EXPECT_EQ(reply.i32(kData + c.offset), static_cast<std::int32_t>(c.value * 10000));
  }
  // The last extended set is G54 P300, read as set 299.
  EXPECT_EQ(ResultOf(Write(394, 54300, 3, 4.5)), kAccepted);
  const auto last = Read(282, 512, 290);
  EXPECT_EQ(last.iParam1(), 290);
  EXPECT_EQ(last.iParam2(), 10);
  EXPECT_EQ(last.i32(kData + 9 * 24 + 12), 45000);
}

TEST_F(SimMachine, RefusedWritesChangeNothing) {
  struct Case {
    const char* what;
    defPACKAGE write;
    std::int16_t result;
  };
  const Case cases[] = {
      {"maker parameter, wrong password", SetParameter(300, 1, 2, "WRONG"), kWrongPassword},
      {"super parameter, maker password", SetParameter(300, 1, 9999, "1234"), kWrongPassword},
      {"unknown level", SetParameter(300, 1, 3, "1234"), kWrongPassword},
      {"parameter 0", SetParameter(0, 1, 1, ""), kUnknownItem},
      {"parameter 2001", SetParameter(2001, 1, 1, ""), kUnknownItem},
      {"parameter value too large", SetParameter(300, 100'000'000, 1, ""), kOutOfRange},
      {"C bit 512", WithParams(Request(340, 0), 512, 1), kUnknownItem},
      {"A bit value 2", WithParams(Request(342, 0), 3, 2), kOutOfRange},
      {"register 256", SetRegister(345, 256, 1), kUnknownItem},
      {"backup register -1", SetRegister(346, -1, 1), kUnknownItem},
      {"global variable 1101", SetVariable(347, 1101, 1), kUnknownItem},
      {"local variable 50", SetVariable(351, 50, 1), kUnknownItem},
      {"mill tool 100", Write(391, 100, 1001, 1), kUnknownItem},
      {"mill tool 0", Write(391, 0, 1100, 1), kUnknownItem},
      {"lathe tool 33", Write(391, 33, 100, 1), kUnknownItem},
      {"unknown kind", Write(391, 5, 1106, 1), kUnknownItem},
      {"radius too large", Write(391, 5, 1001, 1e6), kOutOfRange},
      {"lathe type beyond a byte", Write(391, 3, 0, 200), kOutOfRange},
      {"coordinate code 53000", Write(394, 53000, 0, 1), kUnknownItem},
      {"extended set 301", Write(394, 54301, 0, 1), kUnknownItem},
      {"axis 6", Write(394, 54000, 6, 1), kAxisOutOfRange},
      {"empty main program", WithText(353, ""), kOutOfRange},
  };
  const std::vector<std::string> items = {"param 300", "plc A 3", "tool 5 radius", "tool 3 type",
                                          "program"};
  std::vector<std::string> before;
  for (const auto& item : items) before.push_back(Get(item));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ResultOf(c.write), c.result);
  }
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(Get(items[i]), before[i]) << items[i];
}

TEST_F(SimMachine, LastGivesTheBytesOfTheLastPackageOfACommandFromEitherPort) {
  auto request = SetParameter(123, 0x01020304, 2, "1234");
  request.set_iIndex(++index);
  client->Exchange(request, kHeaderSize);
  EXPECT_EQ(Value(sim.Command("last 336")), Hex(request, 32));

  // The echo, and a handshake on the other port, count as well.
  const auto echo = WithParams(Request(kCmdEcho, 77), 1888);
  client->Exchange(echo, kHeaderSize);
  EXPECT_EQ(Value(sim.Command("last 271")), Hex(echo, kHeaderSize));
  LoggedIn(sim, kDncCommandPort);
  EXPECT_EQ(Value(sim.Command("last 256")), Hex(HandshakeRequest(2), kPackageSize));
}

TEST_F(SimMachine, CycleRunsAPartAndCountsItAndHoldsStillWhenOff) {
  sim.Command("set mode 1");
  sim.Command("set status 2");
  sim.Command("set feed-override 200");
  const long parts = std::stol(Get("parts"));
  const auto still = Read(257, 128);
  sim.Command("cycle on");
  EXPECT_TRUE(WaitUntil([&] { return Content(Read(257, 128)) != Content(still); }));
  EXPECT_TRUE(WaitUntil([&] { return std::stol(Get("parts")) == parts + 1; }, 20s));
  EXPECT_EQ(Get("status"), "1");  // ready for the next part

  sim.Command("cycle off");
  const auto first = Read(259, 140);
  const auto firstTimes = Read(262, 64);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Content(Read(259, 140)), Content(first));
  EXPECT_EQ(Content(Read(262, 64)), Content(firstTimes));
}

TEST_F(SimMachine, CycleCountsWorkTimeAndMovesTheAxesWhileRunning) {
  sim.Command("set mode 1");
  sim.Command("set status 2");
  sim.Command("set worktime 0");
  const auto before = Read(257, 128);
  sim.Command("cycle on");
  EXPECT_TRUE(WaitUntil([&] {
    return std::stol(Get("worktime")) > 0 && Content(Read(257, 128)) != Content(before) &&
           std::stol(Get("spindle-actual")) > 0;
  }));
}

class SimLathe : public SimMachine {
 protected:
  SimLathe() : SimMachine(Simulator::Options{.login = "502", .lathe = true, .extraArgs = {}}) {}
};

TEST_F(SimLathe, ReportsALatheWithItsTools) {
  EXPECT_EQ(Read(417, 512).u8(kData + 4), 'L');
  const auto tool = Read(265, 64, 3);
  EXPECT_EQ(tool.iParam2(), 3);
  const char* parts[] = {"geom-x", "geom-y", "geom-z", "geom-r",
                         "wear-x", "wear-y", "wear-z", "wear-r"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(std::to_string(tool.i32(kData + 4 * i)), Get(std::string("tool 3 ") + parts[i]))
        << parts[i];
  }
  EXPECT_EQ(std::to_string(tool.i8(kData + 32)), Get("tool 3 type"));
  EXPECT_NE(tool.i32(kData), 0);
  // A lathe has 49 local variables; the reply says so with iParam1 0 (a milling machine: 1, 33 of
  // them).
  EXPECT_EQ(Read(269, 512).iParam1(), 0);
}

TEST_F(SimMachine, MillingMachineHasThirtyThreeLocalVariables) {
  sim.Command("local 32 4.5");
  sim.Command("local 33 5.5");
  const auto reply = Read(269, 512);
  EXPECT_EQ(reply.iParam1(), 1);
  EXPECT_EQ(reply.f64(kData + 8 * 32), 4.5);
  EXPECT_EQ(reply.f64(kData + 8 * 33), 0.0);
  EXPECT_EQ(Read(417, 512).u8(kData + 4), 'M');
}

}  // namespace
}  // namespace vandir::test
