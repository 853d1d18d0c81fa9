#include <algorithm>

#include "sim/machine/read_replies.h"
#include "sim/wire/reply_data.h"

namespace vandir::sim {

namespace {

constexpr std::int16_t kCmdMillTools = 264;
constexpr std::int16_t kCmdLatheTool = 265;
constexpr std::int16_t kCmdWorkCoordinates = 266;
constexpr std::int16_t kCmdGlobalVariables = 267;
constexpr std::int16_t kCmdLocalVariables = 269;
constexpr std::int16_t kCmdParameters = 270;
constexpr std::int16_t kCmdExtendedOffsets = 282;
constexpr std::int16_t kCmdPlcIBits = 288;
constexpr std::int16_t kCmdPlcABits = 292;
constexpr std::int16_t kCmdPlcTimers = 293;
constexpr std::int16_t kCmdPlcCounters = 294;
constexpr std::int16_t kCmdPlcRegisters = 295;
constexpr std::int16_t kCmdPlcBackupRegisters = 296;

constexpr int kMillToolRecord = 44;
constexpr int kMillToolsPerReply = 11;
constexpr int kAxesSize = 4 * kAxes;
// A client takes at most this many values of one variable or parameter reply.
constexpr int kMostValues = 100;
constexpr int kMillLocalVariables = 33;
constexpr int kLatheLocalVariables = 49;
// The local variable reply says which of the two counts it carries.
constexpr std::int16_t kMillLocalsFlag = 1;
constexpr std::int16_t kRegistersRefused = -1;

// A count that stays within the table from `first` on and within the reply's room.
int CountFrom(int first, int size, int room, int most) {
  return std::min({size - first, room, most});
}

void MillToolRecords(const MachineState& m, int first, defPACKAGE& reply) {
  if (!InTable(first, kMillTools)) {
    reply.set_iParam1(kMillTools);  // a first tool past the table: no record to store
    return;
  }
  reply.set_iParam1(static_cast<std::int16_t>(first));
  const int count =
      CountFrom(first, kMillTools, RoomFor(reply, kData, kMillToolRecord), kMillToolsPerReply);
  for (int i = 0; i < count; ++i) {
    const MillTool& tool = m.millTools[first + i];
    const int record = kData + kMillToolRecord * i;
    // Lengths 2 and 3 stand crossed in the record.
    constexpr int kLengthOrder[kMillLengths] = {0, 2, 1, 3, 4, 5};
    for (int slot = 0; slot < kMillLengths; ++slot) {
      reply.put_i32(record + 4 * slot, tool.lengths[kLengthOrder[slot]]);
    }
    reply.put_i32(record + 24, tool.radius);
    reply.put_i32(record + 28, tool.tdcValue);
    reply.put_f64(record + 32, tool.tdcTime);
  }
}

void LatheToolRecord(const MachineState& m, int number, defPACKAGE& reply) {
  if (!InTable(number, kLatheTools)) {
    reply.set_iParam2(-1);
    return;
  }
  reply.set_iParam2(static_cast<std::int16_t>(number));
  const auto& tool = m.latheTools[number];
  for (int part = 0; part < LatheTool::kParts; ++part) {
    reply.put_i32(kData + 4 * part, tool.geometry[part]);
    reply.put_i32(kData + 4 * (LatheTool::kParts + part), tool.wear[part]);
  }
  reply.put_u8(kData + 32, static_cast<std::uint8_t>(tool.type));
}

void WorkCoordinates(const MachineState& m, defPACKAGE& reply) {
  PutAxes(reply, kData, m.coordinateBase);
  for (int set = 0; set < kWorkOffsets; ++set) {
    PutAxes(reply, kData + kAxesSize * (set + 1), m.workOffsets[set]);
  }
}

// First and last index in iParam2 and iParam3; a last below the first names nothing.
template <typename Value, std::size_t Size, typename Put>
void Range(const std::array<Value, Size>& table, int first, defPACKAGE& reply, Put put) {
  const int size = static_cast<int>(Size);
  const int count = InTable(first, size)
                        ? CountFrom(first, size, RoomFor(reply, kData, sizeof(Value)), kMostValues)
                        : 0;
  reply.set_iParam2(static_cast<std::int16_t>(count > 0 ? first : 0));
  reply.set_iParam3(static_cast<std::int16_t>(count > 0 ? first + count - 1 : -1));
  for (int i = 0; i < count; ++i) {
    (reply.*put)(kData + static_cast<int>(sizeof(Value)) * i, table[first + i]);
  }
}

void LocalVariables(const MachineState& m, defPACKAGE& reply) {
  reply.set_iParam1(m.lathe ? 0 : kMillLocalsFlag);
  const int count =
      std::min(m.lathe ? kLatheLocalVariables : kMillLocalVariables, RoomFor(reply, kData, 8));
  for (int i = 0; i < count; ++i) reply.put_f64(kData + 8 * i, m.locals[i]);
}

void ExtendedOffsets(const MachineState& m, int first, defPACKAGE& reply) {
  const int count =
      InTable(first, kExtendedOffsets)
          ? CountFrom(first, kExtendedOffsets, RoomFor(reply, kData, kAxesSize), kExtendedOffsets)
          : 0;
  reply.set_iParam1(static_cast<std::int16_t>(first));
  reply.set_iParam2(static_cast<std::int16_t>(count));
  for (int k = 0; k < count; ++k) {
    PutAxes(reply, kData + kAxesSize * k, m.extendedOffsets[first + k]);
  }
}

// The PLC replies name their first entry in iParam2; one past the table names nothing.
int PlcFirst(int first, int size, defPACKAGE& reply) {
  reply.set_iParam2(static_cast<std::int16_t>(InTable(first, size) ? first : size));
  return InTable(first, size) ? first : size;
}

void PlcBits(const std::array<std::uint8_t, kPlcBits>& bits, int first, defPACKAGE& reply) {
  first = PlcFirst(first, kPlcBits, reply);
  const int count = CountFrom(first, kPlcBits, RoomFor(reply, kData, 1), kPlcBits);
  for (int k = 0; k < count; ++k) reply.put_u8(kData + k, bits[first + k]);
}

// Timers carry (now, set), counters (set, now).
void PlcPairs(const std::array<PlcPair, kPlcWords>& pairs, bool nowFirst, int first,
              defPACKAGE& reply) {
  first = PlcFirst(first, kPlcWords, reply);
  const int count = CountFrom(first, kPlcWords, RoomFor(reply, kData, 4), kPlcWords);
  for (int i = 0; i < count; ++i) {
    const auto& pair = pairs[first + i];
    reply.put_i16(kData + 4 * i, nowFirst ? pair.now : pair.set);
    reply.put_i16(kData + 4 * i + 2, nowFirst ? pair.set : pair.now);
  }
}

void PlcRegisters(const std::array<std::int32_t, kPlcWords>& registers, int first,
                  defPACKAGE& reply) {
  if (!InTable(first, kPlcWords)) {
    reply.set_iParam1(kRegistersRefused);
    return;
  }
  reply.set_iParam2(static_cast<std::int16_t>(first));
  const int count = CountFrom(first, kPlcWords, RoomFor(reply, kData, 4), kPlcWords);
  for (int i = 0; i < count; ++i) reply.put_i32(kData + 4 * i, registers[first + i]);
}

}  // namespace

bool AnswerTableRead(const MachineState& machine, const defPACKAGE& request, defPACKAGE& reply) {
  const int first = request.iParam1();
  const std::int16_t command = request.iCommand();
  switch (command) {
    case kCmdMillTools:
      MillToolRecords(machine, first, reply);
      break;
    case kCmdLatheTool:
      LatheToolRecord(machine, first, reply);
      break;
    case kCmdWorkCoordinates:
      WorkCoordinates(machine, reply);
      break;
    case kCmdGlobalVariables:
      Range(machine.globals, first, reply, &defPACKAGE::put_f64);
      break;
    case kCmdLocalVariables:
      LocalVariables(machine, reply);
      break;
    case kCmdParameters:
      Range(machine.parameters, first, reply, &defPACKAGE::put_i32);
      break;
    case kCmdExtendedOffsets:
      ExtendedOffsets(machine, first, reply);
      break;
    case kCmdPlcTimers:
      PlcPairs(machine.timers, true, first, reply);
      break;
    case kCmdPlcCounters:
      PlcPairs(machine.counters, false, first, reply);
      break;
    case kCmdPlcRegisters:
      PlcRegisters(machine.registers, first, reply);
      break;
    case kCmdPlcBackupRegisters:
      PlcRegisters(machine.backupRegisters, first, reply);
      break;
    default:
      if (command < kCmdPlcIBits || command > kCmdPlcABits) return false;
      // I, O, C, S and A follow each other in the codes as in the table.
      PlcBits(machine.plcBits[command - kCmdPlcIBits], first, reply);
  }
  return true;
}

}  // namespace vandir::sim
