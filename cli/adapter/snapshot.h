// The machine's state as an MTConnect agent sees it: data items by name with their values
// already in the agent's units and vocabulary, and the active alarms and warnings.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace talvo::cli::adapter {

// Every data item reads this while the controller cannot be reached.
inline constexpr const char* kUnavailable = "UNAVAILABLE";

struct Sample {
  std::string key;
  std::string value;
  bool operator==(const Sample&) const = default;
};

struct Condition {
  std::int32_t code = 0;
  std::string text;
  bool operator==(const Condition&) const = default;
};

struct Snapshot {
  std::chrono::system_clock::time_point time;
  bool available = false;
  // The same keys in the same order in every snapshot, so that two are compared by position.
  std::vector<Sample> samples;
  std::vector<Condition> alarms;
  std::vector<Condition> warnings;
};

}  // namespace talvo::cli::adapter
