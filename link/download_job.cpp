// The download job: piece requests and their replies, written into a file beside the target
// that takes the target's place only when the whole file arrived.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "link/download_reply.h"
#include "link/transfer_watch.h"
#include "link/transport.h"

namespace vandir {

namespace {

constexpr std::int16_t kDownloadPiece = 368;

// A download lands beside its target under a private name and takes the target's place only
// when it is complete, so a failed or cancelled download never costs the old file.
class PartialFile {
 public:
  // Made with the permissions of any new file (the umask applies at creation, so no other
  // thread's files are touched by reading it).
  explicit PartialFile(const std::string& target) : target_(target) {
    static std::atomic<unsigned> serial{0};
    int fd = -1;
    do {
      path_ = target + ".part-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
      fd = open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EEXIST);
    if (fd < 0) {
      path_.clear();
      return;
    }
    file_ = fdopen(fd, "w+b");
    if (!file_) {
      close(fd);
      unlink(path_.c_str());
      path_.clear();
    }
  }
  ~PartialFile() {
    Close();
    if (!path_.empty()) unlink(path_.c_str());
  }
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  std::FILE* get() const { return file_; }
  // Gives the file the target's name.
  bool Commit() {
    if (!Close()) return false;
    if (std::rename(path_.c_str(), target_.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

 private:
  bool Close() {
    const bool closed = !file_ || std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }

  std::string target_;
  std::string path_;
  std::FILE* file_ = nullptr;
};

// RecvPercent after `offset` bytes of `size`; none while the size is below 99 bytes, where the
// figure's divisor is 0.
std::optional<std::int32_t> ReceivedPercent(std::int64_t offset, std::int64_t size) {
  const std::int64_t divisor = (size + 1) / 100;
  if (divisor <= 0) return std::nullopt;
  return static_cast<std::int32_t>((offset + 1) / divisor);
}

}  // namespace

std::int32_t Send_Recv::DownloadPiece(const FileJob& job, std::FILE* file, bool first,
                                      std::int64_t& offset, std::int64_t& remaining) {
  const auto srcLength = static_cast<int>(job.source.size());
  const auto tgtLength = static_cast<int>(job.target.size());
  defSEND_PACKAGE request;
  request.set_iHead(kPackageHead);
  request.set_iCommand(kDownloadPiece);
  request.set_iLength(static_cast<std::int16_t>(22 + srcLength + tgtLength));
  request.set_iIndex(static_cast<std::int16_t>(PackageCounter++ & 0xFFFF));
  request.set_iParam1(first ? 0 : 1);
  request.set_iParam2(static_cast<std::int16_t>(srcLength + 1));
  request.set_iParam3(static_cast<std::int16_t>(tgtLength + 1));
  request.put_i32(16, static_cast<std::int32_t>(offset));
  request.put_text(20, job.source);
  request.put_text(20 + srcLength + 1, job.target);

  defRECEIVE_PACKAGE reply;
  if (!SendExact(request.bytes.data(), static_cast<std::size_t>(request.iLength())))
    return first ? kDownloadFirstShortSend : kDownloadPieceShortSend;
  if (!first) StampReply();
  if (!ReadExact(reply.bytes.data(), kPackageSize))
    return first ? kDownloadFirstShortReply : kDownloadPieceShortReply;
  const DownloadPieceReply piece = ReadDownloadPiece(reply, srcLength + tgtLength);
  if (piece.result != 0) return piece.result;
  if (first) remaining = piece.remaining;
  // A later piece must make progress, or the job would never end.
  if (!piece.fits || (!first && piece.length == 0) ||
      std::fwrite(reply.bytes.data() + piece.offset, 1, static_cast<std::size_t>(piece.length),
                  file) != static_cast<std::size_t>(piece.length))
    return first ? kDownloadFirstNotWritten : kDownloadPieceNotWritten;
  remaining -= piece.length;
  offset += piece.length;
  StampReply();
  return kJobFine;
}

void Send_Recv::RunDownloadJob() {
  const RunningJob run = TakeJob(JobKind::Download);
  if (Stopping) return EndJob(run, [] { return kJobConnectionLost; });
  PartialFile file(run.job.target);
  if (!file.get()) {
    PublishFailure(run, kDownloadUncreatable);
    return EndJob(run);
  }
  // The job asks for the offsets it wrote itself: nothing a caller starts meanwhile moves them.
  std::int64_t offset = 0, remaining = 0;
  std::int32_t error = DownloadPiece(run.job, file.get(), true, offset, remaining);
  if (error == kJobFine) {
    // The first reply counts the bytes still to come with its own.
    const std::int64_t size = remaining + offset;
    PublishFileSize(run, size);
    PublishProgress(run, offset, remaining <= 0 ? std::optional(100) : std::nullopt);
    while (error == kJobFine && remaining > 0 && !Stopping && StillCurrent(run)) {
      error = DownloadPiece(run.job, file.get(), false, offset, remaining);
      if (error == kJobFine) PublishProgress(run, offset, ReceivedPercent(offset, size));
    }
  }
  // A short send or read leaves the stream out of step: the connection is dropped first, so
  // whoever sees the job's error also sees the connection gone.
  if (ConnectionBroke(error, TransferDirection::kDownload)) DropConnection();
  if (error != kJobFine) PublishFailure(run, error);
  const bool complete = error == kJobFine && remaining <= 0;
  // Committed under the job lock: a download cancelled before this point never replaces the
  // target, and one that ended here is no longer running when a cancel comes. One the link's
  // shutdown stopped short ends as a lost connection, never as a whole file.
  EndJob(run, [&] {
    if (!complete) return error == kJobFine ? kJobConnectionLost : kJobFine;
    return file.Commit() ? kJobFine : kDownloadUncreatable;
  });
}

}  // namespace vandir
