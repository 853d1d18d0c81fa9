// The reports on standard output: one key=value line per field, in a fixed order, so
// scripts can grep or source them. Numbers stay in the controller's own units.
#pragma once

#include <concepts>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace talvo::cli {

// Doubles in their shortest exact form: 100, 95.5.
std::string ShortestDecimal(double value);
// An override the controller sends as a fraction, in percent: 0.955 is 95.5, 1 is 100.
std::string PercentOfFraction(double fraction);
// Space-separated, for axis positions, G codes and alarm lists; empty for none.
std::string NumberList(std::span<const std::int32_t> values);

class Report {
 public:
  explicit Report(std::ostream& out) : out_(out) {}

  // Controller texts are bytes in its code page and go out unchanged.
  void Field(std::string_view key, std::string_view text);
  void Field(std::string_view key, std::integral auto value) {
    Field(key, std::string_view(std::to_string(+value)));
  }
  void Field(std::string_view key, double value) {
    Field(key, std::string_view(ShortestDecimal(value)));
  }
  void Field(std::string_view key, std::span<const std::int32_t> values) {
    Field(key, std::string_view(NumberList(values)));
  }

 private:
  std::ostream& out_;
};

}  // namespace talvo::cli
