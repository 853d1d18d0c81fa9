// A byte count as the NC files frame shows disk space: "1.50KB", "150MB", "0.00B".
#pragma once

#include <cstdint>
#include <string>

namespace talvo {

// The largest unit the count reaches (GB, MB, KB, else B), with 2 decimals below 10, 1
// below 100 and none from 100 on.
std::string SizeText(std::uint64_t bytes);

}  // namespace talvo
