// Information objects for the tool tables: one value of the 100 milling tools chosen by
// kind, the milling tools' TDC times, and the 30 lathe tools. Element k holds tool k + 1.
// The link reads milling tools 1-99 only, so tool 100 (element 99) stays 0.
#pragma once

#include <array>
#include <cstdint>

#include "service/talvo_info_reads.h"

namespace talvo {

enum class EMillToolKind {
  Idle = 0,
  Radius = 1,
  Length1 = 2,
  Length2 = 3,
  Length3 = 4,
  Length4 = 5,
  Length5 = 6,
  Length6 = 7,
  TDCValue = 8,
};

class TTalvoInfo_MillToolComp : public TTalvoInfoChunked {
 public:
  static constexpr int kTools = 100;
  static constexpr int kChunk = 10;

  void Update(bool force) override;

  EMillToolKind Kind = EMillToolKind::Idle;  // Idle: the object reads nothing

  // Tool index 0-99; 0 outside.
  std::int32_t Value(int index) const { return Element(values_, index); }

 private:
  std::array<std::int32_t, kTools> values_{};
};

class TTalvoInfo_MillToolTDCtime : public TTalvoInfoChunked {
 public:
  static constexpr int kTools = 100;
  static constexpr int kChunk = 10;

  void Update(bool force) override;

  // Tool index 0-99; 0 outside.
  double Value(int index) const { return Element(values_, index); }

 private:
  std::array<double, kTools> values_{};
};

// The lathe tool tables, in the order the object keeps them.
enum class ELatheToolTable {
  Type = 0,
  GeometryRadius = 1,
  GeometryX = 2,
  GeometryY = 3,
  GeometryZ = 4,
  WearRadius = 5,
  WearX = 6,
  WearY = 7,
  WearZ = 8,
};

class TTalvoInfo_LatheToolComp : public TTalvoInfoChunked {
 public:
  static constexpr int kTables = 9;
  static constexpr int kTools = 30;
  static constexpr int kChunk = 10;

  void Update(bool force) override;

  // Tool index 0-29 of a table; 0 outside.
  std::int32_t Value(ELatheToolTable table, int index) const;

 private:
  std::int32_t* Column(ELatheToolTable table, int start) {
    return &tables_[static_cast<int>(table)][start];
  }

  std::array<std::array<std::int32_t, kTools>, kTables> tables_{};
};

}  // namespace talvo
