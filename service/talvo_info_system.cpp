#include "service/talvo_info_system.h"

namespace talvo {

void TTalvoInfo_DiskFree::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  reads.Item(nullptr, [&](int* c) { Link().GetDiskFree(Drive, &record_, c); });
  if (!reads.Raise()) return;
  // Clusters of tens of kilobytes on drives of gigabytes: the products need 64 bits.
  const std::uint64_t cluster =
      std::uint64_t{record_.SectorsPerCluster} * record_.BytesPerSector;
  totalBytes_ = record_.TotalClusters * cluster;
  freeBytes_ = record_.AvailableClusters * cluster;
  DoChange();
}

void TTalvoInfo_HWDiagnosis1::Update(bool force) {
  TItemReads reads(force, EForcedRead::Read);
  reads.Item(nullptr, [&](int* c) {
    Link().HWDiagnosis(checks_.data(), cardName_.data(), extra_.data(), c);
  });
  if (reads.Raise()) DoChange();
}

void TTalvoInfo_HWDiagnosis2::Update(bool force) {
  TItemReads reads(force, EForcedRead::Read);
  reads.Item(nullptr, [&](int* c) { Link().HWDiagnosis2(checks_.data(), c); });
  if (reads.Raise()) DoChange();
}

void TTalvoInfo_SetStatus::Update(bool force) {
  const int status = Link().QueryStatus();
  if (status == status_ && !force) return;
  status_ = status;
  DoChange();
}

}  // namespace talvo
