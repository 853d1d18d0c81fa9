// What one reply of a download carries, checked against the package it arrived in.
#pragma once

#include <cstdint>

#include "link/package.h"

namespace vandir {

struct DownloadPieceReply {
  std::int32_t result = 0;     // the controller's iParam1: 0 = a piece follows
  std::int32_t length = 0;     // bytes of this piece
  std::int32_t remaining = 0;  // bytes still to come, this piece included (first reply only)
  int offset = 0;              // where the piece starts in the package
  bool fits = false;           // the piece lies wholly inside the 512-byte reply
};

// `namesLength` is the length of both names of the request, without their NULs: the
// controller echoes them before the piece.
DownloadPieceReply ReadDownloadPiece(const defRECEIVE_PACKAGE& reply, int namesLength);

}  // namespace vandir
