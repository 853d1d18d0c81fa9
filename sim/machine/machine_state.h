// The simulated machine as plain data: everything the controller reports and lets a
// client change. Lengths, positions, offsets, tool data and feeds are integers in the
// controller's least increment (0.0001 mm); speeds are rpm, times milliseconds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vandir::sim {

inline constexpr int kAxes = 6;
inline constexpr int kGGroups = 19;
inline constexpr int kMCodes = 3;
inline constexpr int kSpindles = 3;
inline constexpr int kSystemVariables = 48;
inline constexpr int kMillTools = 100;
inline constexpr int kMillLengths = 6;
inline constexpr int kLatheTools = 33;
inline constexpr int kWorkOffsets = 6;  // G54 .. G59
inline constexpr int kExtendedOffsets = 300;
inline constexpr int kGlobalVariables = 1101;
inline constexpr int kLocalVariables = 50;
inline constexpr int kParameters = 2001;  // numbers 0 .. 2000
inline constexpr int kPlcBits = 512;
inline constexpr int kPlcWords = 256;  // timers, counters, registers, backup registers
inline constexpr int kMaxAlarms = 20;
// The six PLC warning words are registers 40 .. 45; each bit is a warning 2000 + 16k + i.
inline constexpr int kWarningRegister = 40;
inline constexpr int kWarningWords = 6;
inline constexpr int kIncrementsPerMm = 10000;

constexpr bool InTable(long index, int size) { return index >= 0 && index < size; }

// The numbering of the mode and status words, also used by the control channel.
enum Mode : std::int16_t { kModeEdit, kModeAuto, kModeMdi, kModeJog, kModeHandle, kModeHome };
inline constexpr std::int16_t kLastMode = kModeHome;
enum Status : std::int16_t { kNotReady, kReady, kRunning, kHold, kAlarmStop };
inline constexpr std::int16_t kLastStatus = kAlarmStop;

enum PlcLetter { kPlcI, kPlcO, kPlcC, kPlcS, kPlcA, kPlcLetters };
enum PartPath { kMainPath, kCurrentPath, kDefaultPath, kRootPath, kPartPaths };

using Axes = std::array<std::int32_t, kAxes>;

struct Positions {
  Axes machine{};
  Axes absolute{};
  Axes relative{};
  Axes toGo{};
};

struct Spindle {
  std::int32_t command = 0;
  std::int32_t actual = 0;
  double override = 100.0;
};

struct MillTool {
  std::array<std::int32_t, kMillLengths> lengths{};  // length 1 .. 6
  std::int32_t radius = 0;
  std::int32_t tdcValue = 0;
  double tdcTime = 0;
};

struct LatheTool {
  enum Part { kX, kY, kZ, kNoseRadius, kParts };
  std::array<std::int32_t, kParts> geometry{};  // by Part
  std::array<std::int32_t, kParts> wear{};      // by Part
  std::int8_t type = 0;
};

struct Alarm {
  std::int32_t group = 0;
  std::int32_t number = 0;
  friend bool operator==(const Alarm&, const Alarm&) = default;
};

// A PLC timer or counter.
struct PlcPair {
  std::int16_t now = 0;
  std::int16_t set = 0;
};

struct Hardware {
  std::uint32_t checkBits = 0;  // 24 bits: remote I/O sets, encoder faults, dogs, indexes
  std::uint16_t cardCode = 0;
  std::array<std::uint8_t, 2> flagBytes{};
  std::array<std::int16_t, 4> flagWords{};
  std::array<std::uint8_t, 3> storageFailed{};  // check kinds 11, 12, 13, 0 or 1
};

struct DiskFree {
  std::uint16_t totalClusters = 0;
  std::uint16_t freeClusters = 0;
  std::uint16_t sectorsPerCluster = 0;
  std::uint16_t bytesPerSector = 0;
};

// Where the program cycle stands (see cycle.h).
struct CycleState {
  bool on = true;
  int block = 0;             // the block being executed
  std::int64_t blockMs = 0;  // time spent in it
  std::int64_t pauseMs = 0;  // time spent ready between two parts
  long completed = 0;        // cycles run to their end
};

struct MachineState {
  bool lathe = false;
  Positions position;
  std::int16_t mode = kModeEdit;
  std::int16_t status = kNotReady;

  std::int32_t commandFeed = 0;
  std::int32_t actualFeed = 0;
  double feedOverride = 100.0;
  std::array<Spindle, kSpindles> spindles{};
  std::array<std::int8_t, kGGroups> gCodes{};
  std::int16_t hCode = 0;
  std::array<std::int16_t, kMCodes> mCodes{};
  std::int16_t tCode = 0;
  std::int16_t pCode = 0;
  std::int16_t qCode = 0;
  std::int16_t rCode = 0;
  std::int32_t nNumber = 0;
  std::int32_t blockLine = 0;

  std::string mainProgram;  // 8.3 names
  std::string currentProgram;
  std::int32_t requiredParts = 0;
  std::int32_t parts = 0;
  std::int32_t workTimeMs = 0;
  std::int32_t totalTimeMs = 0;

  std::array<std::int32_t, kSystemVariables> systemVariables{};
  std::vector<Alarm> alarms;
  std::uint32_t warnings9000 = 0;  // bit i: warning 9000 + i
  std::uint32_t warnings6000 = 0;  // bit i: warning 6000 + i

  std::array<MillTool, kMillTools> millTools{};
  std::array<LatheTool, kLatheTools> latheTools{};
  Axes coordinateBase{};
  std::array<Axes, kWorkOffsets> workOffsets{};
  std::array<Axes, kExtendedOffsets> extendedOffsets{};
  Axes handlePulses{};

  std::array<double, kGlobalVariables> globals{};
  std::array<double, kLocalVariables> locals{};
  std::array<std::int32_t, kParameters> parameters{};

  std::array<std::array<std::uint8_t, kPlcBits>, kPlcLetters> plcBits{};
  std::array<PlcPair, kPlcWords> timers{};
  std::array<PlcPair, kPlcWords> counters{};
  std::array<std::int32_t, kPlcWords> registers{};
  std::array<std::int32_t, kPlcWords> backupRegisters{};

  std::array<std::string, kPartPaths> partPaths;
  Hardware hardware;
  std::string softwareInfo;
  std::string ncRootPath;
  std::string ncMachinePath;
  std::string ncFilesPath;
  DiskFree diskFree;

  CycleState cycle;
  std::uint16_t lastRecord = 0;  // ID of the data recorder's last record
};

// A freshly powered-up machine: a milling machine, or a lathe, in AUTO with its demo
// program about to start.
MachineState InitialState(bool lathe);

}  // namespace vandir::sim
