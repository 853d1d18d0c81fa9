// File jobs: their requests and cancels, what a running job may publish, and the upload job.
// The jobs run on the transport thread inside one pass and exchange the file packages
// themselves, one piece at a time, between checks for cancel and stop.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "link/transport.h"

namespace vandir {

namespace {

constexpr std::int16_t kUploadStart = 373;
constexpr std::int16_t kUploadData = 4352;
constexpr std::int16_t kUploadEnd = 4354;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::int32_t Clamped(std::int64_t value) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void Send_Recv::RequestUpload(const FileJob& job) {
  {
    std::lock_guard lock(jobMutex_);
    uploadJob_ = job;
    ++uploadRequests_;
    lastRequested_ = JobKind::Upload;
    FileOffset = job.offset;
    PieceSize = job.pieceSize;
    FileSize = job.fileSize;
    SendPercent = 0;
    FileError = kJobFine;
    Sending = true;
  }
  Wake();
}

void Send_Recv::RequestDownload(const FileJob& job) {
  {
    std::lock_guard lock(jobMutex_);
    downloadJob_ = job;
    ++downloadRequests_;
    lastRequested_ = JobKind::Download;
    FileOffset = 0;
    RecvPercent = 0;
    FileError = kJobFine;
    Receiving = true;
  }
  Wake();
}

void Send_Recv::CancelUpload() {
  std::lock_guard lock(jobMutex_);
  Sending = false;
}

void Send_Recv::CancelDownload() {
  std::lock_guard lock(jobMutex_);
  Receiving = false;
}

std::string Send_Recv::SourceFileName() const {
  std::lock_guard lock(jobMutex_);
  return (lastRequested_ == JobKind::Upload ? uploadJob_ : downloadJob_).source;
}

std::string Send_Recv::TargetFileName() const {
  std::lock_guard lock(jobMutex_);
  return (lastRequested_ == JobKind::Upload ? uploadJob_ : downloadJob_).target;
}

Send_Recv::RunningJob Send_Recv::TakeJob(JobKind kind) const {
  std::lock_guard lock(jobMutex_);
  return kind == JobKind::Upload ? RunningJob{kind, uploadJob_, uploadRequests_}
                                 : RunningJob{kind, downloadJob_, downloadRequests_};
}

bool Send_Recv::IsCurrent(const RunningJob& run) const {
  return run.kind == JobKind::Upload ? Sending && run.generation == uploadRequests_
                                     : Receiving && run.generation == downloadRequests_;
}

bool Send_Recv::StillCurrent(const RunningJob& run) const {
  std::lock_guard lock(jobMutex_);
  return IsCurrent(run);
}

bool Send_Recv::PublishProgress(const RunningJob& run, std::int64_t offset,
                                std::optional<std::int32_t> percent) {
  std::lock_guard lock(jobMutex_);
  if (!IsCurrent(run)) return false;
  if (lastRequested_ == run.kind) FileOffset = Clamped(offset);
  if (percent) (run.kind == JobKind::Upload ? SendPercent : RecvPercent) = *percent;
  return true;
}

bool Send_Recv::PublishFileSize(const RunningJob& run, std::int64_t size) {
  std::lock_guard lock(jobMutex_);
  if (!IsCurrent(run)) return false;
  if (lastRequested_ == run.kind) FileSize = Clamped(size);
  return true;
}

bool Send_Recv::PublishFailure(const RunningJob& run, std::int32_t code) {
  std::lock_guard lock(jobMutex_);
  if (!IsCurrent(run)) return false;
  if (lastRequested_ == run.kind) FileError = code;
  return true;
}

void Send_Recv::EndJob(const RunningJob& run, const std::function<std::int32_t()>& finish) {
  std::lock_guard lock(jobMutex_);
  if (!IsCurrent(run)) return;
  const std::int32_t result = finish ? finish() : kJobFine;
  if (result != kJobFine && lastRequested_ == run.kind) FileError = result;
  (run.kind == JobKind::Upload ? Sending : Receiving) = false;
}

void Send_Recv::StampReply() {
  const std::int64_t now = clock_.Now();
  cache_.WithCurrent([now](CacheData& c) { c.LastReplyTime = now; });
}

void Send_Recv::RunUploadJob() {
  const RunningJob run = TakeJob(JobKind::Upload);
  const FileJob& job = run.job;
  const auto srcLength = static_cast<int>(job.source.size());
  const auto tgtLength = static_cast<int>(job.target.size());
  const File file(std::fopen(job.source.c_str(), "rb"));
  bool on = true;
  const auto fail = [&](std::int32_t code) {
    PublishFailure(run, code);
    on = false;
  };
  if (!file)
    fail(kUploadUnreadable);
  else if (job.fileSize < 0)
    fail(kUploadNegativeSize);
  else if (job.offset > 0 && std::fseek(file.get(), job.offset, SEEK_SET) != 0)
    fail(kUploadUnreadable);

  // Every package of the job is followed by a reply; its iParam1 is the controller's verdict.
  // A short send or read leaves the stream out of step: the connection is dropped first, so
  // whoever sees the job's error also sees the connection gone.
  const auto exchange = [&](const defSEND_PACKAGE& p, int replyLength, int shortSend,
                            int shortRead) {
    defRECEIVE_PACKAGE reply;
    if (!SendExact(p.bytes.data(), static_cast<std::size_t>(p.iLength()))) {
      DropConnection();
      fail(shortSend);
    } else if (!ReadExact(reply.bytes.data(), static_cast<std::size_t>(replyLength))) {
      DropConnection();
      fail(shortRead);
    } else if (reply.iParam1() != 0) {
      fail(reply.iParam1());
    }
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
  while (on && sent < job.fileSize && !Stopping && StillCurrent(run)) {
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
    const auto percent = static_cast<std::int32_t>((sent + 100) / ((job.fileSize + 100) / 100));
    PublishProgress(run, sent, percent);
  }
  bool complete = false;
  if (on && !Stopping && StillCurrent(run)) {
    defSEND_PACKAGE end = package(kUploadEnd, kHeaderSize);
    end.set_iParam3(kHeaderSize);
    complete = exchange(end, kHeaderSize, kUploadEndShortSend, kUploadEndShortReply);
  }
  // Stopped short by the link shutting down (a cancelled job publishes nothing): never to be
  // read as an upload that ended well, however far its figure got.
  EndJob(run, [&] { return on && !complete ? kJobConnectionLost : kJobFine; });
}

}  // namespace vandir
