#include "service/backup_marker.h"

#include <unistd.h>

#include <cstring>
#include <fstream>
#include <system_error>

namespace talvo {
namespace {

constexpr const char* kStarted = "started=";
constexpr const char* kMissing = "missing=";

std::string Reason(const std::filesystem::path& path, const std::string& what) {
  return path.string() + ": " + what;
}

}  // namespace

std::string LocalTimeText(std::time_t when) {
  std::tm local{};
  char text[32] = "";
  if (localtime_r(&when, &local)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string WriteBackupMarker(const std::filesystem::path& folder, const TBackupMarker& marker) {
  const std::filesystem::path target = folder / kBackupIncompleteFile;
  const std::filesystem::path temporary =
      folder / (std::string(kBackupIncompleteFile) + ".new-" + std::to_string(getpid()));
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << "# A backup into this folder did not complete: the files named below were not\n"
           "# fetched, and what the folder holds of them is an older copy or nothing.\n"
        << kStarted << marker.started << '\n';
    for (const std::string& name : marker.missing) out << kMissing << name << '\n';
    out.flush();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return Reason(temporary, "cannot be written");
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, target, ec);
  if (!ec) return {};
  std::filesystem::remove(temporary, ec);
  return Reason(target, ec.message());
}

std::string RemoveBackupMarker(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::remove(folder / kBackupIncompleteFile, ec);
  return ec ? Reason(folder / kBackupIncompleteFile, ec.message()) : std::string();
}

std::optional<TBackupMarker> ReadBackupMarker(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kBackupIncompleteFile;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return std::nullopt;
  TBackupMarker marker;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with(kStarted)) marker.started = line.substr(std::strlen(kStarted));
    if (line.starts_with(kMissing)) marker.missing.push_back(line.substr(std::strlen(kMissing)));
  }
  return marker;
}

}  // namespace talvo
