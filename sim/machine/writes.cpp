#include "sim/machine/writes.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "sim/machine/cycle.h"
#include "sim/note.h"
#include "sim/machine/parameters.h"
#include "sim/wire/request_text.h"

namespace vandir::sim {

namespace {

constexpr std::int16_t kCmdUserLogin = 256;
constexpr std::int16_t kCmdSetParameter = 336;
constexpr std::int16_t kCmdSetCBit = 340;
constexpr std::int16_t kCmdSetABit = 342;
constexpr std::int16_t kCmdSetRegister = 345;
constexpr std::int16_t kCmdSetBackupRegister = 346;
constexpr std::int16_t kCmdSetGlobal = 347;
constexpr std::int16_t kCmdSetLocal = 351;
constexpr std::int16_t kCmdReset = 352;
constexpr std::int16_t kCmdSetMainProgram = 353;
constexpr std::int16_t kCmdReboot = 354;
constexpr std::int16_t kCmdRestartLine = 355;
constexpr std::int16_t kCmdRestartState = 356;
constexpr std::int16_t kCmdRunMdi = 374;
constexpr std::int16_t kCmdProgramPosition = 385;
constexpr std::int16_t kCmdSetToolData = 391;
constexpr std::int16_t kCmdSetCoordinate = 394;
constexpr std::int16_t kCmdSetRequiredParts = 396;
constexpr std::int16_t kCmdSetParts = 397;
constexpr std::int16_t kCmdResetRunTime = 398;

constexpr int kPasswordField = 22;
constexpr int kPasswordEnd = 32;
constexpr std::size_t kLongestPartPath = 127;
constexpr std::size_t kLongestProgramName = 12;  // 8.3

std::int16_t SetParameter(MachineState& m, const defPACKAGE& request) {
  const int number = request.iParam1();
  const std::int32_t value = request.i32(12);
  const std::int32_t level = request.i32(18);
  const std::string password =
      request.text(kPasswordField, std::min<int>(request.iLength(), kPasswordEnd));
  if (number < kFirstParameter || number > kLastParameter) return kUnknownItem;
  const bool allowed = level == kUserLevel ||
                       (level == kMakerLevel && password == kMakerPassword) ||
                       (level == kSuperLevel && password == kSuperPassword);
  if (!allowed) return kWrongPassword;
  if (value < kLowestParameterValue || value > kHighestParameterValue) return kOutOfRange;
  m.parameters[number] = value;
  return kAccepted;
}

std::int16_t SetPlcBit(std::array<std::uint8_t, kPlcBits>& bits, const defPACKAGE& request) {
  const int address = request.iParam1();
  const int value = request.iParam2();
  if (!InTable(address, kPlcBits)) return kUnknownItem;
  if (value != 0 && value != 1) return kOutOfRange;
  bits[address] = static_cast<std::uint8_t>(value);
  return kAccepted;
}

std::int16_t SetRegister(std::array<std::int32_t, kPlcWords>& registers,
                         const defPACKAGE& request) {
  const int address = request.iParam1();
  if (!InTable(address, kPlcWords)) return kUnknownItem;
  registers[address] = request.i32(12);
  return kAccepted;
}

// The index is the table index, the one the variable reads name as their first.
template <std::size_t Size>
std::int16_t SetVariable(std::array<double, Size>& variables, const defPACKAGE& request) {
  const std::int32_t index = request.i32(10);
  const double value = request.f64(kData);
  if (!InTable(index, static_cast<int>(Size))) return kUnknownItem;
  if (std::isnan(value)) return kOutOfRange;
  variables[index] = value;
  return kAccepted;
}

// Selecting a main program makes it the current one as well.
std::int16_t SetMainProgram(MachineState& m, const defPACKAGE& request) {
  const std::string path = RequestText(request, kData, request.iParam1());
  const auto separator = path.find_last_of("\\/");
  const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  if (name.empty() || name.size() > kLongestProgramName || path.size() > kLongestPartPath) {
    return kOutOfRange;
  }
  m.partPaths[kMainPath] = m.partPaths[kCurrentPath] = path;
  m.mainProgram = m.currentProgram = name;
  return kAccepted;
}

// A reset clears the alarms and stops a running program.
std::int16_t Reset(MachineState& m) {
  m.alarms.clear();
  if (m.status != kNotReady && m.status != kReady) {
    m.status = kReady;
    m.cycle.pauseMs = 0;
    RewindProgram(m);
  }
  return kAccepted;
}

// Counts travel as their low 16 bits, one byte in each of two header words.
std::int32_t CountOf(const defPACKAGE& request) {
  return (request.iParam2() & 0xFF) | ((request.iParam3() & 0xFF) << 8);
}

std::int16_t Logged(const char* what, const std::string& text) {
  Note("%s: %s", what, text.c_str());
  return kAccepted;
}

}  // namespace

std::optional<std::int16_t> ApplyWrite(MachineState& machine, const defPACKAGE& request) {
  switch (request.iCommand()) {
    case kCmdSetParameter:
      return SetParameter(machine, request);
    case kCmdSetCBit:
      return SetPlcBit(machine.plcBits[kPlcC], request);
    case kCmdSetABit:
      return SetPlcBit(machine.plcBits[kPlcA], request);
    case kCmdSetRegister:
      return SetRegister(machine.registers, request);
    case kCmdSetBackupRegister:
      return SetRegister(machine.backupRegisters, request);
    case kCmdSetGlobal:
      return SetVariable(machine.globals, request);
    case kCmdSetLocal:
      return SetVariable(machine.locals, request);
    case kCmdReset:
      return Reset(machine);
    case kCmdSetMainProgram:
      return SetMainProgram(machine, request);
    case kCmdSetToolData:
      return SetToolData(machine, request);
    case kCmdSetCoordinate:
      return SetCoordinate(machine, request);
    case kCmdSetRequiredParts:
      machine.requiredParts = CountOf(request);
      return kAccepted;
    case kCmdSetParts:
      machine.parts = CountOf(request);
      return kAccepted;
    case kCmdResetRunTime:
      machine.workTimeMs = machine.totalTimeMs = 0;
      return kAccepted;
    case kCmdRunMdi:
      return Logged("MDI", RequestText(request, kData, request.iParam2()));
    case kCmdReboot:
      return Logged("reboot", "requested");
    // Accepted without a trace in the machine: a user login after the handshake, and
    // the program restart and position commands no client relies on.
    case kCmdUserLogin:
    case kCmdRestartLine:
    case kCmdRestartState:
    case kCmdProgramPosition:
      return kAccepted;
    default:
      return std::nullopt;
  }
}

}  // namespace vandir::sim
