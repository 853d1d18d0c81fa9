// The machine-information objects the main window owns: one member per row of the window's
// table, created in that order with their groups and kinds. The window registers them with
// the service and gives them their change handlers; the coordinate boxes own their own.
#pragma once

#include <array>
#include <vector>

#include "service/talvo_info_codes.h"
#include "service/talvo_info_machine.h"
#include "service/talvo_info_plc.h"
#include "service/talvo_info_position.h"
#include "service/talvo_info_system.h"
#include "service/talvo_info_tables.h"
#include "service/talvo_info_tools.h"

namespace talvo::app {

struct TInfoObjects {
  TInfoObjects();
  TInfoObjects(const TInfoObjects&) = delete;
  TInfoObjects& operator=(const TInfoObjects&) = delete;

  // Group 1: polled on every page.
  TTalvoInfo_StatusMode StatusMode;
  TTalvoInfo_AlarmWarning AlarmWarning;
  TTalvoInfo_GGroup GGroup;
  // Group 2: the Work page.
  TTalvoInfo_Program Program;
  TTalvoInfo_WorkPiece WorkPiece;
  TTalvoInfo_WorkTime WorkTime;
  TTalvoInfo_PLCRegister WorkBackupRegisters;
  std::array<TTalvoInfo_GetCodeXX, 6> Codes;  // H, M1, M2, M3, T, P
  TTalvoInfo_FeedRate FeedRate;
  TTalvoInfo_SpindleSpeed SpindleSpeed;
  TTalvoInfo_MacroVariable MacroVariable;
  // Group 3: the Position page.
  std::array<TTalvoInfo_Position, 7> OffsetColumns;  // base offset, G54..G59
  TTalvoInfo_G54P G54P;
  std::array<TTalvoInfo_MillToolComp, 8> MillTools;  // radius, lengths 1-6, TDC value
  TTalvoInfo_MillToolTDCtime MillToolTDCtime;
  TTalvoInfo_LatheToolComp LatheTools;
  // Group 4: the PLC page.
  std::array<TTalvoInfo_PLCxxBit, 5> PlcBits;  // I, O, C, S, A
  std::array<TTalvoInfo_PLCCounterTimer, 4> CountersTimers;
  TTalvoInfo_PLCRegister PlcRegisters;
  TTalvoInfo_PLCRegister PlcBackupRegisters;
  // Group 6: the Parameter page; also the key parameters of a new connection.
  TTalvoInfo_Parameter Parameter;
  // Group 7 and 13: the two user-parameter pages.
  TTalvoInfo_PLCRegister UserParameterRegisters;
  TTalvoInfo_PLCRegister UserParameter2Registers;
  TTalvoInfo_Parameter UserParameter2Map;
  // Group 8: the Hardware page.
  TTalvoInfo_HWDiagnosis1 HWDiagnosis1;
  TTalvoInfo_HWDiagnosis2 HWDiagnosis2;
  TTalvoInfo_SystemVariable SystemVariable;

  // Every object, in creation order.
  const std::vector<TTalvoInfo*>& All() const { return all_; }
  // The objects registered only for milling, and the one only for lathe.
  std::vector<TTalvoInfo*> MillingOnly();
  TTalvoInfo* LatheOnly() { return &LatheTools; }

 private:
  std::vector<TTalvoInfo*> all_;
};

}  // namespace talvo::app
