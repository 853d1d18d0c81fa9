#include "cli/disk.h"

#include <cctype>
#include <charconv>

namespace talvo::cli {

namespace {

constexpr unsigned kDriveLetters = 26;

}  // namespace

std::optional<unsigned> ParseDrive(std::string_view text) {
  if (text.ends_with(':')) text.remove_suffix(1);
  if (text.size() == 1 && std::isalpha(static_cast<unsigned char>(text[0])))
    return static_cast<unsigned>(std::toupper(static_cast<unsigned char>(text[0])) - 'A');
  unsigned number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      number >= kDriveLetters)
    return std::nullopt;
  return number;
}

DiskSpace DiskSpaceOf(const vandir::TVandirCNC::defDiskFree& record) {
  const std::uint64_t cluster =
      std::uint64_t{record.SectorsPerCluster} * std::uint64_t{record.BytesPerSector};
  return {record.TotalClusters * cluster, record.AvailableClusters * cluster};
}

}  // namespace talvo::cli
