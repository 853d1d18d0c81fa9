// What the controller answers to file commands and transfer steps (iParam1 of the reply).
// The codes follow the DOS error numbers where DOS has one for the case.
#pragma once

#include <cstdint>

namespace vandir::sim {

inline constexpr std::int16_t kFileDone = 0;
inline constexpr std::int16_t kFileNotFound = 2;    // the name, or a folder on its way
inline constexpr std::int16_t kFileWrongKind = 5;   // a folder where a file is meant, the reverse, a drive
inline constexpr std::int16_t kFileExists = 9;      // the new name is taken
inline constexpr std::int16_t kFolderExists = 12;   // a folder of that name is there already
inline constexpr std::int16_t kFolderNotEmpty = 13;
inline constexpr std::int16_t kFileBadName = 14;    // not an 8.3 path inside the controller's drives
inline constexpr std::int16_t kFileDiskError = 15;  // the host's file system refused
inline constexpr std::int16_t kFileOutOfOrder = 16; // a transfer step that does not fit the transfer

}  // namespace vandir::sim
