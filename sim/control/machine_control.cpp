#include "sim/control/machine_control.h"

#include <cctype>
#include <limits>
#include <span>
#include <string_view>

#include "sim/machine/alarms.h"
#include "sim/control/control_fields.h"
#include "sim/options.h"

namespace vandir::sim {

namespace {

using Words = std::span<const std::string>;

constexpr Limits kModes{0, kLastMode};
constexpr Limits kStatuses{0, kLastStatus};
constexpr Limits kPercent{0, 200};
constexpr Limits kProgramName{1, 12};
constexpr Limits kBit{0, 1};
constexpr Limits kHardwareCheckBits{0, 0xFFFFFF};
constexpr std::string_view kPlcLetters = "IOCSA";

// A field the control channel reached by its address words, and what it may hold.
struct Target {
  FieldRef field;
  std::optional<Limits> limits;
};

struct Scalar {
  std::string_view name;
  FieldRef (*locate)(MachineState&);
  std::optional<Limits> limits;
};

#define FIELD(expression) [](MachineState& m) -> FieldRef { return &(expression); }
const Scalar kScalars[] = {
    {"mode", FIELD(m.mode), kModes},
    {"status", FIELD(m.status), kStatuses},
    {"feed", FIELD(m.commandFeed), {}},
    {"feed-actual", FIELD(m.actualFeed), {}},
    {"feed-override", FIELD(m.feedOverride), kPercent},
    {"spindle", FIELD(m.spindles[0].command), {}},
    {"spindle-actual", FIELD(m.spindles[0].actual), {}},
    {"spindle-override", FIELD(m.spindles[0].override), kPercent},
    {"spindle2", FIELD(m.spindles[1].command), {}},
    {"spindle2-actual", FIELD(m.spindles[1].actual), {}},
    {"spindle2-override", FIELD(m.spindles[1].override), kPercent},
    {"spindle3", FIELD(m.spindles[2].command), {}},
    {"spindle3-actual", FIELD(m.spindles[2].actual), {}},
    {"spindle3-override", FIELD(m.spindles[2].override), kPercent},
    {"hcode", FIELD(m.hCode), {}},
    {"mcode", FIELD(m.mCodes[0]), {}},
    {"mcode2", FIELD(m.mCodes[1]), {}},
    {"mcode3", FIELD(m.mCodes[2]), {}},
    {"tcode", FIELD(m.tCode), {}},
    {"pcode", FIELD(m.pCode), {}},
    {"qcode", FIELD(m.qCode), {}},
    {"rcode", FIELD(m.rCode), {}},
    {"ncode", FIELD(m.nNumber), {}},
    {"line", FIELD(m.blockLine), {}},
    {"program", FIELD(m.mainProgram), kProgramName},
    {"current-program", FIELD(m.currentProgram), kProgramName},
    {"parts", FIELD(m.parts), {}},
    {"maxparts", FIELD(m.requiredParts), {}},
    {"worktime", FIELD(m.workTimeMs), {}},
    {"totaltime", FIELD(m.totalTimeMs), {}},
    {"main-path", FIELD(m.partPaths[kMainPath]), {}},
    {"current-path", FIELD(m.partPaths[kCurrentPath]), {}},
    {"default-path", FIELD(m.partPaths[kDefaultPath]), {}},
    {"root-path", FIELD(m.partPaths[kRootPath]), {}},
    {"hw-checks", FIELD(m.hardware.checkBits), kHardwareCheckBits},
    {"card-code", FIELD(m.hardware.cardCode), {}},
    {"hw-flag1", FIELD(m.hardware.flagBytes[0]), kBit},
    {"hw-flag2", FIELD(m.hardware.flagBytes[1]), kBit},
    {"storage1", FIELD(m.hardware.storageFailed[0]), kBit},
    {"storage2", FIELD(m.hardware.storageFailed[1]), kBit},
    {"storage3", FIELD(m.hardware.storageFailed[2]), kBit},
};
#undef FIELD

struct Table {
  std::string_view name;
  int size;
  FieldRef (*locate)(MachineState&, int index);
};

#define ENTRY(expression) [](MachineState& m, int i) -> FieldRef { return &(expression); }
const Table kTables[] = {
    {"param", kParameters, ENTRY(m.parameters[i])},
    {"var", kGlobalVariables, ENTRY(m.globals[i])},
    {"local", kLocalVariables, ENTRY(m.locals[i])},
    {"register", kPlcWords, ENTRY(m.registers[i])},
    {"backup", kPlcWords, ENTRY(m.backupRegisters[i])},
    {"sysvar", kSystemVariables, ENTRY(m.systemVariables[i])},
    {"gcode", kGGroups, ENTRY(m.gCodes[i])},
    {"timer-now", kPlcWords, ENTRY(m.timers[i].now)},
    {"timer-set", kPlcWords, ENTRY(m.timers[i].set)},
    {"counter-now", kPlcWords, ENTRY(m.counters[i].now)},
    {"counter-set", kPlcWords, ENTRY(m.counters[i].set)},
};
#undef ENTRY

const Table* FindTable(std::string_view name) {
  for (const auto& table : kTables) {
    if (table.name == name) return &table;
  }
  return nullptr;
}

std::optional<int> IndexIn(const std::string& word, int size) {
  const auto index = ParseInteger(word, 0, size - 1);
  return index ? std::optional<int>(static_cast<int>(*index)) : std::nullopt;
}

// Mill fields: length1 .. length6, radius, tdc, tdc-time.
std::optional<FieldRef> MillToolField(MillTool& tool, std::string_view name) {
  if (name == "radius") return &tool.radius;
  if (name == "tdc") return &tool.tdcValue;
  if (name == "tdc-time") return &tool.tdcTime;
  if (name.size() == 7 && name.starts_with("length") && name[6] >= '1' && name[6] <= '6') {
    return &tool.lengths[static_cast<std::size_t>(name[6] - '1')];
  }
  return std::nullopt;
}

// Lathe fields: geom-x, geom-y, geom-z, geom-r, wear-x ... wear-r, type.
std::optional<FieldRef> LatheToolField(LatheTool& tool, std::string_view name) {
  if (name == "type") return &tool.type;
  constexpr std::string_view kParts = "xyzr";  // in the order of LatheTool::Part
  const bool geometry = name.starts_with("geom-");
  if (name.size() != 6 || (!geometry && !name.starts_with("wear-"))) return std::nullopt;
  const auto part = kParts.find(name[5]);
  if (part == std::string_view::npos) return std::nullopt;
  return &(geometry ? tool.geometry : tool.wear)[part];
}

std::optional<FieldRef> ToolField(MachineState& m, const std::string& number,
                                  std::string_view name) {
  if (const auto tool = IndexIn(number, kMillTools)) {
    if (auto field = MillToolField(m.millTools[*tool], name)) return field;
  }
  if (const auto tool = IndexIn(number, kLatheTools)) {
    return LatheToolField(m.latheTools[*tool], name);
  }
  return std::nullopt;
}

// The field an address names: NAME, TABLE N, tool N FIELD or plc LETTER ADDRESS.
std::optional<Target> Resolve(MachineState& m, Words address) {
  if (address.size() == 1) {
    for (const auto& scalar : kScalars) {
      if (scalar.name == address[0]) return Target{scalar.locate(m), scalar.limits};
    }
  } else if (address.size() == 2) {
    const Table* table = FindTable(address[0]);
    const auto index = table ? IndexIn(address[1], table->size) : std::nullopt;
    if (index) return Target{table->locate(m, *index), std::nullopt};
  } else if (address.size() == 3 && address[0] == "tool") {
    if (const auto field = ToolField(m, address[1], address[2])) {
      return Target{*field, std::nullopt};
    }
  } else if (address.size() == 3 && address[0] == "plc" && address[1].size() == 1) {
    const auto letter = kPlcLetters.find(static_cast<char>(std::toupper(address[1][0])));
    const auto bit = IndexIn(address[2], kPlcBits);
    if (letter != std::string_view::npos && bit) return Target{&m.plcBits[letter][*bit], kBit};
  }
  return std::nullopt;
}

std::string Joined(Words words) {
  std::string text;
  for (const auto& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

std::string Set(MachineState& m, Words address, const std::string& value) {
  const auto target = Resolve(m, address);
  if (!target) return "error unknown item: " + Joined(address);
  if (!AssignField(target->field, value, target->limits)) {
    return "error bad value for " + Joined(address) + ": " + value;
  }
  return "ok";
}

template <typename Number>
std::string Listed(const std::vector<Number>& numbers) {
  std::string text = "ok";
  for (const auto number : numbers) text += ' ' + std::to_string(number);
  return text;
}

constexpr const char* kPositionKinds =
    "machine|absolute|relative|to-go|handle|base|g54..g59|g54p1..g54p300";

// A six-axis set by name: the positions, the hand-wheel pulses and the work offsets.
Axes* PositionOf(MachineState& m, std::string_view kind) {
  if (kind == "machine") return &m.position.machine;
  if (kind == "absolute") return &m.position.absolute;
  if (kind == "relative") return &m.position.relative;
  if (kind == "to-go") return &m.position.toGo;
  if (kind == "handle") return &m.handlePulses;
  if (kind == "base") return &m.coordinateBase;
  if (kind.size() == 3 && kind.starts_with("g5") && kind[2] >= '4' && kind[2] <= '9')
    return &m.workOffsets[static_cast<std::size_t>(kind[2] - '4')];
  if (kind.starts_with("g54p")) {
    const auto set = ParseInteger(kind.substr(4), 1, kExtendedOffsets);
    if (set) return &m.extendedOffsets[static_cast<std::size_t>(*set - 1)];
  }
  return nullptr;
}

std::string Get(MachineState& m, Words address) {
  if (address.size() == 1 && address[0] == "alarms") return Listed(AlarmCodes(m));
  if (address.size() == 1 && address[0] == "warnings") return Listed(WarningNumbers(m));
  if (address.size() == 2 && address[0] == "position") {
    Axes* axes = PositionOf(m, address[1]);
    if (axes == nullptr) return std::string("error usage: get position ") + kPositionKinds;
    return Listed(std::vector<std::int32_t>(axes->begin(), axes->end()));
  }
  const auto target = Resolve(m, address);
  if (!target) return "error unknown item: " + Joined(address);
  return "ok " + FormatField(target->field);
}

// position KIND V1 .. V6: all six axes or none.
std::string SetPosition(MachineState& m, Words words) {
  Axes* axes = words.size() == 2 + kAxes ? PositionOf(m, words[1]) : nullptr;
  if (axes == nullptr) {
    return std::string("error usage: position ") + kPositionKinds + " V1 V2 V3 V4 V5 V6";
  }
  Axes values{};
  for (int axis = 0; axis < kAxes; ++axis) {
    if (!AssignField(&values[axis], words[2 + axis])) return "error bad value: " + words[2 + axis];
  }
  *axes = values;
  return "ok";
}

std::string Alarm(MachineState& m, Words words) {
  const auto code = words.size() == 2 ? ParseInteger(words[1], 1, kLastAlarmCode) : std::nullopt;
  if (!code) return "error usage: alarm GROUP*1000+NUMBER";
  if (!RaiseAlarm(m, *code)) return "error the alarm list is full";
  return "ok";
}

std::string Warning(MachineState& m, Words words) {
  const auto number =
      words.size() == 2 ? ParseInteger(words[1], 0, std::numeric_limits<int>::max()) : std::nullopt;
  if (!number || !SetWarning(m, *number, true)) {
    return "error usage: warning 9000-9031|6000-6031|2000-2095";
  }
  return "ok";
}

std::string Cycle(MachineState& m, Words words) {
  if (words.size() != 2 || (words[1] != "on" && words[1] != "off")) {
    return "error usage: cycle on|off";
  }
  m.cycle.on = words[1] == "on";
  return "ok";
}

std::optional<std::string> Execute(MachineState& m, Words words) {
  const std::string& name = words[0];
  if (name == "set") {
    if (words.size() < 3) return "error usage: set NAME VALUE";
    return Set(m, words.subspan(1, words.size() - 2), words.back());
  }
  if (name == "get") {
    if (words.size() < 2) return "error usage: get NAME";
    return Get(m, words.subspan(1));
  }
  if (name == "position") return SetPosition(m, words);
  if (name == "alarm") return Alarm(m, words);
  if (name == "warning") return Warning(m, words);
  if (name == "cycle") return Cycle(m, words);
  if (name == "alarm-clear" || name == "warning-clear") {
    if (words.size() != 1) return "error usage: " + name + " takes no argument";
    if (name == "alarm-clear") {
      m.alarms.clear();
    } else {
      ClearWarnings(m);
    }
    return "ok";
  }
  // Tables, tools and PLC bits are set without the word set: param N V, tool N FIELD V ...
  if (FindTable(name) || name == "tool" || name == "plc") {
    if (words.size() < 3) return "error usage: " + name + " ADDRESS VALUE";
    return Set(m, words.first(words.size() - 1), words.back());
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ExecuteMachineCommand(Machine& machine,
                                                 const std::vector<std::string>& words) {
  if (words.empty()) return std::nullopt;
  return machine.With([&](MachineState& m) { return Execute(m, words); });
}

}  // namespace vandir::sim
