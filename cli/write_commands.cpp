// Commands that change something on the controller. Only one write is outstanding at a
// time; its outcome arrives later as the set status.
#include "cli/commands.h"
#include "cli/errors.h"

namespace talvo::cli {

namespace {

// `submitted` is what the write operation returned.
void AwaitWrite(Session& session, int submitted, std::string_view what) {
  vandir::TVandirCNC& link = session.Link();
  if (submitted == vandir::kBadArgument)
    throw UsageError("the link refused " + std::string(what) + " as too long");
  if (submitted != vandir::kOk) {
    // The link refuses a write the login level does not allow and says so in the status;
    // otherwise it could not queue the write at all.
    if (link.QueryStatus() == vandir::kSetNoRight) throw *WriteFailure(vandir::kSetNoRight);
    throw NotConnected();
  }
  std::int16_t status = vandir::kSetPending;
  session.Await([&] { return (status = link.QueryStatus()) != vandir::kSetPending; },
                "the controller to confirm " + std::string(what));
  if (auto failure = WriteFailure(status)) throw *failure;
}

}  // namespace

void Run(Session& session, const SetParam& command, std::ostream&) {
  vandir::TVandirCNC& link = session.Link();
  const int submitted =
      command.password
          ? link.SetMakerParameter(command.number, command.value, *command.password)
          : link.SetUserParameter(command.number, command.value, "");
  AwaitWrite(session, submitted, "the parameter write");
}

void Run(Session& session, const Message& command, std::ostream&) {
  AwaitWrite(session, session.Link().Send_DIAGLOG(command.text), "the message");
}

}  // namespace talvo::cli
