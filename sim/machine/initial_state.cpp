// The machine at power-up. The numbers only need to look like a real machine's; they
// differ from entry to entry so that a value read from the wrong place shows.
#include <limits>

#include "sim/machine/cycle.h"
#include "sim/machine/machine_state.h"

namespace vandir::sim {

namespace {

constexpr double kVacant = std::numeric_limits<double>::max();  // an empty macro variable

// Key parameters a client reads at connection: the letters of axes 4 to 6 and the
// language of the controller's own screen.
constexpr int kAxis4Letter = 122;
constexpr int kAxis5Letter = 288;
constexpr int kAxis6Letter = 289;
constexpr int kScreenLanguage = 202;
// Parameters 1843 .. 1882 name the registers of the second user-parameter page, row by row.
constexpr int kUserRegisterParameters = 1843;
constexpr int kUserRegisterCount = 40;

// Backup registers the work page uses: D55 > 0 shows the tool in the spindle (D73).
constexpr int kToolDisplayRegister = 55;
constexpr int kSpindleToolRegister = 73;

constexpr std::int32_t Mm(double mm) { return static_cast<std::int32_t>(mm * kIncrementsPerMm); }

void SetUpMotion(MachineState& m) {
  m.mode = kModeAuto;
  m.status = kReady;
  m.feedOverride = 100.0;
  m.spindles[0].override = 100.0;
  m.spindles[1].override = 90.0;
  m.spindles[2].override = 80.0;
  // Active G codes of groups 0-18; negative means none.
  m.gCodes = {-1, 0, 17, 90, -1, 94, 21, 40, 43, 80, 98, 50, 67, 97, 54, 64, 69, 15, 13};
  if (m.lathe) {
    m.gCodes[2] = 18;
    m.gCodes[5] = 95;
    m.gCodes[8] = 49;
  }
  m.hCode = 1;
  m.mCodes = {5, 9, 0};
  m.tCode = m.lathe ? 101 : 1;

  m.coordinateBase = {Mm(0.5), Mm(-0.25), Mm(0.1), 0, 0, 0};
  m.workOffsets[0] = {Mm(-250), Mm(-180), Mm(-320), Mm(90), Mm(45), Mm(-30)};
  for (int set = 1; set < kWorkOffsets; ++set) {
    for (int axis = 0; axis < kAxes; ++axis) {
      m.workOffsets[set][axis] = m.workOffsets[0][axis] + Mm(10.0 * set + axis);
    }
  }
  for (int set = 0; set < 10; ++set) {
    for (int axis = 0; axis < 3; ++axis) m.extendedOffsets[set][axis] = Mm(-100 - 5.0 * set - axis);
  }
  m.handlePulses = {120, -40, 15, 0, 0, 0};
}

void SetUpProgram(MachineState& m) {
  m.mainProgram = "O1234";
  m.currentProgram = "O1234";
  m.requiredParts = 500;
  m.parts = 12;
  m.totalTimeMs = 37'845'000;
  m.partPaths[kMainPath] = "C:\\NCFILES\\O1234";
  m.partPaths[kCurrentPath] = "C:\\NCFILES\\O1234";
  m.partPaths[kDefaultPath] = "C:\\NCFILES\\O0001";
  m.partPaths[kRootPath] = "C:\\NCFILES\\";
}

void SetUpTools(MachineState& m) {
  if (m.lathe) {
    for (int t = 1; t < kLatheTools; ++t) {
      auto& tool = m.latheTools[t];
      tool.geometry = {Mm(-150 - t), Mm(0), Mm(-220 - 2.0 * t), Mm(0.4 + 0.4 * (t % 3))};
      tool.wear = {Mm(0.01 * t), 0, Mm(-0.005 * t), Mm(0.001 * (t % 4))};
      tool.type = static_cast<std::int8_t>(t % 10);
    }
    return;
  }
  for (int t = 1; t < kMillTools; ++t) {
    auto& tool = m.millTools[t];
    tool.lengths = {Mm(100 + 1.25 * t), Mm(-0.01 * t), Mm(0.002 * t), 0, 0, 0};
    tool.radius = Mm(0.5 * (t % 20 + 1));
    tool.tdcValue = 3 * t;
    tool.tdcTime = 1.5 * t;
  }
}

void SetUpVariables(MachineState& m) {
  m.globals.fill(kVacant);
  for (int i = 0; i < 100; ++i) m.globals[i] = 0.5 * i - 10.0;
  m.locals.fill(kVacant);
  for (int i = 0; i < 10; ++i) m.locals[i] = 1.25 * (i + 1);

  for (int n = 0; n < kParameters; ++n) {
    m.parameters[n] = (n * 37) % 1000 + (n % 7 == 0 ? 10000 : 0);
  }
  m.parameters[kAxis4Letter] = 0;  // A
  m.parameters[kAxis5Letter] = 1;  // B
  m.parameters[kAxis6Letter] = 2;  // C
  m.parameters[kScreenLanguage] = 0;
  for (int r = 0; r < kUserRegisterCount; ++r) m.parameters[kUserRegisterParameters + r] = 100 + r;

  for (int i = 0; i < kSystemVariables; ++i) m.systemVariables[i] = 1000 * (i % 8) + 7 * i;
}

void SetUpPlc(MachineState& m) {
  // Inputs: emergency stop released, doors closed, air and lubrication pressure fine.
  for (int address : {0, 1, 2, 5, 8, 13}) m.plcBits[kPlcI][address] = 1;
  for (int address : {0, 4}) m.plcBits[kPlcO][address] = 1;
  m.plcBits[kPlcS][3] = 1;
  for (int i = 0; i < 16; ++i) {
    m.timers[i] = {static_cast<std::int16_t>(10 * i), static_cast<std::int16_t>(100 * (i + 1))};
    m.counters[i] = {static_cast<std::int16_t>(i), static_cast<std::int16_t>(50 + i)};
  }
  for (int i = 0; i < 32; ++i) m.registers[i] = 11 * i;
  for (int d = 51; d <= 100; ++d) m.backupRegisters[d] = 3 * d;
  m.backupRegisters[kToolDisplayRegister] = 1;
  m.backupRegisters[kSpindleToolRegister] = m.tCode;
}

void SetUpSystem(MachineState& m) {
  // Index signals of axes 1-4 present, no faults.
  m.hardware.checkBits = 0x1E000;
  m.hardware.cardCode = 0x1001;
  m.hardware.flagBytes = {1, 0};
  m.softwareInfo = m.lathe ? "V1.0L-2026.03" : "V1.0M-2026.03";
  m.ncRootPath = "C:\\";
  m.ncMachinePath = "C:\\MACHINE\\";
  m.ncFilesPath = "C:\\NCFILES\\";
  m.diskFree = {60000, 41250, 8, 512};
}

}  // namespace

MachineState InitialState(bool lathe) {
  MachineState m;
  m.lathe = lathe;
  SetUpMotion(m);
  SetUpProgram(m);
  SetUpTools(m);
  SetUpVariables(m);
  SetUpPlc(m);
  SetUpSystem(m);
  RewindProgram(m);
  return m;
}

}  // namespace vandir::sim
