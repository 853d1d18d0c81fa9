// Information objects for the controller as a system: free space on one of its drives, the
// hardware diagnosis, and the outcome of the last write.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/vandircnc.h"
#include "service/talvo_info_reads.h"

namespace talvo {

// Free space of one drive. A forced update reports the held numbers without reading.
class TTalvoInfo_DiskFree : public TTalvoInfo {
 public:
  void Update(bool force) override;

  unsigned Drive = 0;  // A: = 0, B: = 1, C: = 2 ...

  const vandir::TVandirCNC::defDiskFree& Record() const { return record_; }
  std::uint64_t TotalBytes() const { return totalBytes_; }
  std::uint64_t FreeBytes() const { return freeBytes_; }

 private:
  vandir::TVandirCNC::defDiskFree record_{};
  std::uint64_t totalBytes_ = 0;
  std::uint64_t freeBytes_ = 0;
};

// The hardware checks: remote I/O sets 1-6, encoder faults, dogs and indexes of axes 1-6
// (flags 0-23 in that order), the motion card's name and six flags only the controller
// interprets. Diagnosis reads even when forced, like the storage checks below.
class TTalvoInfo_HWDiagnosis1 : public TTalvoInfo {
 public:
  static constexpr int kChecks = 24;
  static constexpr int kCardNameSize = 32;
  static constexpr int kExtraFlags = 6;

  void Update(bool force) override;

  // Flag 0-23 / 0-5; false outside.
  bool Check(int index) const { return Element(checks_, index); }
  bool ExtraFlag(int index) const { return Element(extra_, index); }
  std::string CardName() const { return cardName_.data(); }

 private:
  std::array<bool, kChecks> checks_{};
  std::array<char, kCardNameSize> cardName_{};
  std::array<bool, kExtraFlags> extra_{};
};

// The storage checks: second CF card, RAM disk present, RAM disk sound.
class TTalvoInfo_HWDiagnosis2 : public TTalvoInfo {
 public:
  static constexpr int kChecks = 3;

  void Update(bool force) override;

  // Flag 0-2; false outside.
  bool Check(int index) const { return Element(checks_, index); }

 private:
  std::array<bool, kChecks> checks_{};
};

// The link's set status: 999 while a write waits for its answer, then the controller's
// result code (0 accepted), -999 for no answer, -1000 for a write the link refused.
class TTalvoInfo_SetStatus : public TTalvoInfo {
 public:
  void Update(bool force) override;

  int Status() const { return status_; }

 private:
  int status_ = vandir::kSetPending;
};

}  // namespace talvo
