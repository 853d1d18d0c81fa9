// Any reply, of any length the transport can read, into one cache: never out of bounds.
// Input: two bytes choose how many reply bytes were received (16..512) and the length of the
// names a download request carried; the rest is the reply.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/download_reply.h"
#include "link/reply_decoder.h"

namespace {

vandir::Cache cache;
vandir::FileListQueue files;

struct CountingSink : vandir::DataRecordSink {
  void WriteRecord(const vandir::defRECEIVE_PACKAGE& record) override { last = record.iIndex(); }
  int last = 0;
} sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int received =
      vandir::kHeaderSize + (data[0] | data[1] << 8) % (vandir::kPackageSize - vandir::kHeaderSize + 1);
  vandir::defRECEIVE_PACKAGE reply;
  std::memcpy(reply.bytes.data(), data + 2, std::min<std::size_t>(size - 2, static_cast<std::size_t>(received)));
  vandir::DecodeReply(cache, files, reply, received, 1, &sink);

  // The same bytes as a download reply: a piece that "fits" must lie inside the package.
  const vandir::DownloadPieceReply piece = vandir::ReadDownloadPiece(reply, data[0] | data[1] << 8);
  if (piece.fits) {
    static std::uint8_t copy[vandir::kPackageSize];
    std::memcpy(copy, reply.bytes.data() + piece.offset, static_cast<std::size_t>(piece.length));
  }
  while (files.Size() > 64) files.Pop();
  return 0;
}
