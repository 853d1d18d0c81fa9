#include "link/download_reply.h"

namespace vandir {

DownloadPieceReply ReadDownloadPiece(const defRECEIVE_PACKAGE& reply, int namesLength) {
  DownloadPieceReply piece;
  piece.result = reply.iParam1();
  piece.length = reply.i32(20);
  piece.remaining = reply.i32(24);
  piece.offset = 30 + namesLength;
  piece.fits = piece.length >= 0 && piece.offset <= kPackageSize &&
               piece.length <= kPackageSize - piece.offset;
  return piece;
}

}  // namespace vandir
