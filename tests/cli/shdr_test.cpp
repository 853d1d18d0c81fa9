// The adapter's text work without sockets: the items it derives from the controller's
// numbers, the SHDR lines it makes of them, and the controller's texts it reads.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli/adapter/controller_texts.h"
#include "cli/adapter/machine_items.h"
#include "cli/adapter/shdr.h"
#include "text/interface_language.h"

namespace talvo::cli::adapter {
namespace {

using namespace std::chrono_literals;
using std::chrono::system_clock;

// 2025-01-01T13:45:58.123Z
const system_clock::time_point kTime = system_clock::time_point(1735739158123ms);
const std::string kStamp = "2025-01-01T13:45:58.123Z";

TEST(ShdrTimestamp, IsUtcWithMilliseconds) {
  EXPECT_EQ(ShdrTimestamp(kTime), kStamp);
  EXPECT_EQ(ShdrTimestamp(system_clock::time_point(1735739158000ms + 7ms)),
            "2025-01-01T13:45:58.007Z");
  // Sub-millisecond parts are cut, never rounded up into the next second.
  EXPECT_EQ(ShdrTimestamp(system_clock::time_point(1735739158999999us)),
            "2025-01-01T13:45:58.999Z");
}

struct NumberMapping {
  std::int16_t number;
  std::string_view execution;
  std::string_view mode;
};

TEST(MachineItems, ExecutionAndControllerModeFollowTheControllersNumbers) {
  const NumberMapping table[] = {
      {0, "STOPPED", "EDIT"},         {1, "READY", "AUTOMATIC"},
      {2, "ACTIVE", "MANUAL_DATA_INPUT"}, {3, "FEED_HOLD", "MANUAL"},
      {4, "INTERRUPTED", "MANUAL"},   {5, "UNAVAILABLE", "MANUAL"},
      {6, "UNAVAILABLE", "UNAVAILABLE"}, {-1, "UNAVAILABLE", "UNAVAILABLE"},
  };
  for (const NumberMapping& row : table) {
    EXPECT_EQ(ExecutionOf(row.number), row.execution) << row.number;
    EXPECT_EQ(ControllerModeOf(row.number), row.mode) << row.number;
  }
}

TEST(MachineItems, LengthsAreExactMillimetres) {
  const std::pair<std::int32_t, std::string> table[] = {
      {0, "0.0000"},          {5, "0.0005"},         {-5, "-0.0005"},
      {123456, "12.3456"},    {-2495000, "-249.5000"},
      {2147483647, "214748.3647"}, {-2147483647 - 1, "-214748.3648"},
  };
  for (const auto& [value, text] : table) EXPECT_EQ(TenThousandths(value), text) << value;
}

TEST(MachineItems, PlcWarningsShowAsTheScreenCountsThem) {
  const std::pair<std::int32_t, std::int32_t> table[] = {
      {1999, 1999}, {2000, 2001}, {2003, 2004}, {2998, 2999}, {2999, 2999}, {9000, 9000}};
  for (const auto& [warning, shown] : table) EXPECT_EQ(DisplayedWarning(warning), shown);
}

MachineState Running() {
  MachineState state;
  state.mode = 1;
  state.status = 2;
  state.mainProgram = "O1234";
  state.currentProgram = "O9|01";  // a separator in a controller text
  state.blockNumber = 40;
  state.blockLine = 7;
  state.feedActual = 6000000;  // 600 mm/min
  state.feedCommand = 12000000;
  state.feedOverride = 0.955;
  state.spindles[0] = {3000, 2990, 1.2};
  state.tool = 5;
  state.parts = 12;
  state.partsRequired = 500;
  state.machinePosition = {-2495000, 1, 0, 900000, 0, 0};
  state.workPosition = {0, 0, 500000, 0, 0, -1};
  state.alarms = {3015};
  state.warnings = {2003};
  return state;
}

TEST(MachineItems, SnapshotCarriesEveryItemInAgentUnits) {
  const Snapshot snapshot =
      SnapshotOf(Running(), {{3015, "DOOR OPEN"}, {2004, "OIL LOW"}}, ControllerSetup{}, kTime);
  std::map<std::string, std::string> values;
  for (const auto& [key, value] : snapshot.samples) values[key] = value;
  EXPECT_EQ(snapshot.samples.size(), 3u + 4 + 3 + 3 * 3 + 3 + 12);
  const std::map<std::string, std::string> expected = {
      {"avail", "AVAILABLE"}, {"execution", "ACTIVE"}, {"mode", "AUTOMATIC"},
      {"program", "O1234"}, {"active_program", "O9|01"}, {"block", "N40"}, {"line", "7"},
      {"path_feedrate", "10.0000"}, {"path_feedrate_cmd", "20.0000"}, {"feed_ovr", "95.5"},
      {"s1_speed", "2990"}, {"s1_speed_cmd", "3000"}, {"s1_ovr", "120"}, {"s2_ovr", "0"},
      {"tool", "5"}, {"part_count", "12"}, {"part_count_target", "500"},
      {"x_machine", "-249.5000"}, {"y_machine", "0.0001"}, {"axis4_machine", "90.0000"},
      {"z_work", "50.0000"}, {"axis6_work", "-0.0001"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(values[key], value) << key;
  EXPECT_EQ(snapshot.alarms, (std::vector<Condition>{{3015, "DOOR OPEN"}}));
  EXPECT_EQ(snapshot.warnings, (std::vector<Condition>{{2004, "OIL LOW"}}));
}

std::map<std::string, std::string> ValuesOf(const Snapshot& snapshot) {
  std::map<std::string, std::string> values;
  for (const auto& [key, value] : snapshot.samples) values[key] = value;
  return values;
}

struct SetupCase {
  const char* name;
  ControllerSetup setup;
  bool inch;
  std::map<std::string, std::string> expected;
};

// Axes 4-6 turn or move by the letters the key parameters give them; lengths are always
// millimetres, so while G20 holds they are converted, rotary axes never; the program names
// come in the code page of the controller's screen language.
TEST(MachineItems, KeyParametersAndUnitSystemShapeTheValues) {
  MachineState state = Running();
  state.machinePosition = {10000, -1, 3, 10000, 900000, 10000};
  state.feedActual = 6000000;  // 600 per minute
  state.mainProgram = "\xb4\xfa\xb8\xd5";  // "測試" in Big5
  state.currentProgram = "caf\xe9";
  const SetupCase cases[] = {
      {"the controller's default letters, metric", {{0, 1, 2}, 0}, false,
       {{"x_machine", "1.0000"}, {"y_machine", "-0.0001"}, {"axis4_machine", "1.0000"},
        {"axis5_machine", "90.0000"}, {"path_feedrate", "10.0000"},
        {"active_program", "caf\xc3\xa9"}}},
      {"U, B and an unnamed axis, in inches", {{3, 1, 9}, 0}, true,
       {{"x_machine", "25.4000"}, {"y_machine", "-0.0025"}, {"z_machine", "0.0076"},
        {"axis4_machine", "25.4000"}, {"axis5_machine", "90.0000"}, {"axis6_machine", "25.4000"},
        {"path_feedrate", "254.0000"}}},
      {"A, B, C in inches stay degrees", {{0, 1, 2}, 0}, true,
       {{"axis4_machine", "1.0000"}, {"axis6_machine", "1.0000"}, {"x_machine", "25.4000"}}},
      {"traditional Chinese screen: Big5", {{0, 1, 2}, 1}, false,
       {{"program", "\xe6\xb8\xac\xe8\xa9\xa6"}}},
      {"simplified Chinese screen: the same bytes read as GB2312", {{0, 1, 2}, 2}, false,
       {{"program", "\xe4\xbb\xa3\xe5\x88\x9a"}}},
  };
  for (const SetupCase& c : cases) {
    state.inch = c.inch;
    const auto values = ValuesOf(SnapshotOf(state, {}, c.setup, kTime));
    for (const auto& [key, value] : c.expected) EXPECT_EQ(values.at(key), value) << c.name << ": " << key;
  }
}

TEST(ControllerSetup, LettersAndCodePagesFollowTheKeyParameters) {
  const std::pair<int, std::string> letters[] = {{-1, ""}, {0, "A"}, {1, "B"}, {2, "C"},
                                                 {3, "U"}, {4, "V"}, {5, "W"}, {6, ""}};
  for (const auto& [parameter, letter] : letters) {
    EXPECT_EQ(AxisLetter(parameter), letter) << parameter;
    EXPECT_EQ(IsRotaryAxis(parameter), parameter >= 0 && parameter <= 2) << parameter;
  }
  const std::pair<int, int> languages[] = {{0, text::kEnglish}, {1, text::kTraditionalChinese},
                                           {2, text::kSimplifiedChinese}, {3, text::kEnglish},
                                           {-1, text::kEnglish}};
  for (const auto& [parameter, language] : languages)
    EXPECT_EQ(TextLanguage(ControllerSetup{{0, 1, 2}, parameter}), language) << parameter;
}

TEST(MachineItems, UnavailableSnapshotHasTheSameKeysAllUnavailable) {
  const Snapshot live = SnapshotOf(Running(), {}, ControllerSetup{}, kTime);
  const Snapshot lost = UnavailableSnapshot(kTime);
  ASSERT_EQ(lost.samples.size(), live.samples.size());
  for (std::size_t i = 0; i < lost.samples.size(); ++i) {
    EXPECT_EQ(lost.samples[i].key, live.samples[i].key);
    EXPECT_EQ(lost.samples[i].value, "UNAVAILABLE");
  }
  EXPECT_FALSE(lost.available);
}

Snapshot Make(bool available, std::vector<Sample> samples, std::vector<Condition> alarms = {},
              std::vector<Condition> warnings = {}) {
  return Snapshot{kTime, available, std::move(samples), std::move(alarms), std::move(warnings)};
}

TEST(ShdrLines, FullDumpHasEveryValueAndEveryConditionState) {
  EXPECT_EQ(FullDump(Make(true, {{"avail", "AVAILABLE"}, {"program", "O1"}})),
            kStamp + "|avail|AVAILABLE|program|O1\n" +  //
                kStamp + "|alarm|NORMAL||||\n" +        //
                kStamp + "|warning|NORMAL||||\n");
  EXPECT_EQ(FullDump(Make(true, {{"avail", "AVAILABLE"}}, {{3015, "DOOR|OPEN"}, {1012, ""}},
                          {{2004, "OIL LOW"}})),
            kStamp + "|avail|AVAILABLE\n" +                //
                kStamp + "|alarm|FAULT|3015|||DOOR OPEN\n" +  //
                kStamp + "|alarm|FAULT|1012|||\n" +        //
                kStamp + "|warning|WARNING|2004|||OIL LOW\n");
  EXPECT_EQ(FullDump(Make(false, {{"avail", "UNAVAILABLE"}})),
            kStamp + "|avail|UNAVAILABLE\n" +          //
                kStamp + "|alarm|UNAVAILABLE||||\n" +  //
                kStamp + "|warning|UNAVAILABLE||||\n");
}

struct ChangeCase {
  const char* name;
  Snapshot before;
  Snapshot after;
  std::string lines;  // without the timestamps
};

std::string WithoutStamps(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    EXPECT_TRUE(line.starts_with(kStamp)) << line;
    out += line.substr(kStamp.size()) + "\n";
    start = end + 1;
  }
  return out;
}

TEST(ShdrLines, ChangesCarryOnlyWhatDiffers) {
  const std::vector<Sample> base = {{"avail", "AVAILABLE"}, {"a", "1"}, {"b", "2"}};
  const std::vector<Sample> bChanged = {{"avail", "AVAILABLE"}, {"a", "1"}, {"b", "3"}};
  const std::vector<Sample> lost = {{"avail", "UNAVAILABLE"}, {"a", "UNAVAILABLE"},
                                    {"b", "UNAVAILABLE"}};
  const ChangeCase cases[] = {
      {"nothing changed", Make(true, base, {{1, "x"}}), Make(true, base, {{1, "x"}}), ""},
      {"one value", Make(true, base), Make(true, bChanged), "|b|3\n"},
      {"alarm raised", Make(true, base), Make(true, base, {{3015, "DOOR"}}),
       "|alarm|FAULT|3015|||DOOR\n"},
      {"second alarm raised", Make(true, base, {{1, "x"}}),
       Make(true, base, {{1, "x"}, {2, "y"}}), "|alarm|FAULT|2|||y\n"},
      {"one of two cleared", Make(true, base, {{1, "x"}, {2, "y"}}),
       Make(true, base, {{2, "y"}}), "|alarm|NORMAL|1|||\n"},
      {"last one cleared", Make(true, base, {}, {{2004, "w"}}), Make(true, base),
       "|warning|NORMAL||||\n"},
      {"text of an active alarm changed", Make(true, base, {{1, "x"}}),
       Make(true, base, {{1, "z"}}), "|alarm|FAULT|1|||z\n"},
      {"controller lost", Make(true, base, {{1, "x"}}), Make(false, lost),
       "|avail|UNAVAILABLE|a|UNAVAILABLE|b|UNAVAILABLE\n|alarm|UNAVAILABLE||||\n"
       "|warning|UNAVAILABLE||||\n"},
      {"still lost", Make(false, lost), Make(false, lost), ""},
      {"controller back", Make(false, lost), Make(true, base, {{1, "x"}}),
       "|avail|AVAILABLE|a|1|b|2\n|alarm|FAULT|1|||x\n|warning|NORMAL||||\n"},
  };
  for (const ChangeCase& c : cases)
    EXPECT_EQ(WithoutStamps(Changes(c.before, c.after)), c.lines) << c.name;
}

// An agent ignores keys its device file does not declare, and mixes up two items of one name.
TEST(DevicesFile, DeclaresEveryKeyTheAdapterSendsOnce) {
  std::ifstream file(TALVO_DEVICES_XML);
  const std::string devices((std::istreambuf_iterator<char>(file)), {});
  ASSERT_FALSE(devices.empty());
  std::vector<std::string> keys = {std::string(kAlarmItem), std::string(kWarningItem)};
  for (const Sample& sample : UnavailableSnapshot(kTime).samples) keys.push_back(sample.key);
  for (const std::string& key : keys) {
    const std::string name = "name=\"" + key + "\"";
    const auto first = devices.find(name);
    EXPECT_NE(first, std::string::npos) << key;
    EXPECT_EQ(devices.find(name, first + 1), std::string::npos) << key;
  }
  EXPECT_NE(devices.find("deviceModelChangeTime=\""), std::string::npos);
}

TEST(ShdrLines, PongTellsTheHeartbeat) { EXPECT_EQ(Pong(10s), "* PONG 10000\n"); }

// Read as the program reads its display-string file: one section, numbered keys, trimmed
// texts, the first of a number given twice (the PLC texts come before the user strings).
TEST(DisplayTexts, OnlyNumberedEntriesOfTheTextSectionCount) {
  const DisplayTexts texts = ParseDisplayTexts({
      "1=before any section",
      "[HMISTRINGTABLE]",
      "3015=DOOR OPEN",
      "  2004 =  OIL LOW  ",
      "; 7=a comment",
      "# 8=a comment",
      "NAME=not a number",
      "12x=not a number either",
      "no equals sign",
      "3015=DOOR OPEN AGAIN",
      "-5=negative",
      "9=",
      "[Other]",
      "10=another section",
      "[ hmiStringTable ]",
      "11=the section again, any case",
      "12=caf\xe9",
  });
  const DisplayTexts expected = {{3015, "DOOR OPEN"}, {2004, "OIL LOW"}, {-5, "negative"},
                                 {9, ""}, {11, "the section again, any case"},
                                 {12, "caf\xc3\xa9"}};
  EXPECT_EQ(texts, expected);
}

}  // namespace
}  // namespace talvo::cli::adapter
