// The controller's side of the adapter: keeps a connection to the controller, reads its
// key parameters and texts after each login, then reads its state once per interval: each
// read hands on what the previous one asked the controller for. A connection that drops, a login that fails and a controller that stops
// answering all end in an unavailable state, and the poller connects again by itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "cli/adapter/answer_watch.h"
#include "cli/adapter/controller_setup.h"
#include "cli/adapter/controller_texts.h"
#include "cli/adapter/machine_items.h"
#include "cli/adapter/snapshot.h"
#include "link/vandircnc.h"

namespace talvo::cli::adapter {

struct PollTimes {
  std::chrono::milliseconds interval{100};
  // A controller that answers nothing for this long is taken for lost.
  std::chrono::milliseconds staleAfter{3000};
  std::chrono::milliseconds loginTimeout{6000};
  // Between losing the controller and the next attempt.
  std::chrono::milliseconds reconnectDelay{1000};
};

class ControllerPoller {
 public:
  using Clock = std::chrono::steady_clock;
  using Publish = std::function<void(Snapshot)>;

  // The controller's alarm texts are downloaded into `textFolder` after each login.
  ControllerPoller(vandir::TVandirCNC& link, std::string host, PollTimes times,
                   std::filesystem::path textFolder, Publish publish);
  // Logs out when connected.
  ~ControllerPoller();
  ControllerPoller(const ControllerPoller&) = delete;
  ControllerPoller& operator=(const ControllerPoller&) = delete;

  // One step; never waits for the controller, except for the logout after a loss.
  // Returns how long until the poller wants the next step.
  std::chrono::milliseconds Tick(Clock::time_point now);

 private:
  enum class State {
    kWaiting,    // until the next connection attempt
    kLoggingIn,
    kReadingSetup,
    kFetchingTexts,
    kPolling,
  };

  void StartLogin(Clock::time_point now);
  void AwaitLogin(Clock::time_point now);
  void ReadSetup(Clock::time_point now);
  void FetchTexts(Clock::time_point now);
  void Poll(Clock::time_point now);
  // Reads the cache, which queues the requests that refresh it, and hands the values on
  // with `publish`.
  void Read(Clock::time_point now, bool publish);
  void Lose(Clock::time_point now);

  vandir::TVandirCNC& link_;
  std::string host_;
  PollTimes times_;
  TextFetch textFetch_;
  // Those of the last controller that gave any: a file missing now keeps the texts known.
  DisplayTexts texts_;
  ControllerSetup setup_;
  std::size_t setupAsked_ = 0;      // blocks of key parameters queued
  std::int32_t setupReplies_ = 0;   // the reply count before they were
  Publish publish_;
  State state_ = State::kWaiting;
  bool connected_ = false;
  Clock::time_point since_{};      // the login's start, or the last reads
  Clock::time_point nextRound_{};  // kWaiting: the next attempt; kPolling: the next read
  AnswerWatch answers_;  // of the last reads
};

}  // namespace talvo::cli::adapter
