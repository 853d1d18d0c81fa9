// The request builders: one package per question or command, with its exact code, header
// words, payload and reply length, handed to the submission path the controller expects.
#include <cstring>

#include "link/vandircnc.h"

namespace vandir {

namespace {

constexpr int kMaxText = kDataSize - 1;        // one text and its NUL in the data area
constexpr int kMaxTwoTexts = kDataSize - 2;    // two texts and their NULs
constexpr int kSetPartCountBytes = 0xFF;

std::int16_t Len(const std::string& text) { return static_cast<std::int16_t>(text.size()); }

}  // namespace

int TVandirCNC::Submit(const defSEND_PACKAGE& package, Path path) {
  switch (path) {
    case Path::Normal: return SendCommand(package);
    case Path::NormalSet: return SendSetCommand(package);
    case Path::Priority: return SendPriorityCommand(package);
    case Path::PrioritySet: return SendSetPriorityCommand(package);
  }
  return kRefused;
}

int TVandirCNC::Ask(std::int16_t command, std::int16_t replyLength, Path path, std::int16_t param1,
                    std::int16_t length) {
  defSEND_PACKAGE p = NewRequest(command, replyLength, length);
  p.set_iParam1(param1);
  return Submit(p, path);
}

// Status and data requests.
int TVandirCNC::AskPosition() { return Ask(257, 128, Path::NormalSet); }
int TVandirCNC::AskStatusMode() { return Ask(258, 16, Path::Normal); }
int TVandirCNC::AskInformation1() { return Ask(259, 140, Path::NormalSet); }
int TVandirCNC::AskSystemInfo() { return Ask(261, 256, Path::Normal); }
int TVandirCNC::AskInformation2() { return Ask(262, 64, Path::Normal); }
int TVandirCNC::AskAlarmWarring() { return Ask(263, 128, Path::Normal); }
int TVandirCNC::AskMillToolInfo(int first) { return Ask(264, 512, Path::NormalSet, static_cast<std::int16_t>(first)); }
int TVandirCNC::AskLatheToolInfo(int tool) { return Ask(265, 64, Path::NormalSet, static_cast<std::int16_t>(tool)); }
int TVandirCNC::AskWorkCoordinate() { return Ask(266, 192, Path::Normal); }
int TVandirCNC::AskMacroGlobalVariable(int first) { return Ask(267, 416, Path::Normal, static_cast<std::int16_t>(first)); }
int TVandirCNC::AskMacroLocalVariable() { return Ask(269, 512, Path::Normal); }
int TVandirCNC::AskParameter(int first) { return Ask(270, 416, Path::Normal, static_cast<std::int16_t>(first)); }
int TVandirCNC::AskHandleIntPulse() { return Ask(272, 64, Path::Normal); }
int TVandirCNC::AskWorkG54Coordinate(int first) { return Ask(282, 512, Path::Normal, static_cast<std::int16_t>(first)); }
int TVandirCNC::AskPLC_I_Bit(std::int16_t first) { return Ask(288, 512, Path::Normal, first); }
int TVandirCNC::AskPLC_O_Bit(std::int16_t first) { return Ask(289, 512, Path::Normal, first); }
int TVandirCNC::AskPLC_C_Bit(std::int16_t first) { return Ask(290, 512, Path::NormalSet, first); }
int TVandirCNC::AskPLC_S_Bit(std::int16_t first) { return Ask(291, 512, Path::Normal, first); }
int TVandirCNC::AskPLC_A_Bit(std::int16_t first) { return Ask(292, 512, Path::Normal, first); }
int TVandirCNC::AskPLC_Timer(std::int16_t first) { return Ask(293, 512, Path::Normal, first); }
int TVandirCNC::AskPLC_Counter(std::int16_t first) { return Ask(294, 512, Path::Normal, first); }
int TVandirCNC::AskPLC_Register(std::int16_t first) { return Ask(295, 512, Path::Normal, first); }
int TVandirCNC::AskPLC_BackupRegister(std::int16_t first) { return Ask(296, 512, Path::Normal, first); }
int TVandirCNC::AskMainPart() { return Ask(298, 144, Path::Normal); }
int TVandirCNC::AskCurrentPart() { return Ask(299, 144, Path::Normal); }
int TVandirCNC::AskDefaultPart() { return Ask(300, 144, Path::Normal); }
int TVandirCNC::AskRootPart() { return Ask(301, 144, Path::Normal); }
int TVandirCNC::AskHWDiagnosis() { return Ask(416, 32, Path::Normal); }
int TVandirCNC::AskSWInformation() { return Ask(417, 512, Path::Normal); }
int TVandirCNC::AskNCRootPath() { return Ask(419, 512, Path::Normal); }
int TVandirCNC::AskNCMachinePath() { return Ask(420, 512, Path::Normal); }
int TVandirCNC::AskGetDiskFree(unsigned drive) { return Ask(421, 24, Path::Normal, static_cast<std::int16_t>(drive)); }
int TVandirCNC::AskNCFilesPath() { return Ask(424, 512, Path::Normal); }

int TVandirCNC::AskParamDetail(int number) {
  defSEND_PACKAGE p = NewRequest(337, 162);
  p.set_iParam2(static_cast<std::int16_t>(number));
  return SendSetCommand(p);
}

int TVandirCNC::AskHWDiagnosis2(int kind) {
  defSEND_PACKAGE p = NewRequest(423, 20, 20);
  p.put_i32(kData, kind);
  return SendCommand(p);
}

// Write and control requests: all behind the set gate.
int TVandirCNC::AskSetParameter(std::int16_t number, int value, int level,
                                const std::string& password) {
  defSEND_PACKAGE p = NewRequest(336, 16, 32);
  p.set_iParam1(number);
  p.put_i32(12, value);
  p.put_i32(18, level);
  p.put_text(22, std::string_view(password).substr(0, 10));
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskSetBitOrWord(std::int16_t command, std::int16_t replyLength,
                                std::int16_t address, std::int32_t value, bool wordValue) {
  defSEND_PACKAGE p = NewRequest(command, replyLength);
  p.set_iParam1(address);
  if (wordValue)
    p.put_i32(12, value);
  else
    p.set_iParam2(static_cast<std::int16_t>(value));
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskSetPLC_C_Bit(std::int16_t address, std::int16_t value) { return AskSetBitOrWord(340, 16, address, value, false); }
int TVandirCNC::AskSetPLC_A_Bit(std::int16_t address, std::int16_t value) { return AskSetBitOrWord(342, 16, address, value, false); }
int TVandirCNC::AskSetPLC_Register(std::int16_t address, std::int32_t value) { return AskSetBitOrWord(345, 32, address, value, true); }
int TVandirCNC::AskSetPLC_BackupRegister(std::int16_t address, std::int32_t value) { return AskSetBitOrWord(346, 32, address, value, true); }

int TVandirCNC::AskSetVariable(std::int16_t command, int index, double value) {
  defSEND_PACKAGE p = NewRequest(command, 16, 24);
  p.put_i32(10, index);
  p.put_i16(14, 0);
  p.put_f64(kData, value);
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskSetGlobalVar(int index, double value) { return AskSetVariable(347, index, value); }
int TVandirCNC::AskSetLocalVar(int index, double value) { return AskSetVariable(351, index, value); }

int TVandirCNC::AskReset() { return Ask(352, 16, Path::PrioritySet); }
int TVandirCNC::AskCNCReboot() { return Ask(354, 16, Path::PrioritySet); }
int TVandirCNC::AskSetProgramRestartState() { return Ask(356, 98, Path::PrioritySet); }
int TVandirCNC::AskResetRunTime() { return Ask(398, 16, Path::PrioritySet); }

int TVandirCNC::AskSetMainPart(const std::string& path) {
  if (path.size() > kMaxText) return kBadArgument;
  defSEND_PACKAGE p = NewRequest(353, 16, static_cast<std::int16_t>(Len(path) + 17));
  p.set_iParam1(static_cast<std::int16_t>(Len(path) + 1));
  // The file name starts after the last separator found at index 1 or later.
  std::int16_t nameStart = path.empty() ? 0 : 1;
  for (std::size_t i = path.size(); i-- > 1;)
    if (path[i] == '\\' || path[i] == '/') {
      nameStart = static_cast<std::int16_t>(i + 1);
      break;
    }
  p.set_iParam2(nameStart);
  p.put_text(kData, path);
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskSetProgramRestartLine(std::int16_t argument, std::int32_t line) {
  defSEND_PACKAGE p = NewRequest(355, 20, 20);
  p.set_iParam1(argument);
  p.put_i32(kData, line);
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskRunMDI(const std::string& program) {
  if (program.size() > kDataSize) return kBadArgument;
  const auto length = static_cast<std::int16_t>(Len(program) + 16);
  defSEND_PACKAGE p = NewRequest(374, length, length);
  p.set_iParam2(Len(program));
  p.set_iParam3(Len(program));
  p.put_text(kData, program);
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskSetProPos(std::int16_t argument, std::int16_t axis, std::int32_t value) {
  // The axis selects a bit of the mask and a slot of six: anything else has no place.
  if (axis < 0 || axis >= kAxes) return kBadArgument;
  defSEND_PACKAGE p = NewRequest(385, 16, 40);
  p.set_iParam1(argument);
  p.set_iParam2(static_cast<std::int16_t>(1 << axis));
  p.put_i32(kData + 4 * axis, value);
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskSetTarget(std::int16_t command, int target, int selector, double value) {
  defSEND_PACKAGE p = NewRequest(command, 16, 28);
  p.put_i32(10, target);
  p.put_i32(kData, selector);
  p.put_f64(kData + 4, value);
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskSetToolData(int tool, int kind, double value) { return AskSetTarget(391, tool, kind, value); }
int TVandirCNC::AskSetCoord(int code, int axis, double value) { return AskSetTarget(394, code, axis, value); }

int TVandirCNC::AskSetCount(std::int16_t command, std::int32_t count) {
  defSEND_PACKAGE p = NewRequest(command, 16);
  p.set_iParam2(static_cast<std::int16_t>(count & kSetPartCountBytes));
  p.set_iParam3(static_cast<std::int16_t>((count >> 8) & kSetPartCountBytes));
  return SendSetPriorityCommand(p);
}

int TVandirCNC::AskSetMaxPartCount(std::int32_t count) { return AskSetCount(396, count); }
int TVandirCNC::AskSetPartCount(std::int32_t count) { return AskSetCount(397, count); }

int TVandirCNC::AskSendMessage(std::int16_t kind, const std::string& message) {
  if (message.size() > kMaxText) return kBadArgument;
  defSEND_PACKAGE p = NewRequest(422, 16, static_cast<std::int16_t>(Len(message) + 17));
  p.set_iParam1(kind);
  p.set_iParam2(static_cast<std::int16_t>(Len(message) + 1));
  p.put_text(kData, message);
  return SendSetPriorityCommand(p);
}

// File and text requests.
int TVandirCNC::AskFileInformation(const std::string& name) {
  if (name.size() > kMaxText) return kBadArgument;
  const auto length = static_cast<std::int16_t>(Len(name) + 17);
  defSEND_PACKAGE p = NewRequest(350, length, length);
  p.set_iParam1(static_cast<std::int16_t>(Len(name) + 1));
  p.put_text(kData, name);
  return SendCommand(p);
}

int TVandirCNC::AskTwoTexts(std::int16_t command, std::int16_t replyLength,
                            const std::string& first, const std::string& second) {
  if (first.size() + second.size() > kMaxTwoTexts) return kBadArgument;
  defSEND_PACKAGE p =
      NewRequest(command, replyLength, static_cast<std::int16_t>(Len(first) + Len(second) + 18));
  p.set_iParam2(Len(first));
  p.set_iParam3(Len(second));
  p.put_text(kData, first);
  p.put_text(kData + Len(first) + 1, second);
  return SendPriorityCommand(p);
}

int TVandirCNC::AskFileRename(const std::string& oldName, const std::string& newName) {
  return AskTwoTexts(401, 272, oldName, newName);
}

int TVandirCNC::AskMessageBox(const std::string& message, const std::string& title) {
  return AskTwoTexts(418, 400, message, title);
}

int TVandirCNC::AskOneName(std::int16_t command, const std::string& name) {
  if (name.size() > kMaxText) return kBadArgument;
  defSEND_PACKAGE p = NewRequest(command, 144, static_cast<std::int16_t>(Len(name) + 17));
  p.set_iParam2(Len(name));
  p.put_text(kData, name);
  return SendPriorityCommand(p);
}

int TVandirCNC::AskFileDelete(const std::string& name) { return AskOneName(402, name); }
int TVandirCNC::AskDirCreate(const std::string& folder) { return AskOneName(405, folder); }
int TVandirCNC::AskDirDelete(const std::string& folder) { return AskOneName(407, folder); }

int TVandirCNC::AskFileList(const std::string& folder, std::int16_t mode) {
  if (folder.size() > kDataSize) return kBadArgument;
  if (mode == 0) FileListQueue.Clear();
  defSEND_PACKAGE p = NewRequest(409, 512, static_cast<std::int16_t>(Len(folder) + 16));
  p.set_iParam1(mode);
  p.put_text(kData, folder);
  return SendPriorityCommand(p);
}

}  // namespace vandir
