// The controller's history files as fetched: any bytes are split into lines and decoded as
// both histories without reading past them. Every line shown is a line of the file (the
// alarm messages with their continuations appended), and the operation history never shows
// more records than the ring holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "app/pages/history_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto file = talvo::app::SplitLines(bytes);
  const std::set<std::string> lines(file.begin(), file.end());

  const auto operations = talvo::app::OperationHistoryLines(file);
  std::size_t records = 0;
  for (const std::string& line : operations) {
    if (line.empty()) ++records;
    else if (!lines.count(line)) std::abort();
  }
  if (records > (file.empty() ? 0 : (file.size() - 1) / 2)) std::abort();

  const auto alarms = talvo::app::AlarmHistoryLines(file);
  if (alarms.size() % 3 != 0) std::abort();
  for (std::size_t i = 0; i < alarms.size(); i += 3) {
    if (!lines.count(alarms[i]) || !alarms[i + 2].empty()) std::abort();
    if (alarms[i + 1].empty()) std::abort();
  }
  return 0;
}
