#include "cli/adapter/controller_poller.h"
#include "link/transport.h"

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
    case State::kReadingSetup:
      ReadSetup(now);
      break;
    case State::kFetchingTexts:
      FetchTexts(now);
      break;
    case State::kPolling:
      Poll(now);
      break;
  }
  const bool resting = state_ == State::kWaiting ||
                       (state_ == State::kPolling && answers_.Answered(*link_.SendCMD));
  if (resting)
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
  setupReplies_ = link_.SendCMD->ReplyCount;
  setupAsked_ = 0;
  since_ = now;
  state_ = State::kReadingSetup;
  ReadSetup(now);
}

void ControllerPoller::ReadSetup(Clock::time_point now) {
  if (!link_.SendCMD->Connected) return Lose(now);
  // A request the transport could not take now is asked again on the next step: a key
  // parameter read from the empty cache would name a wrong axis.
  while (setupAsked_ < kSetupParameterBlocks.size() &&
         link_.AskParameter(kSetupParameterBlocks[setupAsked_]) == vandir::kOk)
    ++setupAsked_;
  const bool answered =
      setupAsked_ == kSetupParameterBlocks.size() && link_.SendCMD->CommandListCount() == 0 &&
      link_.SendCMD->ReplyCount - setupReplies_ >= static_cast<std::int32_t>(setupAsked_);
  if (!answered) {
    if (now - since_ >= times_.staleAfter) Lose(now);
    return;
  }
  setup_ = ReadControllerSetup(link_);
  textFetch_.Start(now);
  state_ = State::kFetchingTexts;
}

void ControllerPoller::FetchTexts(Clock::time_point now) {
  const TextFetch::Outcome outcome = textFetch_.Step(now);
  if (outcome == TextFetch::Outcome::kLost) return Lose(now);
  if (outcome == TextFetch::Outcome::kRunning) return;
  if (DisplayTexts texts = textFetch_.Take(); !texts.empty()) texts_ = std::move(texts);
  // What these first reads hand out is still the empty cache; what they ask for is
  // published with the next round.
  Read(now, false);
  nextRound_ = now + times_.interval;
  state_ = State::kPolling;
}

void ControllerPoller::Poll(Clock::time_point now) {
  if (!link_.SendCMD->Connected) return Lose(now);
  // Until the last round's requests are answered nothing more is queued, so a slow
  // controller never faces a growing list; it only skips rounds.
  if (!answers_.Answered(*link_.SendCMD)) {
    if (now - since_ >= times_.staleAfter) Lose(now);
    return;
  }
  if (now < nextRound_) return;
  // The one read of the round: it hands out what the last round's requests brought and
  // queues this round's.
  Read(now, true);
  nextRound_ += times_.interval;
  if (nextRound_ <= now) nextRound_ = now + times_.interval;
}

void ControllerPoller::Read(Clock::time_point now, bool publish) {
  answers_.Mark(*link_.SendCMD);
  const MachineState state = ReadMachineState(link_);
  if (publish) publish_(SnapshotOf(state, texts_, setup_, std::chrono::system_clock::now()));
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
