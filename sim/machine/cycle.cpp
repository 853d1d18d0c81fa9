#include "sim/machine/cycle.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "sim/machine/alarms.h"

namespace vandir::sim {

namespace {

struct Block {
  std::int32_t n;
  bool rapid;
  double feed;  // mm/min; a cutting block without motion dwells instead
  std::int16_t mCode;
  std::array<double, kAxes> target;  // mm, degrees for the rotary axes
};

constexpr double kRapidMmPerMin = 12000;
constexpr std::int64_t kDwellMs = 500;
constexpr std::int64_t kLoadingMs = 6000;
constexpr long kWarningEvery = 3;
constexpr long kAlarmEvery = 4;
constexpr int kFirstBlockLine = 2;  // line 1 holds the program number
constexpr std::int16_t kEndOfProgram = 30;
constexpr std::int32_t kMillSpindleRpm = 3000;
constexpr std::int32_t kLatheSpindleRpm = 1200;
constexpr std::int8_t kRapidMotion = 0;
constexpr std::int8_t kFeedMotion = 1;
constexpr int kMotionGroup = 1;

// A pocket outline, then the fourth axis indexes a quarter turn and back.
constexpr Block kMillProgram[] = {
    {10, true, 0, 3, {0, 0, 50, 0, 0, 0}},
    {20, true, 0, 8, {0, 0, 5, 0, 0, 0}},
    {30, false, 600, 8, {0, 0, -5, 0, 0, 0}},
    {40, false, 2400, 8, {80, 0, -5, 0, 0, 0}},
    {50, false, 2400, 8, {80, 60, -5, 0, 0, 0}},
    {60, false, 2400, 8, {0, 60, -5, 0, 0, 0}},
    {70, false, 2400, 8, {0, 0, -5, 0, 0, 0}},
    {80, true, 0, 9, {0, 0, 50, 90, 0, 0}},
    {90, true, 0, 9, {0, 0, 50, 0, 0, 0}},
    {100, false, 0, kEndOfProgram, {0, 0, 50, 0, 0, 0}},
};

// A turned shoulder: X is the diameter.
constexpr Block kLatheProgram[] = {
    {10, true, 0, 3, {100, 0, 5, 0, 0, 0}},
    {20, true, 0, 8, {60, 0, 2, 0, 0, 0}},
    {30, false, 600, 8, {60, 0, -40, 0, 0, 0}},
    {40, false, 600, 8, {80, 0, -40, 0, 0, 0}},
    {50, false, 600, 8, {80, 0, -60, 0, 0, 0}},
    {60, true, 0, 9, {100, 0, 5, 0, 0, 0}},
    {70, false, 0, kEndOfProgram, {100, 0, 5, 0, 0, 0}},
};

std::span<const Block> Program(const MachineState& m) {
  return m.lathe ? std::span<const Block>(kLatheProgram) : std::span<const Block>(kMillProgram);
}

// A block starts where the one before it ends; the first where the last ends.
const std::array<double, kAxes>& StartOf(std::span<const Block> program, int block) {
  return program[block == 0 ? program.size() - 1 : static_cast<std::size_t>(block - 1)].target;
}

double Length(std::span<const Block> program, int block) {
  const auto& from = StartOf(program, block);
  const auto& to = program[static_cast<std::size_t>(block)].target;
  double squares = 0;
  for (int axis = 0; axis < kAxes; ++axis) {
    squares += (to[axis] - from[axis]) * (to[axis] - from[axis]);
  }
  return std::sqrt(squares);
}

double FeedOf(const Block& block) { return block.rapid ? kRapidMmPerMin : block.feed; }

std::int64_t DurationMs(std::span<const Block> program, int block) {
  const double length = Length(program, block);
  const double feed = FeedOf(program[static_cast<std::size_t>(block)]);
  if (length == 0 || feed == 0) return kDwellMs;
  return std::max<std::int64_t>(1, std::llround(length / feed * 60'000));
}

std::int32_t Increments(double mm) {
  return static_cast<std::int32_t>(std::lround(mm * kIncrementsPerMm));
}

std::int32_t Scaled(std::int32_t value, double percent) {
  return static_cast<std::int32_t>(std::lround(value * percent / 100.0));
}

// Positions, feed, spindle and codes of the machine standing in the current block.
void Show(MachineState& m, bool moving) {
  const auto program = Program(m);
  const int index = m.cycle.block;
  const Block& block = program[static_cast<std::size_t>(index)];
  const auto& start = StartOf(program, index);
  const double done = std::clamp(
      static_cast<double>(m.cycle.blockMs) / static_cast<double>(DurationMs(program, index)), 0.0,
      1.0);
  for (int axis = 0; axis < kAxes; ++axis) {
    const std::int32_t absolute =
        Increments(start[axis] + (block.target[axis] - start[axis]) * done);
    m.position.absolute[axis] = absolute;
    m.position.relative[axis] = absolute;
    m.position.toGo[axis] = Increments(block.target[axis]) - absolute;
    m.position.machine[axis] = absolute + m.workOffsets[0][axis] + m.coordinateBase[axis];
  }
  const bool cutting = moving && Length(program, index) > 0;
  m.commandFeed = Increments(FeedOf(block));
  m.actualFeed = cutting ? Scaled(m.commandFeed, m.feedOverride) : 0;
  m.gCodes[kMotionGroup] = block.rapid ? kRapidMotion : kFeedMotion;
  m.mCodes[0] = block.mCode;
  m.nNumber = block.n;
  m.blockLine = index + kFirstBlockLine;

  auto& spindle = m.spindles[0];
  spindle.command = m.lathe ? kLatheSpindleRpm : kMillSpindleRpm;
  // A spindle under load never holds its speed exactly.
  const auto ripple = static_cast<std::int32_t>(m.cycle.blockMs / 100 % 5) - 2;
  spindle.actual = moving && block.mCode != kEndOfProgram
                       ? Scaled(spindle.command, spindle.override) + ripple
                       : 0;
}

void StartPart(MachineState& m) {
  m.status = kRunning;
  m.workTimeMs = 0;
  m.cycle.block = 0;
  m.cycle.blockMs = 0;
  if ((m.cycle.completed + 1) % kWarningEvery == 0) SetWarning(m, kLubricationWarning, true);
  Show(m, true);
}

void FinishPart(MachineState& m) {
  ++m.parts;
  ++m.cycle.completed;
  SetWarning(m, kLubricationWarning, false);
  m.status = kReady;
  m.cycle.pauseMs = 0;
  if (m.cycle.completed % kAlarmEvery == 0 && RaiseAlarm(m, kDoorAlarm)) m.status = kAlarmStop;
  RewindProgram(m);
}

void Cut(MachineState& m, std::int64_t stepMs) {
  m.workTimeMs += static_cast<std::int32_t>(stepMs);
  m.totalTimeMs += static_cast<std::int32_t>(stepMs);
  const auto program = Program(m);
  m.cycle.blockMs += std::llround(static_cast<double>(stepMs) * m.feedOverride / 100.0);
  while (m.cycle.blockMs >= DurationMs(program, m.cycle.block)) {
    m.cycle.blockMs -= DurationMs(program, m.cycle.block);
    if (++m.cycle.block == static_cast<int>(program.size())) {
      FinishPart(m);
      return;
    }
  }
  Show(m, true);
}

void Pause(MachineState& m, std::int64_t stepMs) {
  m.cycle.pauseMs += stepMs;
  if (m.cycle.pauseMs < kLoadingMs) return;
  ClearAlarm(m, kDoorAlarm);
  StartPart(m);
}

// An alarm stop that only the cycle's own alarm holds (or nothing any more) ends with
// the pause; any other alarm waits for a reset.
bool OnlyDoorAlarm(const MachineState& m) {
  return std::ranges::all_of(AlarmCodes(m), [](long code) { return code == kDoorAlarm; });
}

}  // namespace

void AdvanceCycle(MachineState& machine, std::int64_t stepMs) {
  if (!machine.cycle.on || machine.mode != kModeAuto) return;
  switch (machine.status) {
    case kRunning:
      Cut(machine, stepMs);
      break;
    case kReady:
      Pause(machine, stepMs);
      break;
    case kAlarmStop:
      if (OnlyDoorAlarm(machine)) Pause(machine, stepMs);
      break;
    default:
      break;
  }
}

void RewindProgram(MachineState& machine) {
  machine.cycle.block = 0;
  machine.cycle.blockMs = 0;
  Show(machine, false);
}

}  // namespace vandir::sim
