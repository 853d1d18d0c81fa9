#include "sim/files/hostile_names.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "sim/files/file_codes.h"

namespace vandir::sim {
namespace {

constexpr const char* kNames[] = {
    "../.profile", "..\\AUTOEXEC", "..", ".", "SUB/EVIL.NC", "BELL\a.NC", "DEL\x7F.NC",
};
constexpr std::string_view kContent = "written where it was never asked for\n";

}  // namespace

std::vector<FileEntry> HostileEntries() {
  std::vector<FileEntry> entries;
  for (const char* name : kNames)
    entries.push_back({name, false, static_cast<std::int64_t>(kContent.size()), 0});
  return entries;
}

std::optional<FileArea::Piece> HostilePiece(std::string_view path, std::int64_t offset,
                                            std::span<std::uint8_t> room) {
  const bool hostile = std::any_of(std::begin(kNames), std::end(kNames), [&](const char* name) {
    return path.ends_with('\\' + std::string(name));
  });
  if (!hostile) return std::nullopt;
  FileArea::Piece piece;
  piece.remaining = static_cast<std::int64_t>(kContent.size()) - offset;
  if (offset < 0 || piece.remaining < 0) return FileArea::Piece{kFileOutOfOrder};
  piece.length = static_cast<int>(
      std::min<std::int64_t>(piece.remaining, static_cast<std::int64_t>(room.size())));
  std::memcpy(room.data(), kContent.data() + offset, static_cast<std::size_t>(piece.length));
  return piece;
}

}  // namespace vandir::sim
