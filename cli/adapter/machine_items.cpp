#include "cli/adapter/machine_items.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cli/cached_reads.h"
#include "cli/output.h"
#include "link/spindle_reads.h"
#include "text/screen_text.h"

namespace talvo::cli::adapter {

namespace {

using vandir::TVandirCNC;

std::vector<std::int32_t> ReadNumbers(TVandirCNC& link,
                                      int (TVandirCNC::*get)(std::int16_t*, std::int32_t*, int*)) {
  std::int16_t count = 0;
  std::int32_t numbers[vandir::kAlarmSlots] = {};
  int changed = 0;
  (link.*get)(&count, numbers, &changed);
  const auto kept = std::clamp<std::int16_t>(count, 0, vandir::kAlarmSlots);
  return std::vector<std::int32_t>(numbers, numbers + kept);
}

constexpr std::string_view kExecutions[] = {"STOPPED", "READY", "ACTIVE", "FEED_HOLD",
                                            "INTERRUPTED"};
constexpr std::string_view kControllerModes[] = {"EDIT",   "AUTOMATIC", "MANUAL_DATA_INPUT",
                                                 "MANUAL", "MANUAL",    "MANUAL"};
// By place, not by letter: the letters of axes 4 to 6 are the controller's to choose, and
// the keys stay the same whatever it chose, so one device file fits the controller's life.
constexpr const char* kAxisNames[vandir::kAxes] = {"x", "y", "z", "axis4", "axis5", "axis6"};
// The modal group that holds G20 (inch) or G21 (metric).
constexpr int kUnitGroup = 6;
constexpr int kInchCode = 20;
constexpr std::int64_t kMillimetresPerTenInches = 254;

template <std::size_t N>
std::string_view Lookup(const std::string_view (&names)[N], std::int16_t number) {
  if (number < 0 || static_cast<std::size_t>(number) >= N) return kUnavailable;
  return names[number];
}

// The controller counts feeds in 0.0001 mm (or inch) per minute; MTConnect wants mm per second.
std::string FeedPerSecond(std::int32_t feed, bool inch) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", feed / 600000.0 * (inch ? 25.4 : 1.0));
  return text;
}

// MTConnect lengths are millimetres whatever the controller works in.
std::string Length(std::int32_t value, bool inch) {
  if (!inch) return TenThousandths(value);
  // In tenths of 0.0001 mm, rounded to the nearest 0.0001 mm.
  const std::int64_t tenths = value * kMillimetresPerTenInches;
  return TenThousandths((tenths + (tenths < 0 ? -5 : 5)) / 10);
}

std::vector<Condition> Conditions(const std::vector<std::int32_t>& numbers,
                                  const DisplayTexts& texts, std::int32_t (*shown)(std::int32_t)) {
  std::vector<Condition> conditions;
  for (const std::int32_t number : numbers) {
    const std::int32_t code = shown(number);
    const auto text = texts.find(code);
    conditions.push_back({code, text == texts.end() ? std::string() : text->second});
  }
  return conditions;
}

}  // namespace

MachineState ReadMachineState(TVandirCNC& link) {
  MachineState state;
  state.mode = Read(link, &TVandirCNC::GetMode);
  state.status = Read(link, &TVandirCNC::GetStstus);
  state.mainProgram = Read(link, &TVandirCNC::GetMainPart);
  state.currentProgram = Read(link, &TVandirCNC::GetCurrentPart);
  state.blockNumber = Read(link, &TVandirCNC::GetCode_N);
  state.blockLine = Read(link, &TVandirCNC::GetBlockLineNumber);
  state.feedCommand = Read(link, &TVandirCNC::GetCommandFeedRate);
  state.feedActual = Read(link, &TVandirCNC::GetActualFeedRate);
  state.feedOverride = Read(link, &TVandirCNC::GetFeedRatePercentage);
  for (std::size_t i = 0; i < state.spindles.size(); ++i) {
    state.spindles[i].command = Read(link, vandir::kSpindleReads[i].command);
    state.spindles[i].actual = Read(link, vandir::kSpindleReads[i].actual);
    state.spindles[i].override = Read(link, vandir::kSpindleReads[i].override);
  }
  state.tool = Read(link, &TVandirCNC::GetCode_T);
  state.parts = Read(link, &TVandirCNC::GetNowWorkPiece);
  state.partsRequired = Read(link, &TVandirCNC::GetMaxWorkPiece);
  state.machinePosition = ReadAxes(link, &TVandirCNC::GetMachinePos);
  state.workPosition = ReadAxes(link, &TVandirCNC::GetAbsolutePos);
  int unitCode = 0;
  int changed = 0;
  link.GetActiveG_OfGroup(kUnitGroup, 1, &unitCode, &changed);
  state.inch = unitCode == kInchCode;
  state.alarms = ReadNumbers(link, &TVandirCNC::GetAlarm);
  state.warnings = ReadNumbers(link, &TVandirCNC::GetWarning);
  return state;
}

