#include "cli/transfer.h"

#include <chrono>
#include <thread>

#include "link/transfer_watch.h"
#include "link/transport.h"

namespace talvo::cli {

namespace {

using SteadyClock = std::chrono::steady_clock;

// A transfer whose offset does not move for this long has stalled: the controller went
// silent in the middle of the file.
constexpr auto kTransferStall = std::chrono::seconds(30);
// A job of a small file ends within a millisecond or two; a backup of many such files would
// otherwise spend most of its time waiting to look again.
constexpr auto kTransferPoll = std::chrono::milliseconds(2);

struct TransferJob {
  Transfer direction;
  void (vandir::TVandirCNC::*cancel)();
  std::string localName;
};

void Follow(Session& session, const TransferJob& job, const TransferProgress& progress) {
  vandir::TVandirCNC& link = session.Link();
  const vandir::Send_Recv& transport = *link.SendCMD;
  std::int32_t offset = transport.FileOffset;
  auto moved = SteadyClock::now();
  for (;;) {
    const vandir::TransferProgress state = vandir::WatchTransfer(transport, job.direction);
    if (state.phase == vandir::TransferPhase::kFailed) {
      (link.*job.cancel)();
      // A dropped connection closes the socket before it reports -1, so the socket read
      // after the error tells a drop from a local file the job could not open.
      throw TransferFailure(job.direction, state.error, transport.SocketConnected(),
                            job.localName);
    }
    progress(state.percent);
    if (state.phase == vandir::TransferPhase::kFinished) return;
    if (transport.FileOffset != offset) {
      offset = transport.FileOffset;
      moved = SteadyClock::now();
    } else if (SteadyClock::now() - moved >= kTransferStall) {
      (link.*job.cancel)();
      throw TimedOut("the transfer to go on");
    }
    std::this_thread::sleep_for(kTransferPoll);
  }
}

}  // namespace

void Download(Session& session, const std::string& remote, const std::string& local,
              const TransferProgress& progress) {
  if (const int started = session.Link().ReceiveFile(remote, local); started != vandir::kOk)
    throw TransferStartFailure(started, local);
  Follow(session, {Transfer::kDownload, &vandir::TVandirCNC::CancelReceiveFile, local}, progress);
}

void Upload(Session& session, const std::string& local, const std::string& remote,
            bool overwrite, const TransferProgress& progress) {
  if (const int started = session.Link().SendFile(local, remote, overwrite); started != vandir::kOk)
    throw TransferStartFailure(started, local);
  Follow(session, {Transfer::kUpload, &vandir::TVandirCNC::CancelSendFile, local}, progress);
}

}  // namespace talvo::cli
