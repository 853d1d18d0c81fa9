// Whole files on the DNC channel: programs the controller runs from the PC's disk, and
// controller files it stores there.
#include <algorithm>
#include <array>
#include <memory>
#include <span>

#include "sim/dnc/crc32.h"
#include "sim/dnc/dnc_requests.h"
#include "sim/dnc/dnc_session.h"
#include "sim/files/file_codes.h"
#include "sim/files/short_names.h"
#include "sim/files/upload.h"

namespace vandir::sim {

namespace {

constexpr std::string_view kRunFolder = "C:\\DNCRUN";
// For a PC name whose last part is no 8.3 name.
constexpr std::string_view kRunFallback = "PROGRAM.NC";

std::string RunTarget(std::string_view name) {
  const auto cut = name.find_last_of("\\/:");
  const auto last = cut == std::string_view::npos ? name : name.substr(cut + 1);
  return std::string(kRunFolder) + '\\' + std::string(IsShortName(last) ? last : kRunFallback);
}

Failure FileFailure(std::string_view what, std::string_view name, std::int16_t code) {
  return {"cannot " + std::string(what) + ' ' + std::string(name) + " (file code " +
          std::to_string(code) + ")"};
}

std::string Numbered(int piece) { return "piece " + std::to_string(piece); }

}  // namespace

Outcome<DncSession::Run> DncSession::RunProgram(std::string_view name, int repeat) {
  Run run;
  run.file = RunTarget(name);
  std::unique_ptr<Upload> upload;  // what is got so far; thrown away unless complete
  std::int32_t offset = 0;
  do {
    ++run.pieces;
    const auto reply = Ask(DncRunRequest(name, offset), run.pieces == repeat);
    if (!reply) return Failure{reply.Why()};
    const int got = reply->iParam1();
    if (!upload) {
      if (got < 0) return Failure{"the PC cannot send " + std::string(name)};
      run.size = reply->i32(kData);
      if (run.size < 0) return Failure{"the PC announced " + std::to_string(run.size) + " bytes"};
      if (!controller_.files.MakeFolders(kRunFolder)) {
        return Failure{"cannot make " + std::string(kRunFolder)};
      }
      const auto code = controller_.files.BeginUpload(run.file, true, run.size, upload);
      if (code != kFileDone) return FileFailure("store", run.file, code);
    }
    const int wanted = std::min(kDncRunPieceSize, run.size - offset);
    if (got < 0 || got > wanted || (got == 0 && wanted > 0) ||
        kDncRunData + got > reply->iLength()) {
      return Failure{Numbered(run.pieces) + " at offset " + std::to_string(offset) +
                     " failed: iParam1 " + std::to_string(got)};
    }
    const std::span<const std::uint8_t> bytes(reply->bytes.data() + kDncRunData,
                                              static_cast<std::size_t>(got));
    run.crc = Crc32(run.crc, bytes);
    const auto code = upload->Append(bytes);
    if (code != kFileDone) return FileFailure("store", run.file, code);
    offset += got;
  } while (offset < run.size);
  const auto code = controller_.files.FinishUpload(*upload);
  if (code != kFileDone) return FileFailure("store", run.file, code);
  return run;
}

Outcome<DncSession::Sent> DncSession::SendFile(std::string_view local, std::string_view remote,
                                               int repeat) {
  Sent sent;
  std::array<std::uint8_t, kDncSendPieceSize> room;
  for (;;) {
    const auto piece = controller_.files.ReadPiece(local, sent.bytes, room);
    if (piece.result != kFileDone) return FileFailure("read", local, piece.result);
    const bool first = sent.pieces == 0;
    // The PC closes its file after a first piece that is not full, and after a last piece.
    const bool last = first ? piece.length < kDncSendPieceSize : piece.length == piece.remaining;
    const auto stage = first  ? DncSendStage::kFirst
                       : last ? DncSendStage::kLast
                              : DncSendStage::kMiddle;
    const auto bytes = std::span(room).first(static_cast<std::size_t>(piece.length));
    ++sent.pieces;
    const auto reply =
        Ask(DncSendRequest(first ? remote : "", stage, bytes), sent.pieces == repeat);
    if (!reply) return Failure{reply.Why()};
    if (reply->iParam2() != piece.length) {
      return Failure{Numbered(sent.pieces) + ": the PC wrote " + std::to_string(reply->iParam2()) +
                     " of " + std::to_string(piece.length) + " bytes"};
    }
    sent.bytes += piece.length;
    if (last) return sent;
  }
}

}  // namespace vandir::sim
