// A controller gone wrong, or one pretending to be one: listings that end with entries whose
// names no plain file has (a step up, a folder separator of either side, a control
// character), and downloads of them served as if they were files. A client that joins such
// a name to a folder of its own would write somewhere else.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "sim/files/file_area.h"
#include "sim/files/file_entry.h"

namespace vandir::sim {

// The entries appended to a listing, each small enough for a listing's name field.
std::vector<FileEntry> HostileEntries();

// The piece of the hostile file `path` names (a listed folder followed by one of the names),
// or nothing when it names none of them.
std::optional<FileArea::Piece> HostilePiece(std::string_view path, std::int64_t offset,
                                            std::span<std::uint8_t> room);

}  // namespace vandir::sim
