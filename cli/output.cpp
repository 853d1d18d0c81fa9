#include "cli/output.h"

#include <charconv>
#include <cstdio>

namespace talvo::cli {

std::string ShortestDecimal(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string PercentOfFraction(double fraction) {
  // Fifteen digits drop the last bit the product gains (0.505 * 100 = 50.50000000000001).
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", fraction * 100);
  return text;
}

std::string NumberList(std::span<const std::int32_t> values) {
  std::string list;
  for (const std::int32_t value : values) {
    if (!list.empty()) list += ' ';
    list += std::to_string(value);
  }
  return list;
}

void Report::Field(std::string_view key, std::string_view text) {
  out_ << key << '=';
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  out_ << '\n';
}

}  // namespace talvo::cli
