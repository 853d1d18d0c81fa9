#include "service/talvo_info_position.h"

#include "link/vandircnc.h"

namespace talvo {

using vandir::TVandirCNC;

namespace {

using AxesRead = int (TVandirCNC::*)(std::int32_t*, int*);

// By kind 1-12.
constexpr AxesRead kAxesRead[] = {
    &TVandirCNC::GetMachinePos,    &TVandirCNC::GetAbsolutePos,    &TVandirCNC::GetRelativePos,
    &TVandirCNC::GetDistanceToGo,  &TVandirCNC::GetHandleIntPulse, &TVandirCNC::GetCoordBase,
    &TVandirCNC::GetG54,           &TVandirCNC::GetG55,            &TVandirCNC::GetG56,
    &TVandirCNC::GetG57,           &TVandirCNC::GetG58,            &TVandirCNC::GetG59,
};

}  // namespace

void TTalvoInfo_Position::Update(bool force) {
  const AxesRead read = SelectedRead(kAxesRead, Kind);
  if (read == nullptr) return;
  TItemReads reads(force, EForcedRead::Read);
  reads.Item(nullptr, [&](int* c) { (Link().*read)(axes_.data(), c); });
  if (reads.Raise()) DoChange();
}

void TTalvoInfo_G54P::Update(bool force) {
  UpdateChunks(force, EForcedRead::Read, 0, kSets, kChunk, [&](int start, int count, int* c) {
    Link().GetG54P(start, count, &values_[start * kAxes], c);
  });
}

std::int32_t TTalvoInfo_G54P::Value(int set, int axis) const {
  if (set < 0 || set >= kSets || axis < 0 || axis >= kAxes) return 0;
  return values_[set * kAxes + axis];
}

}  // namespace talvo
