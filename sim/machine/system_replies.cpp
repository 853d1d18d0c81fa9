#include <string>

#include "sim/machine/parameters.h"
#include "sim/machine/read_replies.h"
#include "sim/wire/reply_data.h"
#include "sim/machine/writes.h"

namespace vandir::sim {

namespace {

constexpr std::int16_t kCmdMainPart = 298;
constexpr std::int16_t kCmdRootPart = 301;
constexpr std::int16_t kCmdParameterDetail = 337;
constexpr std::int16_t kCmdHardware = 416;
constexpr std::int16_t kCmdSoftware = 417;
constexpr std::int16_t kCmdNcRootPath = 419;
constexpr std::int16_t kCmdNcMachinePath = 420;
constexpr std::int16_t kCmdDiskFree = 421;
constexpr std::int16_t kCmdHardware2 = 423;
constexpr std::int16_t kCmdNcFilesPath = 424;

constexpr int kPartPathField = 128;
constexpr int kSoftwareField = 32;
constexpr int kNcPathField = 256;
// Drives count from A: = 0; the controller has only C:.
constexpr int kDriveC = 2;
constexpr std::int16_t kNoSuchDrive = 1;
// Storage checks 11, 12, 13: second CF card, RAM disk present, RAM disk sound.
constexpr std::int32_t kFirstStorageCheck = 11;

void PutPartPath(const std::string& path, defPACKAGE& reply) {
  const std::string text = path.substr(0, kPartPathField - 1);
  reply.set_iParam2(static_cast<std::int16_t>(text.size() + 1));
  reply.put_text(kData, text);
}

// Not a layout any client decodes; it describes the parameter as a controller would.
void ParameterDetail(const MachineState& m, int number, defPACKAGE& reply) {
  reply.set_iParam2(static_cast<std::int16_t>(number));
  if (number < kFirstParameter || number > kLastParameter) {
    reply.set_iParam1(kUnknownItem);
    return;
  }
  reply.put_i32(kData + 0, number);
  reply.put_i32(kData + 4, m.parameters[number]);
  reply.put_i32(kData + 8, kLowestParameterValue);
  reply.put_i32(kData + 12, kHighestParameterValue);
  PutText(reply, kData + 16, "PRM" + std::to_string(number), 16);
}

void HardwareDiagnosis(const MachineState& m, defPACKAGE& reply) {
  const auto& hw = m.hardware;
  reply.put_u32(kData + 0, hw.checkBits);
  reply.put_u16(kData + 4, hw.cardCode);
  reply.put_u8(kData + 6, hw.flagBytes[0]);
  reply.put_u8(kData + 7, hw.flagBytes[1]);
  for (std::size_t i = 0; i < hw.flagWords.size(); ++i) {
    reply.put_i16(kData + 8 + 2 * static_cast<int>(i), hw.flagWords[i]);
  }
}

void DiskFreeOf(const MachineState& m, int drive, defPACKAGE& reply) {
  if (drive != kDriveC) {
    reply.set_iParam1(kNoSuchDrive);
    return;
  }
  const auto& disk = m.diskFree;
  reply.put_u16(kData + 0, disk.totalClusters);
  reply.put_u16(kData + 2, disk.freeClusters);
  reply.put_u16(kData + 4, disk.sectorsPerCluster);
  reply.put_u16(kData + 6, disk.bytesPerSector);
}

// The kind comes back at Data+0 and its result in bit 0 of iParam1; an unknown kind
// reports nothing failed.
void StorageCheck(const MachineState& m, const defPACKAGE& request, defPACKAGE& reply) {
  const std::int32_t kind = request.i32(kData);
  reply.put_i32(kData, kind);
  const auto check = static_cast<std::size_t>(kind - kFirstStorageCheck);
  if (check < m.hardware.storageFailed.size()) {
    reply.set_iParam1(m.hardware.storageFailed[check] ? 1 : 0);
  }
}

}  // namespace

bool AnswerSystemRead(const MachineState& machine, const defPACKAGE& request, defPACKAGE& reply) {
  const std::int16_t command = request.iCommand();
  switch (command) {
    case kCmdParameterDetail:
      ParameterDetail(machine, request.iParam2(), reply);
      break;
    case kCmdHardware:
      HardwareDiagnosis(machine, reply);
      break;
    case kCmdSoftware:
      PutText(reply, kData, machine.softwareInfo, kSoftwareField);
      break;
    case kCmdNcRootPath:
      PutText(reply, kData, machine.ncRootPath, kNcPathField);
      break;
    case kCmdNcMachinePath:
      PutText(reply, kData, machine.ncMachinePath, kNcPathField);
      break;
    case kCmdNcFilesPath:
      PutText(reply, kData, machine.ncFilesPath, kNcPathField);
      break;
    case kCmdDiskFree:
      DiskFreeOf(machine, request.iParam1(), reply);
      break;
    case kCmdHardware2:
      StorageCheck(machine, request, reply);
      break;
    default:
      if (command < kCmdMainPart || command > kCmdRootPart) return false;
      // Main, current, default and root part path follow each other in the codes.
      PutPartPath(machine.partPaths[command - kCmdMainPart], reply);
  }
  return true;
}

}  // namespace vandir::sim
