// Uploads and downloads. An upload is a start, data packages and an end on one
// connection; a download is a chain of piece requests, each of which names the file and
// the offset it wants, so the controller keeps nothing for it but an injected drop.
#include <algorithm>
#include <limits>
#include <span>
#include <string>
#include <utility>

#include "sim/files/file_codes.h"
#include "sim/files/file_service.h"
#include "sim/files/hostile_names.h"
#include "sim/note.h"
#include "sim/wire/reply_data.h"
#include "sim/wire/request_text.h"

namespace vandir::sim {

namespace {

// Start: offset and size, then the PC's name and the controller's, NULs included in the
// lengths of iParam2 and iParam3.
constexpr int kStartOffset = 16;
constexpr int kStartSize = 20;
constexpr int kStartNames = 24;
// Piece request: the offset wanted, then the controller's name and the PC's.
constexpr int kPieceOffset = 16;
constexpr int kPieceNames = 20;
constexpr std::int16_t kFirstPiece = 0;
// Piece reply: the offset, the piece's length, the bytes still to come with it, both
// names as asked, then the piece.
constexpr int kPieceLength = 20;
constexpr int kPieceRemaining = 24;
constexpr int kPieceEcho = 28;

defPACKAGE TransferReply(const defPACKAGE& request, std::int16_t length) {
  return ReplyTo(request, static_cast<std::int16_t>(request.iCommand() + kReplyOffset), length);
}

defPACKAGE WithResult(defPACKAGE reply, std::int16_t result) {
  reply.set_iParam1(result);
  return reply;
}

}  // namespace

std::optional<TransferFault> FileService::FaultDue() {
  if (!transferFault_) return std::nullopt;
  if (transferFault_->after > 0) {
    --transferFault_->after;
    return std::nullopt;
  }
  return std::exchange(transferFault_, std::nullopt);
}

defPACKAGE FileService::StartUpload(const defPACKAGE& request) {
  const auto reply = TransferReply(request, request.iLength());
  // A new start gives up the upload before it.
  upload_.reset();
  transferFault_.reset();
  if (const auto failure = faults_.TakeFailure()) return WithResult(reply, *failure);
  const auto names =
      RequestTexts(request, kStartNames, request.iParam2() - 1, request.iParam3() - 1);
  const std::int32_t offset = request.i32(kStartOffset);
  const std::int32_t size = request.i32(kStartSize);
  // Resuming at an offset is not supported: the file always comes whole.
  const std::int16_t result =
      offset != 0 || size < 0
          ? kFileOutOfOrder
          : area_.BeginUpload(names.second, request.iParam1() != 0, size, upload_);
  if (result == kFileDone) transferFault_ = faults_.TakeTransferFault(false);
  return WithResult(reply, result);
}

std::optional<defPACKAGE> FileService::UploadData(const defPACKAGE& request) {
  const auto reply = TransferReply(request, kHeaderSize);
  if (!upload_) return WithResult(reply, kFileOutOfOrder);
  const auto due = FaultDue();
  if (due && due->kind == TransferFault::Kind::Drop) return std::nullopt;
  std::int16_t result = kFileDone;
  if (due) {
    result = due->code;
  } else if (const auto failure = faults_.TakeFailure()) {
    result = *failure;
  } else {
    const auto size = static_cast<std::size_t>(request.iLength() - kHeaderSize);
    result = upload_->Append(std::span(request.bytes).subspan(kData, size));
  }
  if (result != kFileDone) {
    upload_.reset();
    transferFault_.reset();
  }
  return WithResult(reply, result);
}

std::optional<defPACKAGE> FileService::EndUpload(const defPACKAGE& request) {
  const auto reply = TransferReply(request, kHeaderSize);
  if (!upload_) return WithResult(reply, kFileOutOfOrder);
  const auto due = FaultDue();
  if (due && due->kind == TransferFault::Kind::Drop) return std::nullopt;
  const auto failure = due ? std::optional(due->code) : faults_.TakeFailure();
  const std::int16_t result = failure ? *failure : area_.FinishUpload(*upload_);
  Note("upload of %s: %d", upload_->Target().Text().c_str(), result);
  upload_.reset();
  transferFault_.reset();
  return WithResult(reply, result);
}

std::optional<defPACKAGE> FileService::DownloadPiece(const defPACKAGE& request) {
  auto reply = TransferReply(request, kPackageSize);
  const bool first = request.iParam1() == kFirstPiece;
  // A first piece starts a new download: it takes the armed fault once it is served.
  std::optional<TransferFault> due;
  if (first)
    transferFault_.reset();
  else
    due = FaultDue();
  const auto faulted = [&]() -> std::optional<defPACKAGE> {
    if (due->kind == TransferFault::Kind::Drop) return std::nullopt;
    return WithResult(reply, due->code);
  };
  if (due && due->kind != TransferFault::Kind::EmptyPiece) return faulted();
  if (const auto failure = faults_.TakeFailure()) return WithResult(reply, *failure);
  const int nameField = request.iParam2();
  const int localField = request.iParam3();
  const int pieceAt = kPieceEcho + nameField + localField;
  const auto [name, local] = RequestTexts(request, kPieceNames, nameField - 1, localField - 1);
  if (nameField < 1 || localField < 1 || pieceAt > kPackageSize) {
    return WithResult(reply, kFileBadName);
  }
  const std::int32_t offset = request.i32(kPieceOffset);
  const auto room = std::span(reply.bytes).subspan(static_cast<std::size_t>(pieceAt));
  std::optional<FileArea::Piece> hostile;
  if (faults_.HostileNames()) hostile = HostilePiece(name, offset, room);
  auto piece = hostile ? *hostile : area_.ReadPiece(name, offset, room);
  // Names so long that no byte fits would make the download go on for ever.
  if (piece.result != kFileDone || (piece.length == 0 && piece.remaining > 0)) {
    return WithResult(reply, piece.result != kFileDone ? piece.result : kFileBadName);
  }
  if (first) {
    transferFault_ = faults_.TakeTransferFault(true);
    due = FaultDue();
    if (due && due->kind != TransferFault::Kind::EmptyPiece) return faulted();
  }
  if (due) piece.length = 0;  // an empty piece: the bytes still to come stay as they are
  reply.put_i32(kPieceOffset, offset);
  reply.put_i32(kPieceLength, piece.length);
  reply.put_i32(kPieceRemaining, static_cast<std::int32_t>(std::min<std::int64_t>(
                                     piece.remaining, std::numeric_limits<std::int32_t>::max())));
  reply.put_text(kPieceEcho, name);
  reply.put_text(kPieceEcho + nameField, local);
  if (piece.remaining == piece.length) transferFault_.reset();
  return reply;
}

}  // namespace vandir::sim
