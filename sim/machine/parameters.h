// Who may change which parameter to what.
#pragma once

#include <cstdint>
#include <string_view>

namespace vandir::sim {

inline constexpr int kFirstParameter = 1;  // entry 0 exists but is no parameter
inline constexpr int kLastParameter = 2000;
inline constexpr std::int32_t kLowestParameterValue = -99'999'999;
inline constexpr std::int32_t kHighestParameterValue = 99'999'999;

// Write levels and their passwords; the user level needs none.
inline constexpr std::int32_t kUserLevel = 1;
inline constexpr std::int32_t kMakerLevel = 2;
inline constexpr std::int32_t kSuperLevel = 9999;
inline constexpr std::string_view kMakerPassword = "1234";
inline constexpr std::string_view kSuperPassword = "9999";

}  // namespace vandir::sim
