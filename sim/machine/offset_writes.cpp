// Tool data and work offsets arrive as doubles in display units: millimetres for
// lengths, radii and offsets, stored in least increments; whole numbers for the TDC
// value and the lathe tool type; the TDC time as it is.
#include <cmath>
#include <limits>

#include "sim/machine/writes.h"

namespace vandir::sim {

namespace {

// Tool data kinds.
constexpr std::int32_t kLatheType = 0;
constexpr std::int32_t kLatheGeometryRadius = 1;
constexpr std::int32_t kLatheWearRadius = 2;
constexpr std::int32_t kLatheGeometryX = 100;
constexpr std::int32_t kLatheWearX = 200;
constexpr std::int32_t kLatheAxes = 3;  // X, Y, Z
constexpr std::int32_t kMillRadius = 1001;
constexpr std::int32_t kMillLength1 = 1100;
constexpr std::int32_t kMillTdcValue = 1300;
constexpr std::int32_t kMillTdcTime = 1301;

// Coordinate codes.
constexpr std::int32_t kCoordinateBase = 0;
constexpr std::int32_t kG54 = 54000;
constexpr std::int32_t kWorkOffsetStep = 1000;  // G55 is 55000 ...
constexpr std::int32_t kG59 = 59000;

constexpr int kValueAt = kData + 4;

// A place for a whole number, and whether its value comes in millimetres.
struct IntegerField {
  std::int32_t* value = nullptr;
  bool millimetres = true;
};

bool IsTool(std::int32_t tool, int tools) { return tool >= 1 && tool < tools; }  // tool 0 is none

std::optional<std::int32_t> Stored(double value, bool millimetres) {
  const double scaled = std::round(millimetres ? value * kIncrementsPerMm : value);
  if (!std::isfinite(scaled) || scaled < std::numeric_limits<std::int32_t>::min() ||
      scaled > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(scaled);
}

IntegerField LatheField(LatheTool& tool, std::int32_t kind) {
  if (kind == kLatheGeometryRadius) return {&tool.geometry[LatheTool::kNoseRadius]};
  if (kind == kLatheWearRadius) return {&tool.wear[LatheTool::kNoseRadius]};
  if (kind >= kLatheGeometryX && kind < kLatheGeometryX + kLatheAxes) {
    return {&tool.geometry[kind - kLatheGeometryX]};
  }
  if (kind >= kLatheWearX && kind < kLatheWearX + kLatheAxes) {
    return {&tool.wear[kind - kLatheWearX]};
  }
  return {};
}

IntegerField MillField(MillTool& tool, std::int32_t kind) {
  if (kind == kMillRadius) return {&tool.radius};
  if (kind >= kMillLength1 && kind < kMillLength1 + kMillLengths) {
    return {&tool.lengths[kind - kMillLength1]};
  }
  if (kind == kMillTdcValue) return {&tool.tdcValue, false};
  return {};
}

IntegerField FieldOf(MachineState& m, std::int32_t tool, std::int32_t kind) {
  if (kind < kMillRadius) {
    return IsTool(tool, kLatheTools) ? LatheField(m.latheTools[tool], kind) : IntegerField{};
  }
  return IsTool(tool, kMillTools) ? MillField(m.millTools[tool], kind) : IntegerField{};
}

Axes* OffsetsOf(MachineState& m, std::int32_t code) {
  if (code == kCoordinateBase) return &m.coordinateBase;
  if (code >= kG54 && code <= kG59 && code % kWorkOffsetStep == 0) {
    return &m.workOffsets[(code - kG54) / kWorkOffsetStep];
  }
  // G54 P n for n = 1 .. 300 is extended set n - 1.
  if (code > kG54 && code <= kG54 + kExtendedOffsets) return &m.extendedOffsets[code - kG54 - 1];
  return nullptr;
}

}  // namespace

std::int16_t SetToolData(MachineState& machine, const defPACKAGE& request) {
  const std::int32_t tool = request.i32(10);
  const std::int32_t kind = request.i32(kData);
  const double value = request.f64(kValueAt);

  if (kind == kMillTdcTime) {
    if (!IsTool(tool, kMillTools)) return kUnknownItem;
    if (!std::isfinite(value)) return kOutOfRange;
    machine.millTools[tool].tdcTime = value;
    return kAccepted;
  }
  if (kind == kLatheType) {
    if (!IsTool(tool, kLatheTools)) return kUnknownItem;
    const auto type = Stored(value, false);
    if (!type || *type < std::numeric_limits<std::int8_t>::min() ||
        *type > std::numeric_limits<std::int8_t>::max()) {
      return kOutOfRange;
    }
    machine.latheTools[tool].type = static_cast<std::int8_t>(*type);
    return kAccepted;
  }
  const IntegerField field = FieldOf(machine, tool, kind);
  if (field.value == nullptr) return kUnknownItem;
  const auto stored = Stored(value, field.millimetres);
  if (!stored) return kOutOfRange;
  *field.value = *stored;
  return kAccepted;
}

std::int16_t SetCoordinate(MachineState& machine, const defPACKAGE& request) {
  Axes* offsets = OffsetsOf(machine, request.i32(10));
  const std::int32_t axis = request.i32(kData);
  if (offsets == nullptr) return kUnknownItem;
  if (!InTable(axis, kAxes)) return kAxisOutOfRange;
  const auto stored = Stored(request.f64(kValueAt), true);
  if (!stored) return kOutOfRange;
  (*offsets)[axis] = *stored;
  return kAccepted;
}

}  // namespace vandir::sim
