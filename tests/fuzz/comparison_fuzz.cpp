// Machine data files compared item by item: whatever bytes a backup holds under a name of a
// known layout, the decoders stay inside them, a file compared with itself is the same, and
// the report for scripts is JSON that reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/backup/comparison.h"
#include "text/json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace talvo::text::backup;
  constexpr const char* kNames[] = {"PARAM.BIN",  "SRAM",       "GLOBAL6.DAT", "GREADY6.BIN",
                                    "GRUNH6.BIN", "GRUNL6.BIN", "USRCHI.STR",  "ENG_MLC.ERR"};
  if (size < 2) return 0;
  const std::string name = kNames[data[0] % std::size(kNames)];
  const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t cut = rest.empty() ? 0 : data[1] * rest.size() / 255;
  const std::string a(rest.substr(0, cut)), b(rest.substr(cut));
  // The bytes double as display strings, so descriptions come from them too.
  const BackupSide sideA{"a", {name, "DSPE.STR"}, {{name, a}, {"DSPE.STR", b}}};
  const BackupSide sideB{"b", {name}, {{name, b}}};
  if (!Compare(sideA, sideA).Equal()) std::abort();
  const Comparison comparison = Compare(sideA, sideB);
  if ((a == b) != (comparison.files[0].state == FileState::kSame)) std::abort();
  if (!talvo::text::json::Parse(ComparisonJson(comparison))) std::abort();
  ComparisonLines(comparison);
  return 0;
}
