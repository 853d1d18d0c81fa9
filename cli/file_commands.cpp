// Commands on the controller's files: listing a folder, moving files both ways and the
// file-management commands (delete, rename, create and remove folders).
#include <chrono>
#include <thread>

#include "cli/commands.h"
#include "cli/errors.h"
#include "cli/listing.h"
#include "cli/progress.h"
#include "cli/transfer.h"
#include "link/listing_entry.h"
#include "link/transport.h"

namespace talvo::cli {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Before asking again for a part of a listing that brought nothing new.
constexpr auto kListingPause = std::chrono::milliseconds(50);

// Seconds of a clock that only moves forward, for the listing's time bound.
std::int64_t Seconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(SteadyClock::now().time_since_epoch())
      .count();
}

// Sends a request the link does not answer for itself (the listing, the file commands) once
// the transport is idle, so that a list busy for a moment cannot refuse it. Its only refusals
// are then a lost connection and the link's verdict on the names; false means the latter.
bool SentOnQuietTransport(Session& session, const Session::Ask& send) {
  session.Await([&] { return session.Link().SendCMD->IsIdle(); },
                "the link to finish its last request");
  if (send(session.Link()) == vandir::kOk) return true;
  if (!session.Link().SendCMD->Connected) throw NotConnected();
  return false;
}

// Rename, delete and the folder commands are counted by the link as they are sent and as
// they are answered; the error of the last answer tells how it went.
// `what` completes "the controller to ...".
void RunFileCommand(Session& session, const Session::Ask& send, const std::string& what) {
  vandir::TVandirCNC& link = session.Link();
  link.ResetCount();
  if (!SentOnQuietTransport(session, send))
    throw UsageError("cannot " + what + ": the name is not accepted");
  int requested = 0, answered = 0;
  session.Await(
      [&] {
        link.GetCount(&requested, &answered);
        return answered >= requested;
      },
      "the controller to " + what);
  std::string errorName;
  int error = 0;
  link.GetErrorFilename(&errorName, &error);
  if (error != 0) throw ControllerError(error);
}

}  // namespace

void Run(Session& session, const List& command, std::ostream& out) {
  vandir::TVandirCNC& link = session.Link();
  std::vector<vandir::FileListQueue::Block> entries;
  vandir::ListingCollector listing(entries, Seconds());
  for (int mode = 0;; mode = 1) {
    const std::size_t had = entries.size();
    const std::int32_t answered = session.Replies() + 1;
    if (mode == 1) listing.PartAsked();
    if (!SentOnQuietTransport(session, [&](vandir::TVandirCNC& l) {
          return l.FileList(command.folder, mode);
        }))
      throw UsageError("the controller cannot take the folder name '" + command.folder + "'");
    session.Await([&] { return session.Replies() >= answered; }, "the folder listing");
    listing.TakeWaiting(link.FileListQueue);
    // Every answer to the first request starts with the total unless the controller
    // refused the listing.
    if (!listing.Total())
      throw Failure(ExitStatus::kControllerRefused,
                    "the controller refused to list '" + command.folder + "'");
    if (listing.Complete()) break;
    if (listing.GivenUp(Seconds()))
      throw Failure(ExitStatus::kControllerRefused,
                    "the controller never completed the listing of '" + command.folder + "' (" +
                        std::to_string(listing.Taken()) + " of " +
                        std::to_string(*listing.Total()) + " entries)");
    if (entries.size() == had) std::this_thread::sleep_for(kListingPause);
  }
  if (*listing.Total() < 0) throw ControllerError(*listing.Total());
  for (const vandir::ListingEntry& entry : vandir::DecodeListingEntries(entries))
    out << ListingLine(entry) << '\n';
}

void Run(Session& session, const Get& command, std::ostream&) {
  ProgressBar bar(stderr, command.remote);
  Download(session, command.remote, command.local, [&](int percent) { bar.Show(percent); });
}

void Run(Session& session, const Put& command, std::ostream&) {
  ProgressBar bar(stderr, command.local);
  Upload(session, command.local, command.remote, command.overwrite,
         [&](int percent) { bar.Show(percent); });
}

void Run(Session& session, const Remove& command, std::ostream&) {
  RunFileCommand(
      session, [&](vandir::TVandirCNC& link) { return link.NCFileDelete(command.name); },
      "delete " + command.name);
}

void Run(Session& session, const Move& command, std::ostream&) {
  RunFileCommand(
      session,
      [&](vandir::TVandirCNC& link) { return link.NCFileRename(command.from, command.to); },
      "rename " + command.from + " to " + command.to);
}

void Run(Session& session, const MakeDir& command, std::ostream&) {
  RunFileCommand(
      session, [&](vandir::TVandirCNC& link) { return link.NCDirCreate(command.folder); },
      "create " + command.folder);
}

void Run(Session& session, const RemoveDir& command, std::ostream&) {
  RunFileCommand(
      session, [&](vandir::TVandirCNC& link) { return link.NCDirDelete(command.folder); },
      "remove " + command.folder);
}

}  // namespace talvo::cli
