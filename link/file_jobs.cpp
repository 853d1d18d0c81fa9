// Upload and download jobs: they run on the transport thread inside one pass and exchange
// the file packages themselves, one piece at a time, between checks for cancel and stop.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "link/download_reply.h"
#include "link/transport.h"

namespace vandir {

namespace {

constexpr std::int16_t kUploadStart = 373;
constexpr std::int16_t kUploadData = 4352;
constexpr std::int16_t kUploadEnd = 4354;
constexpr std::int16_t kDownloadPiece = 368;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A download lands beside its target under a private name and takes the target's place only
// when it is complete, so a failed or cancelled download never costs the old file.
class PartialFile {
 public:
  explicit PartialFile(const std::string& target) : target_(target) {
    std::string pattern = target + ".part-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return;
    file_.reset(fdopen(fd, "w+b"));
    if (!file_) {
      close(fd);
      unlink(pattern.c_str());
      return;
    }
    path_ = pattern;
  }
  ~PartialFile() {
    file_.reset();
    if (!path_.empty()) unlink(path_.c_str());
  }
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  std::FILE* get() const { return file_.get(); }
  // Gives the file the target's name (and the permissions a new file would get).
  bool Commit() {
    if (std::fflush(file_.get()) != 0) return false;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fileno(file_.get()), 0666 & ~mask);
    file_.reset();
    if (std::rename(path_.c_str(), target_.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

 private:
  std::string target_;
  std::string path_;
  File file_;
};

std::int32_t Percent(std::int64_t done, std::int64_t size, std::int64_t bias) {
  return static_cast<std::int32_t>((done + bias) / ((size + bias) / 100));
}

}  // namespace

void Send_Recv::RequestUpload(const FileJob& job) {
  {
    std::lock_guard lock(jobMutex_);
    job_ = job;
  }
  FileOffset = job.offset;
  PieceSize = job.pieceSize;
  FileSize = job.fileSize;
  SendPercent = 0;
  FileError = kJobFine;
  Sending = true;
  Resume();
}

void Send_Recv::RequestDownload(const FileJob& job) {
  {
    std::lock_guard lock(jobMutex_);
    job_ = job;
  }
  FileOffset = 0;
  RecvPercent = 0;
  FileError = kJobFine;
  Receiving = true;
  Resume();
}

std::string Send_Recv::SourceFileName() const {
  std::lock_guard lock(jobMutex_);
  return job_.source;
}

std::string Send_Recv::TargetFileName() const {
  std::lock_guard lock(jobMutex_);
  return job_.target;
}

Send_Recv::FileJob Send_Recv::CurrentJob() const {
  std::lock_guard lock(jobMutex_);
  return job_;
}

void Send_Recv::StampReply() {
  const std::int64_t now = clock_.Now();
  cache_.WithCurrent([now](CacheData& c) { c.LastReplyTime = now; });
}

void Send_Recv::RunUploadJob() {
  const FileJob job = CurrentJob();
  FileError = kJobFine;
  SendPercent = 0;
  const auto srcLength = static_cast<int>(job.source.size());
  const auto tgtLength = static_cast<int>(job.target.size());
  const File file(std::fopen(job.source.c_str(), "rb"));
  bool on = true;
  const auto fail = [&](std::int32_t code) {
    FileError = code;
    on = false;
  };
  if (!file)
    fail(kUploadUnreadable);
  else if (job.fileSize < 0)
    fail(kUploadNegativeSize);
  else if (job.offset > 0 && std::fseek(file.get(), job.offset, SEEK_SET) != 0)
    fail(kUploadUnreadable);

  // Every package of the job is followed by a reply; its iParam1 is the controller's verdict.
  const auto exchange = [&](const defSEND_PACKAGE& p, int replyLength, int shortSend,
                            int shortRead) {
    defRECEIVE_PACKAGE reply;
    if (!SendExact(p.bytes.data(), static_cast<std::size_t>(p.iLength())))
      fail(shortSend);
    else if (!ReadExact(reply.bytes.data(), static_cast<std::size_t>(replyLength)))
      fail(shortRead);
    else if (reply.iParam1() != 0)
      fail(reply.iParam1());
    StampReply();
    return on;
  };
  const auto package = [&](std::int16_t command, int length) {
    defSEND_PACKAGE p;
    p.set_iHead(kPackageHead);
    p.set_iCommand(command);
    p.set_iLength(static_cast<std::int16_t>(length));
    p.set_iIndex(static_cast<std::int16_t>(PackageCounter++ & 0xFFFF));
    return p;
  };

  if (on && !Stopping) {
    defSEND_PACKAGE start = package(kUploadStart, 26 + srcLength + tgtLength);
    start.set_iParam1(job.overwrite ? 1 : 0);
    start.set_iParam2(static_cast<std::int16_t>(srcLength + 1));
    start.set_iParam3(static_cast<std::int16_t>(tgtLength + 1));
    start.put_i32(16, job.offset);
    start.put_i32(20, job.fileSize);
    start.put_text(24, job.source);
    start.put_text(24 + srcLength + 1, job.target);
    exchange(start, start.iLength(), kUploadStartShortSend, kUploadStartShortReply);
  }
  std::int64_t sent = job.offset;
  while (on && sent < job.fileSize && Sending && !Stopping) {
    const int n = static_cast<int>(std::min<std::int64_t>(job.fileSize - sent, kDataSize));
    defSEND_PACKAGE data = package(kUploadData, kHeaderSize + n);
    data.set_iParam3(static_cast<std::int16_t>(kHeaderSize + n));
    if (std::fread(data.bytes.data() + kData, 1, static_cast<std::size_t>(n), file.get()) !=
        static_cast<std::size_t>(n)) {
      fail(kUploadUnreadable);  // the local file shrank under the job
      break;
    }
    if (!exchange(data, kHeaderSize, kUploadDataShortSend, kUploadDataShortReply)) break;
    sent += n;
    FileOffset += n;
    SendPercent = Percent(FileOffset, job.fileSize, 100);
  }
  if (on && Sending && !Stopping) {
    defSEND_PACKAGE end = package(kUploadEnd, kHeaderSize);
    end.set_iParam3(kHeaderSize);
    exchange(end, kHeaderSize, kUploadEndShortSend, kUploadEndShortReply);
  }
  Sending = false;
}

bool Send_Recv::DownloadPiece(const FileJob& job, std::FILE* file, bool first,
                              std::int32_t& pieceLength, std::int64_t& remaining) {
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
  request.put_i32(16, FileOffset);
  request.put_text(20, job.source);
  request.put_text(20 + srcLength + 1, job.target);

  const int shortSend = first ? kDownloadFirstShortSend : kDownloadPieceShortSend;
  const int shortRead = first ? kDownloadFirstShortReply : kDownloadPieceShortReply;
  const int notWritten = first ? kDownloadFirstNotWritten : kDownloadPieceNotWritten;
  defRECEIVE_PACKAGE reply;
  if (!SendExact(request.bytes.data(), static_cast<std::size_t>(request.iLength()))) {
    FileError = shortSend;
    return false;
  }
  if (!first) StampReply();
  if (!ReadExact(reply.bytes.data(), kPackageSize)) {
    FileError = shortRead;
    return false;
  }
  const DownloadPieceReply piece = ReadDownloadPiece(reply, srcLength + tgtLength);
  if (piece.result != 0) {
    FileError = piece.result;
    return false;
  }
  pieceLength = piece.length;
  if (first) remaining = piece.remaining;
  // A later piece must make progress, or the job would never end.
  if (!piece.fits || (!first && piece.length == 0) ||
      std::fwrite(reply.bytes.data() + piece.offset, 1, static_cast<std::size_t>(piece.length),
                  file) != static_cast<std::size_t>(piece.length)) {
    FileError = notWritten;
    return false;
  }
  remaining -= pieceLength;
  FileOffset += pieceLength;
  StampReply();
  return true;
}

void Send_Recv::RunDownloadJob() {
  const FileJob job = CurrentJob();
  FileError = kJobFine;
  RecvPercent = 0;
  PartialFile file(job.target);
  if (!file.get()) {
    FileError = kDownloadUncreatable;
    Receiving = false;
    return;
  }
  std::int32_t piece = 0;
  std::int64_t remaining = 0;
  bool complete = false;
  if (!Stopping && DownloadPiece(job, file.get(), true, piece, remaining)) {
    // The first reply counts the bytes still to come with its own.
    FileSize = static_cast<std::int32_t>(std::clamp<std::int64_t>(remaining + piece, 0, INT32_MAX));
    if (remaining <= 0) RecvPercent = 100;
    while (remaining > 0 && Receiving && FileError == kJobFine && !Stopping) {
      if (!DownloadPiece(job, file.get(), false, piece, remaining)) break;
      const std::int64_t divisor = (static_cast<std::int64_t>(FileSize) + 1) / 100;
      if (divisor > 0) RecvPercent = static_cast<std::int32_t>((FileOffset + 1) / divisor);
    }
    complete = remaining <= 0 && FileError == kJobFine;
  }
  if (complete && !file.Commit()) FileError = kDownloadUncreatable;
  Receiving = false;
}

}  // namespace vandir
