// The three spindles' reads side by side, for everything that walks them in turn: the
// service's spindle object, talvo-cli's report and the MTConnect adapter.
#pragma once

#include <cstdint>

#include "link/vandircnc.h"

namespace vandir {

struct SpindleReads {
  int (TVandirCNC::*command)(std::int32_t*, int*);
  int (TVandirCNC::*actual)(std::int32_t*, int*);
  int (TVandirCNC::*override)(double*, int*);
};

inline constexpr SpindleReads kSpindleReads[] = {
    {&TVandirCNC::GetCommandSpindleSpeed, &TVandirCNC::GetActualSpindleSpeed,
     &TVandirCNC::GetSpindleSpeedPercentage},
    {&TVandirCNC::GetCommandSpindleSpeed2, &TVandirCNC::GetActualSpindleSpeed2,
     &TVandirCNC::GetSpindleSpeedPercentage2},
    {&TVandirCNC::GetCommandSpindleSpeed3, &TVandirCNC::GetActualSpindleSpeed3,
     &TVandirCNC::GetSpindleSpeedPercentage3},
};

}  // namespace vandir
