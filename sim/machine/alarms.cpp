#include "sim/machine/alarms.h"

#include <algorithm>

namespace vandir::sim {

namespace {

constexpr long kNcWarnings = 9000;
constexpr long kServoWarnings = 6000;
constexpr long kPlcWarnings = 2000;
constexpr int kWordBits = 32;
constexpr int kPlcWarningStride = 16;

Alarm AlarmOf(long code) {
  return {static_cast<std::int32_t>(code / kAlarmsPerGroup),
          static_cast<std::int32_t>(code % kAlarmsPerGroup)};
}

// Works on the signed registers as well as on the unsigned warning words.
template <typename Word>
void SetBit(Word& word, long bit, bool on) {
  const auto bits = static_cast<std::uint32_t>(word);
  const auto mask = std::uint32_t{1} << bit;
  word = static_cast<Word>(on ? bits | mask : bits & ~mask);
}

void AppendSetBits(std::vector<long>& numbers, std::uint32_t word, long first) {
  for (int bit = 0; bit < kWordBits; ++bit) {
    if (word & (std::uint32_t{1} << bit)) numbers.push_back(first + bit);
  }
}

}  // namespace

bool RaiseAlarm(MachineState& machine, long code) {
  if (code < 1 || code > kLastAlarmCode) return false;
  const Alarm alarm = AlarmOf(code);
  if (std::ranges::find(machine.alarms, alarm) != machine.alarms.end()) return true;
  if (machine.alarms.size() >= kMaxAlarms) return false;
  machine.alarms.push_back(alarm);
  return true;
}

void ClearAlarm(MachineState& machine, long code) { std::erase(machine.alarms, AlarmOf(code)); }

std::vector<long> AlarmCodes(const MachineState& machine) {
  std::vector<long> codes;
  for (const auto& alarm : machine.alarms) {
    codes.push_back(alarm.group * kAlarmsPerGroup + alarm.number);
  }
  return codes;
}

bool SetWarning(MachineState& machine, long number, bool on) {
  if (number >= kNcWarnings && number < kNcWarnings + kWordBits) {
    SetBit(machine.warnings9000, number - kNcWarnings, on);
  } else if (number >= kServoWarnings && number < kServoWarnings + kWordBits) {
    SetBit(machine.warnings6000, number - kServoWarnings, on);
  } else if (number >= kPlcWarnings && number < kPlcWarnings + kPlcWarningStride * kWarningWords) {
    const long offset = number - kPlcWarnings;
    SetBit(machine.registers[kWarningRegister + offset / kPlcWarningStride],
           offset % kPlcWarningStride, on);
  } else {
    return false;
  }
  return true;
}

void ClearWarnings(MachineState& machine) {
  machine.warnings9000 = 0;
  machine.warnings6000 = 0;
  for (int k = 0; k < kWarningWords; ++k) machine.registers[kWarningRegister + k] = 0;
}

std::vector<long> WarningNumbers(const MachineState& machine) {
  std::vector<long> numbers;
  AppendSetBits(numbers, machine.warnings9000, kNcWarnings);
  AppendSetBits(numbers, machine.warnings6000, kServoWarnings);
  for (int k = 0; k < kWarningWords; ++k) {
    AppendSetBits(numbers, static_cast<std::uint32_t>(machine.registers[kWarningRegister + k]),
                  kPlcWarnings + kPlcWarningStride * k);
  }
  return numbers;
}

}  // namespace vandir::sim
