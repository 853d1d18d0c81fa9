#include "text/backup/store_names.h"

#include <ctime>

namespace talvo::text::backup {
namespace {

std::string Format(SystemTime time, const char* format) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  return std::string(text, std::strftime(text, sizeof text, format, &utc));
}

bool Digits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::string SafeFolderName(std::string_view name, std::string_view fallback) {
  constexpr std::string_view kReserved = "/\\:*?\"<>|";
  std::string safe;
  for (const char c : name)
    safe += static_cast<unsigned char>(c) < 0x20 || c == 0x7F || kReserved.find(c) != kReserved.npos
                ? '_'
                : c;
  const auto first = safe.find_first_not_of(" .");
  if (first == std::string::npos) return std::string(fallback);
  return safe.substr(first, safe.find_last_not_of(" .") - first + 1);
}

std::string FolderStamp(SystemTime time) { return Format(time, "%Y%m%dT%H%M%SZ"); }

std::string IsoTime(SystemTime time) { return Format(time, "%Y-%m-%dT%H:%M:%SZ"); }

bool IsFolderStamp(std::string_view name) {
  constexpr std::size_t kLength = 16;  // 20261210T153000Z
  if (name.size() < kLength || name[8] != 'T' || name[15] != 'Z') return false;
  if (!Digits(name.substr(0, 8)) || !Digits(name.substr(9, 6))) return false;
  const std::string_view suffix = name.substr(kLength);
  return suffix.empty() || (suffix.front() == '-' && Digits(suffix.substr(1)));
}

}  // namespace talvo::text::backup
