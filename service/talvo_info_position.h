// Information objects for positions and work offsets: one six-axis set chosen by kind, and
// the 300 extended work offsets. Both read even when forced: a coordinate page shown after a
// while must not show stale axes.
#pragma once

#include <array>
#include <cstdint>

#include "service/talvo_info_reads.h"

namespace talvo {

enum class EPositionKind {
  Idle = 0,
  Machine = 1,
  Absolute = 2,
  Relative = 3,
  DistanceToGo = 4,
  HandleIntPulse = 5,
  CoordBase = 6,
  G54 = 7,
  G55 = 8,
  G56 = 9,
  G57 = 10,
  G58 = 11,
  G59 = 12,
};

class TTalvoInfo_Position : public TTalvoInfo {
 public:
  static constexpr int kAxes = 6;

  void Update(bool force) override;

  EPositionKind Kind = EPositionKind::Idle;  // Idle: the object reads nothing

  // Axis 0-5; 0 outside.
  std::int32_t Axis(int axis) const { return Element(axes_, axis); }

 private:
  std::array<std::int32_t, kAxes> axes_{};
};

class TTalvoInfo_G54P : public TTalvoInfoChunked {
 public:
  static constexpr int kSets = 300;
  static constexpr int kAxes = 6;
  static constexpr int kChunk = 20;

  void Update(bool force) override;

  // Axis 0-5 of extended set 0-299; 0 outside.
  std::int32_t Value(int set, int axis) const;

 private:
  std::array<std::int32_t, kSets * kAxes> values_{};
};

}  // namespace talvo
