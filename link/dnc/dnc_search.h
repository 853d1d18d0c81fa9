// Directory searches of the DNC channel: which names of a folder match a controller's
// pattern, and the 58-byte directory entry each match is reported in.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <vector>

#include "link/dnc/dnc_paths.h"

namespace vandir {

// DOS attribute bits of a directory entry and of a search mask (hidden and system files
// do not exist on the PC side).
inline constexpr std::uint8_t kAttrReadOnly = 0x01;
inline constexpr std::uint8_t kAttrDirectory = 0x10;
inline constexpr std::uint8_t kAttrArchive = 0x20;

inline constexpr int kDirectoryEntrySize = 58;
using DirectoryEntry = std::array<std::uint8_t, kDirectoryEntrySize>;
inline constexpr int kEntryAttributeAt = 21;

// Bytes 21 attribute, 22-23 DOS time, 24-25 DOS date, 26-29 size, 30-57 name (cut at 28
// bytes, zero-filled); the rest zero.
DirectoryEntry MakeDirectoryEntry(std::string_view name, std::uint8_t attribute,
                                  const std::tm& modified, std::uint32_t size);

// DOS packed time and date; dates outside 1980-2107 are held at the nearer end.
std::uint16_t DosTime(const std::tm& t);
std::uint16_t DosDate(const std::tm& t);

// `*` matches any run of characters, `?` any one; letters match either case, as on the
// controller, and "NAME.*" also matches "NAME" without an extension.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// The regular files and, when `mask` has the directory bit, the folders of `folder` (a PC
// folder inside `root`) whose names match `pattern`, sorted by name. Entries that are
// neither, and symbolic links that lead out of the root, are left out.
std::vector<DirectoryEntry> FindEntries(const DncRoot& root, const std::filesystem::path& folder,
                                        std::string_view pattern, int mask);

}  // namespace vandir
