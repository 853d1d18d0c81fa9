// The parameter index as downloaded from the controller: any bytes are parsed without
// reading past them, and a file reported valid never names a group outside the table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/param_index.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto result =
      talvo::ParseParamIndex(std::string_view(reinterpret_cast<const char*>(data), size));
  const talvo::ParamIndex& index = result.Index;
  if (index.Records.size() != static_cast<std::size_t>(talvo::kParamTableSize)) std::abort();
  if (index.RecordsRead < 0 || index.RecordsRead > talvo::kParamTableSize) std::abort();
  if (result.Status != talvo::ParamIndexStatus::Ok) return 0;
  for (int group = 1; group <= talvo::kParamGroups; ++group) {
    if (!talvo::ShownParamGroup(group)) continue;
    const std::int64_t start = index.GroupStart[group - 1];
    const std::int64_t end = start + index.GroupCount[group - 1];
    if (start < 0 || end > talvo::kParamTableSize || end < start) std::abort();
    for (std::int64_t j = start; j < end; ++j) {
      const auto type = index.Records[static_cast<std::size_t>(j)].ActiveType;
      if (type < 0 || type > 3) std::abort();
    }
  }
  return 0;
}
