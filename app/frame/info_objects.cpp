#include "app/frame/info_objects.h"

#include "app/pages/page.h"

namespace talvo::app {
namespace {

// The second parameter object maps the rows of the User Parameter2 page: parameters
// 1843-1882 (elements 1842-1881).
constexpr int kUserParameter2MapFirst = 1842;
constexpr int kUserParameter2MapCount = 40;

}  // namespace

TInfoObjects::TInfoObjects() {
  using namespace page_tag;
  auto add = [this](TTalvoInfo& info, int group) {
    info.Group = group;
    all_.push_back(&info);
  };
  add(StatusMode, kAlways);
  add(AlarmWarning, kAlways);
  add(GGroup, kAlways);
  add(Program, kWork);
  add(WorkPiece, kWork);
  add(WorkTime, kWork);
  WorkBackupRegisters.Kind = EPlcRegisterKind::BackupRegister;
  add(WorkBackupRegisters, kWork);
  for (std::size_t i = 0; i < Codes.size(); ++i) {
    Codes[i].Kind = static_cast<ECodeKind>(i + 1);
    add(Codes[i], kWork);
  }
  add(FeedRate, kWork);
  add(SpindleSpeed, kWork);
  add(MacroVariable, kWork);
  for (std::size_t i = 0; i < OffsetColumns.size(); ++i) {
    OffsetColumns[i].Kind = static_cast<EPositionKind>(static_cast<int>(EPositionKind::CoordBase) + i);
    add(OffsetColumns[i], kPosition);
  }
  add(G54P, kPosition);
  for (std::size_t i = 0; i < MillTools.size(); ++i) {
    MillTools[i].Kind = static_cast<EMillToolKind>(i + 1);
    add(MillTools[i], kPosition);
  }
  add(MillToolTDCtime, kPosition);
  add(LatheTools, kPosition);
  for (std::size_t i = 0; i < PlcBits.size(); ++i) {
    PlcBits[i].Letter = static_cast<EPlcBitLetter>(i + 1);
    add(PlcBits[i], kPLC);
  }
  for (std::size_t i = 0; i < CountersTimers.size(); ++i) {
    CountersTimers[i].Kind = static_cast<EPlcCounterTimerKind>(i + 1);
    add(CountersTimers[i], kPLC);
  }
  PlcRegisters.Kind = EPlcRegisterKind::Register;
  add(PlcRegisters, kPLC);
  PlcBackupRegisters.Kind = EPlcRegisterKind::BackupRegister;
  add(PlcBackupRegisters, kPLC);
  add(Parameter, kParameter);
  UserParameterRegisters.Kind = EPlcRegisterKind::BackupRegister;
  add(UserParameterRegisters, kUserParameter);
  UserParameter2Registers.Kind = EPlcRegisterKind::Register;
  add(UserParameter2Registers, kUserParameter2);
  UserParameter2Map.FirstIndex = kUserParameter2MapFirst;
  UserParameter2Map.Count = kUserParameter2MapCount;
  add(UserParameter2Map, kUserParameter2);
  add(HWDiagnosis1, kHardware);
  add(HWDiagnosis2, kHardware);
  add(SystemVariable, kHardware);
}

std::vector<TTalvoInfo*> TInfoObjects::MillingOnly() {
  std::vector<TTalvoInfo*> objects{&G54P};
  for (auto& tool : MillTools) objects.push_back(&tool);
  objects.push_back(&MillToolTDCtime);
  return objects;
}

}  // namespace talvo::app
