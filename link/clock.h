// Wall-clock seconds for the link's time rules (liveness, set-gate time-out).
// Injectable so that tests can move time instead of sleeping.
#pragma once

#include <cstdint>
#include <ctime>

#include "export.h"

namespace vandir {

class VANDIRCNC_EXPORT Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t Now() const = 0;  // seconds
};

class VANDIRCNC_EXPORT SystemClock final : public Clock {
 public:
  std::int64_t Now() const override { return static_cast<std::int64_t>(std::time(nullptr)); }
};

}  // namespace vandir
