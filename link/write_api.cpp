// The write and control operations: argument checks, then one request behind the set gate.
// Their outcome arrives later through QueryStatus.
#include <mutex>

#include "link/vandircnc.h"

namespace vandir {

namespace {

// Tool data kinds and coordinate codes of the controller.
constexpr int kLatheType = 0, kLatheGeometryRadius = 1, kLatheWearRadius = 2;
constexpr int kLatheGeometryLength = 100, kLatheWearLength = 200;
constexpr int kMillRadius = 1001, kMillLength = 1100, kMillTDCValue = 1300, kMillTDCTime = 1301;
constexpr int kCoordBase = 0, kG54 = 54000;
constexpr int kUserLevel = 1, kMakerLevel = 2, kSuperLevel = 9999;

bool IsPlcBit(int address) { return address >= 0 && address < kPlcBits; }
bool IsPlcWord(int address) { return address >= 0 && address < kPlcWords; }

std::mutex rootPathMutex;
std::string rootPath;  // shared by every link component of the process

}  // namespace

int TVandirCNC::SetUserParameter(std::int16_t number, int value, const std::string& password) {
  return AskSetParameter(number, value, kUserLevel, password);
}
int TVandirCNC::SetMakerParameter(std::int16_t number, int value, const std::string& password) {
  return AskSetParameter(number, value, kMakerLevel, password);
}
int TVandirCNC::SetSuperParameter(std::int16_t number, int value, const std::string& password) {
  return AskSetParameter(number, value, kSuperLevel, password);
}

int TVandirCNC::SetPLC_C_Bit(std::int16_t address, std::int16_t value) {
  return IsPlcBit(address) ? AskSetPLC_C_Bit(address, value) : kBadArgument;
}
int TVandirCNC::SetPLC_A_Bit(std::int16_t address, std::int16_t value) {
  return IsPlcBit(address) ? AskSetPLC_A_Bit(address, value) : kBadArgument;
}
int TVandirCNC::SetPLC_Register(std::int16_t address, std::int32_t value) {
  return IsPlcWord(address) ? AskSetPLC_Register(address, value) : kBadRegister;
}
int TVandirCNC::SetPLC_BackupRegister(std::int16_t address, std::int32_t value) {
  return IsPlcWord(address) ? AskSetPLC_BackupRegister(address, value) : kBadArgument;
}

int TVandirCNC::SetGlobalVar(int index, double value) { return AskSetGlobalVar(index, value); }
int TVandirCNC::SetLocalVar(int index, double value) { return AskSetLocalVar(index, value); }

int TVandirCNC::SetLatheToolType(int tool, double value) { return AskSetToolData(tool, kLatheType, value); }
int TVandirCNC::SetLatheToolGeometryRadius(int tool, double value) {
  return AskSetToolData(tool, kLatheGeometryRadius, value);
}
int TVandirCNC::SetLatheToolWearRadius(int tool, double value) {
  return AskSetToolData(tool, kLatheWearRadius, value);
}
int TVandirCNC::SetLatheToolGeometryLength(int tool, int axis, double value) {
  if (axis < 0 || axis > 2) return kAxisOutOfRange;
  return AskSetToolData(tool, kLatheGeometryLength + axis, value);
}
int TVandirCNC::SetLatheToolWearLength(int tool, int axis, double value) {
  if (axis < 0 || axis > 2) return kAxisOutOfRange;
  return AskSetToolData(tool, kLatheWearLength + axis, value);
}
int TVandirCNC::SetMillToolGeometryRadius(int tool, double value) {
  return AskSetToolData(tool, kMillRadius, value);
}
int TVandirCNC::SetMillToolWearLength(int tool, int index, double value) {
  if (index < 0 || index >= kMillLengths) return kAxisOutOfRange;
  return AskSetToolData(tool, kMillLength + index, value);
}
int TVandirCNC::SetMillToolTDCValue(int tool, double value) { return AskSetToolData(tool, kMillTDCValue, value); }
int TVandirCNC::SetMillToolTDCTime(int tool, double value) { return AskSetToolData(tool, kMillTDCTime, value); }

int TVandirCNC::SetCoordBase(int axis, double value) { return AskSetCoord(kCoordBase, axis, value); }
int TVandirCNC::SetG54(int axis, double value) { return AskSetCoord(kG54, axis, value); }
int TVandirCNC::SetG55(int axis, double value) { return AskSetCoord(55000, axis, value); }
int TVandirCNC::SetG56(int axis, double value) { return AskSetCoord(56000, axis, value); }
int TVandirCNC::SetG57(int axis, double value) { return AskSetCoord(57000, axis, value); }
int TVandirCNC::SetG58(int axis, double value) { return AskSetCoord(58000, axis, value); }
int TVandirCNC::SetG59(int axis, double value) { return AskSetCoord(59000, axis, value); }
int TVandirCNC::SetG54P(int setNumber, int axis, double value) {
  if (setNumber <= 0) return kAxisOutOfRange;
  return AskSetCoord(kG54 + setNumber, axis, value);
}

int TVandirCNC::Set_MaxPartCount(std::int32_t count) { return AskSetMaxPartCount(count); }
int TVandirCNC::Set_PartCount(std::int32_t count) { return AskSetPartCount(count); }
int TVandirCNC::ResetPartCount() { return AskSetPartCount(0); }
int TVandirCNC::ResetRunTime() { return AskResetRunTime(); }
int TVandirCNC::Reset() { return AskReset(); }

int TVandirCNC::SetMainPart(const std::string& path) {
  return path.empty() ? kBadArgument : AskSetMainPart(path);
}

int TVandirCNC::RunMDI(const std::string& program) { return AskRunMDI(program); }

int TVandirCNC::SetRootPath(const std::string& path) {
  // A cut path could name another, shorter folder: refuse it rather than serve that one.
  if (path.size() > kMaxRootPath) return kBadArgument;
  std::lock_guard lock(rootPathMutex);
  rootPath = path;
  return kOk;
}

std::string TVandirCNC::RootPath() {
  std::lock_guard lock(rootPathMutex);
  return rootPath;
}

}  // namespace vandir