Snapshot SnapshotOf(const MachineState& state, const DisplayTexts& texts,
                    const ControllerSetup& setup, std::chrono::system_clock::time_point time) {
  Snapshot snapshot{time, true, {}, {}, {}};
  const int language = TextLanguage(setup);
  auto add = [&](std::string key, std::string value) {
    snapshot.samples.push_back({std::move(key), std::move(value)});
  };
  add("avail", "AVAILABLE");
  add("execution", std::string(ExecutionOf(state.status)));
  add("mode", std::string(ControllerModeOf(state.mode)));
  add("program", text::ControllerBytesToUtf8(language, state.mainProgram));
  add("active_program", text::ControllerBytesToUtf8(language, state.currentProgram));
  add("block", "N" + std::to_string(state.blockNumber));
  add("line", std::to_string(state.blockLine));
  add("path_feedrate", FeedPerSecond(state.feedActual, state.inch));
  add("path_feedrate_cmd", FeedPerSecond(state.feedCommand, state.inch));
  add("feed_ovr", PercentOfFraction(state.feedOverride));
  for (std::size_t i = 0; i < state.spindles.size(); ++i) {
    const std::string spindle = "s" + std::to_string(i + 1);
    add(spindle + "_speed", std::to_string(state.spindles[i].actual));
    add(spindle + "_speed_cmd", std::to_string(state.spindles[i].command));
    add(spindle + "_ovr", PercentOfFraction(state.spindles[i].override));
  }
  add("tool", std::to_string(state.tool));
  add("part_count", std::to_string(state.parts));
  add("part_count_target", std::to_string(state.partsRequired));
  for (std::size_t axis = 0; axis < vandir::kAxes; ++axis) {
    const bool rotary = axis >= 3 && IsRotaryAxis(setup.axisParameters[axis - 3]);
    const auto value = [&](std::int32_t v) { return rotary ? TenThousandths(v) : Length(v, state.inch); };
    add(std::string(kAxisNames[axis]) + "_machine", value(state.machinePosition[axis]));
    add(std::string(kAxisNames[axis]) + "_work", value(state.workPosition[axis]));
  }
  snapshot.alarms = Conditions(state.alarms, texts, [](std::int32_t n) { return n; });
  snapshot.warnings = Conditions(state.warnings, texts, DisplayedWarning);
  return snapshot;
}

Snapshot UnavailableSnapshot(std::chrono::system_clock::time_point time) {
  Snapshot snapshot = SnapshotOf(MachineState{}, {}, ControllerSetup{}, time);
  snapshot.available = false;
  for (Sample& sample : snapshot.samples) sample.value = kUnavailable;
  snapshot.alarms.clear();
  snapshot.warnings.clear();
  return snapshot;
}

std::string_view ExecutionOf(std::int16_t status) { return Lookup(kExecutions, status); }

std::string_view ControllerModeOf(std::int16_t mode) { return Lookup(kControllerModes, mode); }

std::int32_t DisplayedWarning(std::int32_t warning) {
  return warning >= 2000 && warning < 2999 ? warning + 1 : warning;
}

std::string TenThousandths(std::int64_t value) {
  const std::int64_t magnitude = std::llabs(value);
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld.%04lld", value < 0 ? "-" : "",
                static_cast<long long>(magnitude / 10000), static_cast<long long>(magnitude % 10000));
  return text;
}

}  // namespace talvo::cli::adapter
