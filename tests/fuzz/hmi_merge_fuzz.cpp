// Controller text files into the display-string table: any bytes split into lines and
// merged must keep every line outside a comment block, in order, and nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/hmi_merge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> work = talvo::text::SplitLines(bytes);
  std::size_t lineBytes = 0;
  for (const auto& line : work) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    lineBytes += line.size();
  }
  if (lineBytes > size) std::abort();
  std::vector<std::string> hmi{"[HMISTRINGTABLE]"};
  talvo::text::MergeLines(work, &hmi);
  if (hmi.size() > work.size() + 1 || hmi.front() != "[HMISTRINGTABLE]") std::abort();
  // Kept lines appear in the order of the file.
  std::size_t next = 0;
  for (std::size_t i = 1; i < hmi.size(); ++i) {
    while (next < work.size() && work[next] != hmi[i]) ++next;
    if (next++ >= work.size()) std::abort();
  }
  return 0;
}
