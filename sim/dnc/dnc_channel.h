// The controller's end of the DNC channel. The PC connects to port 2000 and then only
// answers: nothing moves until the controller sends a request. The port's listener thread
// hands each new connection over; the control thread runs the exchanges on it.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>

#include "link/package.h"
#include "sim/outcome.h"
#include "sim/wire/socket.h"

namespace vandir::sim {

class DncChannel {
 public:
  DncChannel() = default;
  DncChannel(const DncChannel&) = delete;
  DncChannel& operator=(const DncChannel&) = delete;
  ~DncChannel();

  // Holds `socket` as the PC's connection. A connection held before is closed: a PC that
  // connects again after losing its link must not find the channel taken by its own dead
  // connection.
  void Adopt(Socket socket);
  // Whether a PC connection is held; one the PC has closed is let go first.
  bool Connected();
  // Closes the connection held, if any.
  void Drop();
  // Bytes the PC sent without being asked, since start. They are read and thrown away
  // before each request, so they are never taken for its reply.
  long Unasked() const;

  // Sends all 512 bytes of `request`, as the PC reads whole packages; answers that count.
  Outcome<int> Send(const defPACKAGE& request, std::chrono::milliseconds timeout);
  // Sends `request` and reads the PC's reply, its header and then the rest of its iLength
  // bytes, all within `timeout`.
  Outcome<defPACKAGE> Exchange(const defPACKAGE& request, std::chrono::milliseconds timeout);

  // Each failure of Send and Exchange other than "no PC connected" drops the connection:
  // after a timeout or a broken framing no later reply could be told from a late one.

 private:
  using Link = std::shared_ptr<Socket>;
  using Deadline = std::chrono::steady_clock::time_point;

  Link Current();
  // Throws away what the PC sent unasked; false when it has closed the connection.
  bool Drain(Socket& link);
  Outcome<Link> Deliver(const defPACKAGE& request, Deadline deadline);
  // Lets `link` go unless another connection has replaced it meanwhile.
  Failure Lose(const Link& link, std::string why);

  mutable std::mutex mutex_;
  Link link_;
  long unasked_ = 0;
};

}  // namespace vandir::sim
