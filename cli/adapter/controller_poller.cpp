#include "cli/adapter/controller_poller.h"

#include <algorithm>

namespace talvo::cli::adapter {

namespace {

using std::chrono::milliseconds;

// How often a poller waiting for the controller looks again: the answers to one round take
// a few milliseconds, and agents should hear of them at once.
constexpr milliseconds kAnswerCheck{2};

bool LoginAccepted(std::int16_t status) {
  return status == vandir::kLoginLimited || status == vandir::kLoginFull;
}

}  // namespace

ControllerPoller::ControllerPoller(vandir::TVandirCNC& link, std::string host, PollTimes times,
                                   std::filesystem::path textFolder, Publish publish)
    : link_(link),
      host_(std::move(host)),
      times_(times),
      textFetch_(link, std::move(textFolder), times.staleAfter),
      publish_(std::move(publish)) {}

ControllerPoller::~ControllerPoller() {
  if (connected_) link_.Disconnect();
}

milliseconds ControllerPoller::Tick(Clock::time_point now) {
  switch (state_) {
    case State::kWaiting:
      if (now >= nextRound_) StartLogin(now);
      break;
    case State::kLoggingIn:
      AwaitLogin(now);
      break;
    case State::kFetchingTexts:
      FetchTexts(now);
      break;
    case State::kAwaiting:
      Await(now);
      break;
    case State::kResting:
      Rest(now);
      break;
  }
  if (state_ == State::kWaiting || state_ == State::kResting)
    return std::max(milliseconds(0),
                    std::chrono::ceil<milliseconds>(nextRound_ - Clock::now()));
  return kAnswerCheck;
}

void ControllerPoller::StartLogin(Clock::time_point now) {
  link_.Connect_TCP(1, host_);
  connected_ = true;
  state_ = State::kLoggingIn;
  since_ = now;
}

void ControllerPoller::AwaitLogin(Clock::time_point now) {
  const std::int16_t login = link_.QueryUserStatus();
  if (login == vandir::kNoNewLogin) {
    if (now - since_ >= times_.loginTimeout) Lose(now);
    return;
  }
  if (!LoginAccepted(login)) return Lose(now);
  textFetch_.Start(now);
  state_ = State::kFetchingTexts;
}

void ControllerPoller::FetchTexts(Clock::time_point now) {
  const TextFetch::Outcome outcome = textFetch_.Step(now);
  if (outcome == TextFetch::Outcome::kLost) return Lose(now);
  if (outcome == TextFetch::Outcome::kRunning) return;
  if (DisplayTexts texts = textFetch_.Take(); !texts.empty()) texts_ = std::move(texts);
  // What the first reads hand out is still the empty cache.
  Read(now, false);
  nextRound_ = now + times_.interval;
  state_ = State::kAwaiting;
}

void ControllerPoller::Await(Clock::time_point now) {
  if (!link_.SendCMD->Connected) return Lose(now);
  if (answers_.Answered(*link_.SendCMD)) {
    Read(now, true);
    state_ = State::kResting;
  } else if (now - since_ >= times_.staleAfter) {
    Lose(now);
  }
}

void ControllerPoller::Rest(Clock::time_point now) {
  if (!link_.SendCMD->Connected) return Lose(now);
  if (now < nextRound_) return;
  nextRound_ = now + times_.interval;
  state_ = State::kAwaiting;
  // The reads that published the last round queued requests too. Until those are
  // answered nothing more is queued, so a slow controller never faces a growing list.
  if (!answers_.Answered(*link_.SendCMD)) return;
  // What came in since the last reads; this round's answers as soon as they are in.
  Read(now, true);
}

void ControllerPoller::Read(Clock::time_point now, bool publish) {
  answers_.Mark(*link_.SendCMD);
  const MachineState state = ReadMachineState(link_);
  if (publish) publish_(SnapshotOf(state, texts_, std::chrono::system_clock::now()));
  since_ = now;
}

void ControllerPoller::Lose(Clock::time_point now) {
  // Agents hear of it before the logout, which waits for a stalled controller.
  publish_(UnavailableSnapshot(std::chrono::system_clock::now()));
  link_.Disconnect();
  connected_ = false;
  state_ = State::kWaiting;
  nextRound_ = now + times_.reconnectDelay;
}

}  // namespace talvo::cli::adapter
