// A backup's manifest.json as verify and diff read it from any folder: whatever the bytes,
// the reader ends; a manifest it accepts names only files inside its folder and reads back
// the same once written again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/backup/manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace talvo::text::backup;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto manifest = ParseManifest(bytes, &error);
  if (!manifest) {
    if (error.empty()) std::abort();
    return 0;
  }
  for (const ManifestFile& file : manifest->files)
    if (file.name.empty() || file.name.find('/') != std::string::npos || file.name == "..") std::abort();
  const auto again = ParseManifest(ManifestJson(*manifest), &error);
  if (!again || again->files.size() != manifest->files.size() || again->machine != manifest->machine ||
      again->Complete() != manifest->Complete())
    std::abort();
  for (std::size_t i = 0; i < again->files.size(); ++i)
    if (again->files[i].name != manifest->files[i].name || again->files[i].sha256 != manifest->files[i].sha256 ||
        again->files[i].error != manifest->files[i].error || again->files[i].size != manifest->files[i].size)
      std::abort();
  return 0;
}
