// Information objects for the controller's numbered tables: macro variables, parameters and
// system variables.
#pragma once

#include <array>
#include <cstdint>

#include "service/talvo_info_reads.h"

namespace talvo {

// The local variables, then the global variables in slices of 50. A forced update reports
// the held values without reading: a thousand variables are too many to fetch for a redraw.
class TTalvoInfo_MacroVariable : public TTalvoInfoChunked {
 public:
  static constexpr int kLocals = 50;
  static constexpr int kGlobals = 1000;
  static constexpr int kChunk = 50;

  void Update(bool force) override;

  // Counts read per update; values outside 0-50 and 0-1000 are ignored.
  int LocalCount() const { return localCount_; }
  void SetLocalCount(int count);
  int GlobalCount() const { return globalCount_; }
  void SetGlobalCount(int count);

  // Local 0-49, global 0-999; 0 outside.
  double Local(int index) const { return Element(locals_, index); }
  double Global(int index) const { return Element(globals_, index); }
  // Which list the event just raised is about; ChunkStart names the global slice.
  bool LocalsChanged() const { return localsChanged_; }
  bool GlobalsChanged() const { return globalsChanged_; }

 private:
  int localCount_ = kLocals;
  int globalCount_ = kGlobals;
  std::array<double, kLocals> locals_{};
  std::array<double, kGlobals> globals_{};
  bool localsChanged_ = false;
  bool globalsChanged_ = false;
};

// `Count` parameters from element `FirstIndex` on, in slices of 100; element k holds
// parameter number k + 1. Reads even when forced: the parameter pages show what the
// controller has now.
class TTalvoInfo_Parameter : public TTalvoInfoChunked {
 public:
  static constexpr int kParameters = 2000;
  static constexpr int kChunk = 100;

  void Update(bool force) override;

  int FirstIndex = 0;
  int Count = kParameters;

  // Element 0-1999; 0 outside.
  std::int32_t Value(int index) const { return Element(values_, index); }

 private:
  std::array<std::int32_t, kParameters> values_{};
};

// The system variables the hardware page lists; the link fills only entries 0-47.
class TTalvoInfo_SystemVariable : public TTalvoInfo {
 public:
  static constexpr int kVariables = 180;

  void Update(bool force) override;

  // Entry 0-179; 0 outside.
  std::int32_t Value(int index) const { return Element(values_, index); }

 private:
  std::array<std::int32_t, kVariables> values_{};
};

}  // namespace talvo
