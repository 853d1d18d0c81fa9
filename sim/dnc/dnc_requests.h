// The requests the controller sends on the DNC channel, as the PC reads them: every
// package travels whole (512 bytes); iLength counts the header and the data that matter,
// texts with their NUL. The caller numbers them (iIndex) and keeps texts within their
// fields.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "link/package.h"

namespace vandir::sim {

inline constexpr std::int16_t kDncReplyOffset = 4096;  // reply code = request code + 4096

inline constexpr std::int16_t kDncRootPath = 4096;
inline constexpr std::int16_t kDncChangeDirectory = 4097;
inline constexpr std::int16_t kDncDelete = 4113;
inline constexpr std::int16_t kDncRename = 4114;
inline constexpr std::int16_t kDncCopy = 4115;
inline constexpr std::int16_t kDncSearchFirst = 4128;
inline constexpr std::int16_t kDncSearchNext = 4129;
inline constexpr std::int16_t kDncOpen = 4130;
inline constexpr std::int16_t kDncClose = 4131;
inline constexpr std::int16_t kDncReadBlock = 4132;
inline constexpr std::int16_t kDncWriteText = 4133;
inline constexpr std::int16_t kDncSeek = 4134;
inline constexpr std::int16_t kDncEndOfFile = 4135;
inline constexpr std::int16_t kDncTell = 4136;
inline constexpr std::int16_t kDncAttributes = 4137;
inline constexpr std::int16_t kDncAccess = 4138;
inline constexpr std::int16_t kDncReadItems = 4139;
inline constexpr std::int16_t kDncWriteItems = 4140;
inline constexpr std::int16_t kDncFreeSpace = 4141;
inline constexpr std::int16_t kDncRunPiece = 4144;   // a piece of a PC file, to run it
inline constexpr std::int16_t kDncSendPiece = 4145;  // a piece of a controller file, to store it
inline constexpr std::int16_t kDncRecord = 21845;    // a data-recorder record; the PC answers none

inline constexpr int kDncPathField = 256;         // a path in the data area, its NUL included
inline constexpr int kDncOpenMode = kData + 256;  // the open-mode text after the path field
inline constexpr int kDncRunData = kData + 4;     // run piece reply: file size, then the bytes
inline constexpr int kDncRunPieceSize = kDataSize - 4;  // 492
inline constexpr int kDncSendName = kData + 4;          // send piece: the name (first piece)
inline constexpr int kDncSendData = kDncSendName + kDncPathField;      // then the bytes
inline constexpr int kDncSendPieceSize = kPackageSize - kDncSendData;  // 236

// Where a piece of a file sent to the PC stands in the file (iParam3).
enum class DncSendStage : std::int16_t { kFirst = 0, kLast = 1, kMiddle = 2 };

// Header only; the arguments in iParam1-3.
defPACKAGE DncRequest(std::int16_t command, std::int16_t param1 = 0, std::int16_t param2 = 0,
                      std::int16_t param3 = 0);
// A text (path, pattern) at the start of the data area.
defPACKAGE DncTextRequest(std::int16_t command, std::string_view text, std::int16_t param1 = 0,
                          std::int16_t param2 = 0);
// Bytes at the start of the data area, as they are.
defPACKAGE DncDataRequest(std::int16_t command, std::span<const std::uint8_t> data,
                          std::int16_t param1 = 0, std::int16_t param2 = 0,
                          std::int16_t param3 = 0);
defPACKAGE DncOpenRequest(std::string_view path, std::string_view mode);
// Rename and copy. Each length counts its name's NUL, so both names read as texts and the
// second starts where the first length says.
defPACKAGE DncNamePairRequest(std::int16_t command, std::string_view from, std::string_view to);
defPACKAGE DncSeekRequest(std::int16_t handle, std::int32_t offset, std::int16_t origin);
// The piece of the PC file `name` from `offset` on: low word in iParam2, high in iParam3.
defPACKAGE DncRunRequest(std::string_view name, std::int32_t offset);
// A piece of a file for the PC; the name travels in the first piece only.
defPACKAGE DncSendRequest(std::string_view name, DncSendStage stage,
                          std::span<const std::uint8_t> data);

}  // namespace vandir::sim
