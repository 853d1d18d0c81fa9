// Send_Recv: the worker thread that owns the command-channel socket.
//
// It connects, performs the login handshake and then exchanges queued packages strictly
// one at a time: send one, read its reply, hand the reply to the decoder, take the next.
// Priority requests go before normal ones. Between passes the thread sleeps ("suspended")
// until a producer resumes it; while it sleeps it also serves the keep-alive echo and the
// logout, so the socket is only ever used by this thread.
#pragma once

#include <atomic>
#include <cstdio>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "link/cache.h"
#include "link/clock.h"
#include "link/data_record_sink.h"
#include "link/file_list_queue.h"
#include "link/package.h"
#include "link/result_codes.h"

namespace vandir {

class Send_Recv {
 public:
  Send_Recv(Cache& cache, FileListQueue& fileList, const Clock& clock,
            DataRecordSink* recorder);
  ~Send_Recv();
  Send_Recv(const Send_Recv&) = delete;
  Send_Recv& operator=(const Send_Recv&) = delete;

  void SetHost(std::string address, int port);
  std::string HostAddress() const;
  int HostPort() const;

  // Opens the lists and wakes the thread; the next pass connects.
  void Start();
  // Closes the lists, sends the logout package if connected and closes the socket. Returns
  // within about two seconds even when the controller does not answer.
  void Logout();

  // 0 when queued; -1 when the socket is not connected or the lists are busy.
  int EnqueueNormal(const defSEND_PACKAGE& package);
  int EnqueuePriority(const defSEND_PACKAGE& package);

  // Wakes the thread for queued work while the socket is connected.
  void Resume();
  bool IsSuspended() const { return suspended_.load(); }
  std::size_t CommandListCount() const;
  std::size_t PriorityListCount() const;
  // Asleep with nothing queued: until a request wakes it, the thread leaves its lists alone,
  // so a request queued now cannot find them busy. The lists are read first: the thread takes
  // a request off them only once awake, so empty lists and then a sleeping thread mean the
  // pass that took the last request has ended, however the two reads interleave with it.
  bool IsIdle() const {
    return CommandListCount() == 0 && PriorityListCount() == 0 && IsSuspended();
  }
  bool SocketConnected() const { return socketConnected_.load(); }

  // File jobs run on this thread inside a pass and hold the socket until they end. The
  // request stores the job, clears the progress and wakes the thread. Each kind of job keeps
  // its own request and progress: a new request replaces a job of its kind still running,
  // which stops at its next step and publishes nothing more, and a cancelled job publishes
  // nothing after the cancel. FileError, FileOffset, PieceSize, FileSize and the names
  // describe the job requested last.
  struct FileJob {
    std::string source;  // upload: local file; download: controller file
    std::string target;  // upload: controller name; download: local file
    std::int32_t offset = 0;
    std::int32_t pieceSize = 0;
    std::int32_t fileSize = 0;
    bool overwrite = false;
  };
  void RequestUpload(const FileJob& job);
  void RequestDownload(const FileJob& job);
  // Clears the job's flag. A cancelled upload sends no end package; a cancelled download
  // leaves the local file as it was before the download.
  void CancelUpload();
  void CancelDownload();
  std::string SourceFileName() const;
  std::string TargetFileName() const;

  // Keep-alive: the thread exchanges the echo package when it is idle. Request does not
  // wait; Exchange waits at most `wait` for the answer and reports whether it came.
  void RequestEcho(const defSEND_PACKAGE& echo);
  bool ExchangeEcho(const defSEND_PACKAGE& echo, std::chrono::milliseconds wait);

  // Published state, read by the component and by the maintenance service.
  std::atomic<std::uint32_t> PackageCounter{0};
  std::atomic<bool> Stopping{true};
  std::atomic<bool> Connected{false};
  std::atomic<bool> ListBusy{true};
  std::atomic<std::int16_t> LoginStatus{kLoginNoConnection};
  std::atomic<bool> LoginStatusNew{false};
  std::atomic<std::int32_t> FileError{0};
  std::atomic<bool> Sending{false};
  std::atomic<std::int32_t> SendPercent{0};
  std::atomic<bool> Receiving{false};
  std::atomic<std::int32_t> RecvPercent{0};
  std::atomic<std::int32_t> ReplyCount{0};
  std::atomic<std::int32_t> FileOffset{0};
  std::atomic<std::int32_t> PieceSize{0};
  std::atomic<std::int32_t> FileSize{0};

