#include "service/talvo_info_codes.h"

#include "link/vandircnc.h"
#include "link/spindle_reads.h"
#include "service/talvo_info_reads.h"

namespace talvo {

using vandir::TVandirCNC;

void TTalvoInfo_GetCodeXX::Read(int* changed) {
  TVandirCNC& link = Link();
  switch (Kind) {
    case ECodeKind::H: link.GetCode_H(&value_, changed); break;
    case ECodeKind::M0: link.GetCode_M(0, &value_, changed); break;
    case ECodeKind::M1: link.GetCode_M(1, &value_, changed); break;
    case ECodeKind::M2: link.GetCode_M(2, &value_, changed); break;
    case ECodeKind::T: link.GetCode_T(&value_, changed); break;
    case ECodeKind::P: link.GetCode_P(&value_, changed); break;
    case ECodeKind::Q: link.GetCode_Q(&value_, changed); break;
    case ECodeKind::R: link.GetCode_R(&value_, changed); break;
    case ECodeKind::Idle: break;
  }
}

void TTalvoInfo_GetCodeXX::Update(bool force) {
  // Idle, or no kind this object knows: nothing to read.
  if (Kind < ECodeKind::H || Kind > ECodeKind::R) return;
  TItemReads reads(force, EForcedRead::Skip);
  reads.Item(nullptr, [&](int* c) { Read(c); });
  if (reads.Raise()) DoChange();
}

void TTalvoInfo_FeedRate::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  reads.Item(&commandChanged_, [&](int* c) { Link().GetCommandFeedRate(&command_, c); });
  reads.Item(&actualChanged_, [&](int* c) { Link().GetActualFeedRate(&actual_, c); });
  reads.Item(&percentageChanged_,
             [&](int* c) { Link().GetFeedRatePercentage(&percentage_, c); });
  if (reads.Raise()) DoChange();
}

void TTalvoInfo_SpindleSpeed::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  TVandirCNC& link = Link();
  for (int s = 0; s < kSpindles; ++s) {
    const vandir::SpindleReads& read = vandir::kSpindleReads[s];
    reads.Item(&commandChanged_[s], [&](int* c) { (link.*read.command)(&command_[s], c); });
    reads.Item(&actualChanged_[s], [&](int* c) { (link.*read.actual)(&actual_[s], c); });
    reads.Item(&percentageChanged_[s],
               [&](int* c) { (link.*read.override)(&percentage_[s], c); });
  }
  if (reads.Raise()) DoChange();
}

std::int32_t TTalvoInfo_SpindleSpeed::Command(int spindle) const {
  return Element(command_, spindle);
}
std::int32_t TTalvoInfo_SpindleSpeed::Actual(int spindle) const {
  return Element(actual_, spindle);
}
double TTalvoInfo_SpindleSpeed::Percentage(int spindle) const {
  return Element(percentage_, spindle);
}
bool TTalvoInfo_SpindleSpeed::CommandChanged(int spindle) const {
  return Element(commandChanged_, spindle);
}
bool TTalvoInfo_SpindleSpeed::ActualChanged(int spindle) const {
  return Element(actualChanged_, spindle);
}
bool TTalvoInfo_SpindleSpeed::PercentageChanged(int spindle) const {
  return Element(percentageChanged_, spindle);
}

void TTalvoInfo_GGroup::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  reads.Item(nullptr, [&](int* c) { Link().GetActiveG_OfGroup(0, kGroups, groups_.data(), c); });
  if (reads.Raise()) DoChange();
}

int TTalvoInfo_GGroup::ActiveG(int group) const { return Element(groups_, group, -1); }

}  // namespace talvo
