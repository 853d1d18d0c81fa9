#include "cli/adapter/controller_poller.h"

namespace talvo::cli::adapter {

namespace {

bool LoginAccepted(std::int16_t status) {
  return status == vandir::kLoginLimited || status == vandir::kLoginFull;
}

}  // namespace

ControllerPoller::ControllerPoller(vandir::TVandirCNC& link, std::string host, PollTimes times,
                                   DisplayTexts texts, Publish publish)
    : link_(link),
      host_(std::move(host)),
      times_(times),
      texts_(std::move(texts)),
      publish_(std::move(publish)) {}

ControllerPoller::~ControllerPoller() {
  if (connected_) link_.Disconnect();
}

void ControllerPoller::Tick(Clock::time_point now) {
  switch (state_) {
    case State::kWaiting:
      if (now >= since_) StartLogin(now);
      break;
    case State::kLoggingIn:
      AwaitLogin(now);
      break;
    case State::kPriming:
    case State::kPolling:
      Poll(now);
      break;
  }
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
  // The first reads queue the requests; what they hand out is still the empty cache.
  repliesAtRead_ = link_.SendCMD->ReplyCount;
  ReadMachineState(link_);
  state_ = State::kPriming;
  since_ = now;
}

void ControllerPoller::Poll(Clock::time_point now) {
  if (!link_.SendCMD->Connected) return Lose(now);
  if (!Answered()) {
    if (now - since_ >= times_.staleAfter) Lose(now);
    return;
  }
  // Counted before the reads queue their requests: a fast controller may have answered
  // them all before the reads return.
  repliesAtRead_ = link_.SendCMD->ReplyCount;
  const MachineState state = ReadMachineState(link_);
  state_ = State::kPolling;
  since_ = now;
  publish_(SnapshotOf(state, texts_, std::chrono::system_clock::now()));
}

bool ControllerPoller::Answered() const {
  return link_.SendCMD->CommandListCount() == 0 && link_.SendCMD->ReplyCount != repliesAtRead_;
}

void ControllerPoller::Lose(Clock::time_point now) {
  // Agents hear of it before the logout, which waits for a stalled controller.
  publish_(UnavailableSnapshot(std::chrono::system_clock::now()));
  link_.Disconnect();
  connected_ = false;
  state_ = State::kWaiting;
  since_ = now + times_.reconnectDelay;
}

}  // namespace talvo::cli::adapter
