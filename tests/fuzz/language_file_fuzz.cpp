// Language files as the program reads them: any bytes loaded into the in-memory key file,
// then every caption key looked up the way the windows do. A text that comes back is one
// line's rest after "=", so it never holds a line end and never starts or ends with a blank.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/language/caption_keys.h"
#include "app/settings/key_file.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  talvo::app::TMemIniFile file;
  file.LoadBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const talvo::app::TCaptionKey& entry : talvo::app::AllCaptionKeys()) {
    const bool present = file.ValueExists(entry.section, entry.key);
    const std::string text = file.ReadString(entry.section, entry.key, "");
    if (!present) {
      if (!text.empty()) std::abort();
      continue;
    }
    if (text.size() > size || text.find_first_of("\r\n") != std::string::npos) std::abort();
    if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back()))) std::abort();
    // Numbers are read from the same texts (the display-string keys, the settings).
    file.ReadInteger(entry.section, entry.key, 0);
  }
  return 0;
}
