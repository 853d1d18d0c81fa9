#include <algorithm>

#include "sim/machine/read_replies.h"
#include "sim/wire/reply_data.h"

namespace vandir::sim {

namespace {

constexpr std::int16_t kCmdPosition = 257;
constexpr std::int16_t kCmdStatusMode = 258;
constexpr std::int16_t kCmdInformation1 = 259;
constexpr std::int16_t kCmdSystemInfo = 261;
constexpr std::int16_t kCmdInformation2 = 262;
constexpr std::int16_t kCmdAlarmsWarnings = 263;
constexpr std::int16_t kCmdHandlePulses = 272;

constexpr int kProgramNameField = 13;

// The machine keeps its overrides in percent; the controller sends them as fractions.
double Fraction(double percent) { return percent / 100.0; }
constexpr int kAlarmPairs = kData + 32;
constexpr int kAlarmPairSize = 8;

void Position(const MachineState& m, defPACKAGE& reply) {
  PutAxes(reply, kData + 0, m.position.machine);
  PutAxes(reply, kData + 24, m.position.absolute);
  PutAxes(reply, kData + 48, m.position.relative);
  PutAxes(reply, kData + 72, m.position.toGo);
}

void Information1(const MachineState& m, defPACKAGE& reply) {
  reply.put_i32(kData + 0, m.commandFeed);
  reply.put_i32(kData + 4, m.actualFeed);
  reply.put_f64(kData + 8, Fraction(m.feedOverride));
  reply.put_i32(kData + 20, m.spindles[0].actual);
  reply.put_f64(kData + 24, Fraction(m.spindles[0].override));
  for (int group = 0; group < kGGroups; ++group) {
    reply.put_u8(kData + 32 + group, static_cast<std::uint8_t>(m.gCodes[group]));
  }
  reply.put_i16(kData + 52, m.hCode);
  reply.put_i16(kData + 54, m.mCodes[0]);
  reply.put_i16(kData + 56, m.tCode);
  reply.put_i16(kData + 58, m.pCode);
  reply.put_i16(kData + 60, m.qCode);
  reply.put_i16(kData + 62, m.rCode);
  reply.put_i32(kData + 64, m.nNumber);
  reply.put_i32(kData + 68, m.blockLine);
  reply.put_i32(kData + 72, m.spindles[1].actual);
  reply.put_f64(kData + 76, Fraction(m.spindles[1].override));
  reply.put_i32(kData + 84, m.spindles[2].actual);
  reply.put_f64(kData + 88, Fraction(m.spindles[2].override));
  reply.put_i32(kData + 96, m.spindles[0].command);
  reply.put_i32(kData + 100, m.spindles[1].command);
  reply.put_i32(kData + 104, m.spindles[2].command);
  reply.put_i16(kData + 108, m.mCodes[1]);
  reply.put_i16(kData + 110, m.mCodes[2]);
}

void SystemInfo(const MachineState& m, defPACKAGE& reply) {
  for (int i = 0; i < kSystemVariables; ++i) reply.put_i32(kData + 4 * i, m.systemVariables[i]);
}

void Information2(const MachineState& m, defPACKAGE& reply) {
  PutText(reply, kData + 0, m.mainProgram, kProgramNameField);
  PutText(reply, kData + 13, m.currentProgram, kProgramNameField);
  reply.put_i32(kData + 26, m.requiredParts);
  reply.put_i32(kData + 30, m.parts);
  reply.put_i32(kData + 34, m.workTimeMs);
  reply.put_i32(kData + 38, m.totalTimeMs);
}

// Warnings travel as bit masks, alarms as a list of (group, number) pairs.
void AlarmsWarnings(const MachineState& m, defPACKAGE& reply) {
  reply.put_u32(kData + 0, m.warnings9000);
  reply.put_u32(kData + 4, m.warnings6000);
  for (int k = 0; k < kWarningWords; ++k) {
    reply.put_i32(kData + 8 + 4 * k, m.registers[kWarningRegister + k]);
  }
  const int pairs =
      std::min(static_cast<int>(m.alarms.size()), RoomFor(reply, kAlarmPairs, kAlarmPairSize));
  reply.set_iParam2(static_cast<std::int16_t>(pairs));
  for (int i = 0; i < pairs; ++i) {
    reply.put_i32(kAlarmPairs + kAlarmPairSize * i, m.alarms[i].group);
    reply.put_i32(kAlarmPairs + kAlarmPairSize * i + 4, m.alarms[i].number);
  }
}

}  // namespace

bool AnswerStatusRead(const MachineState& machine, const defPACKAGE& request, defPACKAGE& reply) {
  switch (request.iCommand()) {
    case kCmdPosition:
      Position(machine, reply);
      break;
    case kCmdStatusMode:
      reply.set_iParam2(machine.mode);
      reply.set_iParam3(machine.status);
      break;
    case kCmdInformation1:
      Information1(machine, reply);
      break;
    case kCmdSystemInfo:
      SystemInfo(machine, reply);
      break;
    case kCmdInformation2:
      Information2(machine, reply);
      break;
    case kCmdAlarmsWarnings:
      AlarmsWarnings(machine, reply);
      break;
    case kCmdHandlePulses:
      PutAxes(reply, kData, machine.handlePulses);
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace vandir::sim
