// One connection to a controller for the length of one command, and the waits that turn
// the link's asynchronous answers into a command that either finishes or fails.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/transport.h"
#include "link/vandircnc.h"

namespace talvo::cli {

// The link reports a refused connection within five seconds; a little more covers the
// handshake behind it.
inline constexpr auto kLoginTimeout = std::chrono::seconds(6);
// A controller on the shop network answers in milliseconds; ten seconds means it will not.
inline constexpr auto kAnswerTimeout = std::chrono::seconds(10);

class Session {
 public:
  Session() = default;
  // Logs out when connected.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  vandir::TVandirCNC& Link() { return link_; }

  // Connects on the command port, or the DNC port with `dnc`, and waits for the login.
  void Connect(const std::string& host, bool dnc);

  // Polls `done` until it holds; fails when the connection is lost or the time runs out.
  void Await(const std::function<bool()>& done, std::string_view what,
             std::chrono::milliseconds timeout = kAnswerTimeout);

  // Replies decoded so far. Each request is answered by one reply, so a count taken before
  // queuing tells when the requests queued since have all been answered.
  std::int32_t Replies() const { return link_.SendCMD->ReplyCount; }

  // A read hands out what an earlier reply left in the cache, so a command first queues the
  // requests behind its reads with `asks` and waits for their answers, then reads.
  // The reads themselves would queue the requests too, but they drop a request silently
  // when the transport is taking one from its list at the same moment; a request builder
  // reports that, and is called again.
  using Ask = std::function<int(vandir::TVandirCNC&)>;
  void Request(const std::vector<Ask>& asks, std::string_view what);

 private:
  vandir::TVandirCNC link_;
  bool connected_ = false;
};

}  // namespace talvo::cli
