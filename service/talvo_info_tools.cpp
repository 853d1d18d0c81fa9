#include "service/talvo_info_tools.h"

#include "link/vandircnc.h"

namespace talvo {

using vandir::TVandirCNC;

namespace {

using ToolRead = int (TVandirCNC::*)(int, int, std::int32_t*, int*);

// By kind 1-8.
constexpr ToolRead kToolRead[] = {
    &TVandirCNC::GetMillToolRadius,   &TVandirCNC::GetMillToolLength_1,
    &TVandirCNC::GetMillToolLength_2, &TVandirCNC::GetMillToolLength_3,
    &TVandirCNC::GetMillToolLength_4, &TVandirCNC::GetMillToolLength_5,
    &TVandirCNC::GetMillToolLength_6, &TVandirCNC::GetMillToolTDCval,
};

}  // namespace

void TTalvoInfo_MillToolComp::Update(bool force) {
  const ToolRead read = SelectedRead(kToolRead, Kind);
  if (read == nullptr) return;
  UpdateChunks(force, EForcedRead::Read, 0, kTools, kChunk, [&](int start, int count, int* c) {
    (Link().*read)(start + 1, count, &values_[start], c);
  });
}

void TTalvoInfo_MillToolTDCtime::Update(bool force) {
  UpdateChunks(force, EForcedRead::Read, 0, kTools, kChunk, [&](int start, int count, int* c) {
    Link().GetMillToolTDCtime(start + 1, count, &values_[start], c);
  });
}

void TTalvoInfo_LatheToolComp::Update(bool force) {
  using enum ELatheToolTable;
  UpdateChunks(force, EForcedRead::Read, 0, kTools, kChunk, [&](int start, int count, int* c) {
    Link().GetLatheTool(start + 1, count, Column(GeometryX, start), Column(GeometryY, start),
                        Column(GeometryZ, start), Column(GeometryRadius, start),
                        Column(WearX, start), Column(WearY, start), Column(WearZ, start),
                        Column(WearRadius, start), Column(Type, start), c);
  });
}

std::int32_t TTalvoInfo_LatheToolComp::Value(ELatheToolTable table, int index) const {
  const int t = static_cast<int>(table);
  if (t < 0 || t >= kTables) return 0;
  return Element(tables_[t], index);
}

}  // namespace talvo