 private:
  using List = std::deque<defSEND_PACKAGE>;

  void Run();
  // Wakes the thread whatever the socket's state: a start connects, a file job runs.
  void Wake();
  bool WaitWhileSuspended();
  void ServeIdleRequests(std::unique_lock<std::mutex>& lock);
  void RunPasses();
  bool ConnectStep();
  bool OpenConnection(const std::string& address, int port);
  bool WorkStep();
  bool PopNext(defSEND_PACKAGE& out);
  bool ListsEmpty() const;
  void Exchange(const defSEND_PACKAGE& request);
  enum class JobKind { Upload, Download };
  // A job as this thread runs it: its request, and which request of its kind it was.
  struct RunningJob {
    JobKind kind;
    FileJob job;
    std::uint64_t generation;
  };
  RunningJob TakeJob(JobKind kind) const;
  bool IsCurrent(const RunningJob& run) const;  // under jobMutex_
  bool StillCurrent(const RunningJob& run) const;
  // Each publishes only while the job is current, and tells whether it still is.
  bool PublishProgress(const RunningJob& run, std::int64_t offset,
                       std::optional<std::int32_t> percent);
  bool PublishFileSize(const RunningJob& run, std::int64_t size);
  bool PublishFailure(const RunningJob& run, std::int32_t code);
  // Ends a job that is still current: `finish` runs under the job lock, so a cancel comes
  // either before it (and it does not run) or after the job ended; a result other than
  // kJobFine becomes FileError. Then the job's flag is cleared.
  void EndJob(const RunningJob& run, const std::function<std::int32_t()>& finish = {});
  void RunUploadJob();
  void RunDownloadJob();
  // One piece request and its reply: kJobFine, or the job's error code.
  std::int32_t DownloadPiece(const FileJob& job, std::FILE* file, bool first,
                             std::int64_t& offset, std::int64_t& remaining);
  void StampReply();
  void DropConnection();
  void LogOutAndClose();
  bool SendExact(const std::uint8_t* data, std::size_t n);
  bool ReadExact(std::uint8_t* data, std::size_t n);
  void CloseSocket();
  void InterruptSocket();
  void ClearLists();
  void UpdateCounts();  // under listMutex_
  bool ConnectAborted() const;
  int Enqueue(List& list, const defSEND_PACKAGE& package);

  // The two kinds' requests, the count of requests of each kind (a running job compares its
  // own with it) and which kind the shared published fields describe.
  mutable std::mutex jobMutex_;
  FileJob uploadJob_;
  FileJob downloadJob_;
  std::uint64_t uploadRequests_ = 0;
  std::uint64_t downloadRequests_ = 0;
  JobKind lastRequested_ = JobKind::Upload;

  Cache& cache_;
  FileListQueue& fileList_;
  const Clock& clock_;
  DataRecordSink* const recorder_;

  mutable std::mutex hostMutex_;
  std::string hostAddress_;
  int hostPort_ = 0;

  mutable std::mutex listMutex_;
  List commandList_;
  List priorityList_;
  std::atomic<std::size_t> commandCount_{0};
  std::atomic<std::size_t> priorityCount_{0};

  // Socket open/close happen under socketMutex_, so another thread can safely shut the
  // socket down to wake a blocked read. Reads and writes are made by this thread only.
  struct Socket;
  const std::unique_ptr<Socket> socket_;
  mutable std::mutex socketMutex_;
  std::atomic<bool> socketConnected_{false};

  // Suspension and the requests served while idle.
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  std::condition_variable idleDone_;
  bool resumePending_ = false;
  bool terminated_ = false;
  bool logoutPending_ = false;
  std::uint64_t logoutsServed_ = 0;
  std::optional<defSEND_PACKAGE> echoPending_;
  std::uint64_t echoesServed_ = 0;
  std::atomic<bool> suspended_{true};
  std::atomic<bool> abortConnect_{false};

  std::thread thread_;
};

}  // namespace vandir
