#include "cli/session.h"

#include <thread>

#include "cli/errors.h"
#include "link/transport.h"

namespace talvo::cli {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(2);

}  // namespace

Session::~Session() {
  if (connected_) link_.Disconnect();
}

void Session::Connect(const std::string& host, bool dnc) {
  if (link_.Connect_TCP(dnc ? 2 : 1, host) != vandir::kOk) throw NotConnected();
  connected_ = true;
  std::int16_t login = vandir::kNoNewLogin;
  const auto deadline = std::chrono::steady_clock::now() + kLoginTimeout;
  while ((login = link_.QueryUserStatus()) == vandir::kNoNewLogin) {
    if (std::chrono::steady_clock::now() >= deadline) throw TimedOut("the login");
    std::this_thread::sleep_for(kPollInterval);
  }
  if (auto failure = LoginFailure(login)) throw *failure;
}

void Session::Await(const std::function<bool()>& done, std::string_view what,
                    std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (!link_.SendCMD->Connected) throw NotConnected();
    if (std::chrono::steady_clock::now() >= deadline) throw TimedOut(what);
    std::this_thread::sleep_for(kPollInterval);
  }
}

void Session::Request(const std::vector<Ask>& asks, std::string_view what) {
  const std::int32_t answered = Replies() + static_cast<std::int32_t>(asks.size());
  for (const Ask& ask : asks) Await([&] { return ask(link_) == vandir::kOk; }, what);
  Await([&] { return Replies() >= answered; }, what);
}

}  // namespace talvo::cli
