#include "service/size_text.h"

#include <cstdio>

namespace talvo {

std::string SizeText(std::uint64_t bytes) {
  struct Unit {
    int shift;
    const char* name;
  };
  static constexpr Unit kUnits[] = {{30, "GB"}, {20, "MB"}, {10, "KB"}};

  double value = static_cast<double>(bytes);
  const char* unit = "B";
  for (const Unit& u : kUnits) {
    if (bytes >= std::uint64_t{1} << u.shift) {
      value /= static_cast<double>(std::uint64_t{1} << u.shift);
      unit = u.name;
      break;
    }
  }
  const int decimals = value >= 100 ? 0 : value >= 10 ? 1 : 2;
  char text[64];
  std::snprintf(text, sizeof text, "%.*lf%s", decimals, value, unit);
  return text;
}

}  // namespace talvo
