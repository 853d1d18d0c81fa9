#include "tests/cli/shdr_agent.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sstream>

namespace talvo::cli::test {

namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, '|')) fields.push_back(field);
  if (line.ends_with('|')) fields.emplace_back();
  return fields;
}

bool IsCondition(const std::string& key) { return key == "alarm" || key == "warning"; }

}  // namespace

void AgentView::Apply(const std::string& line) {
  lines.push_back(line);
  if (line.starts_with("* ")) {
    commands.push_back(line);
    return;
  }
  const std::vector<std::string> f = Fields(line);
  if (f.size() >= 7 && IsCondition(f[1])) {
    auto& active = conditions[f[1]];
    const std::string& level = f[2];
    const std::string& code = f[3];
    if (level == "NORMAL" && code.empty())
      active.clear();
    else if (level == "NORMAL")
      active.erase(code);
    else if (level == "UNAVAILABLE")
      active = {{"", "UNAVAILABLE|"}};
    else {
      active.erase("");
      active[code] = level + "|" + f[6];
    }
    return;
  }
  for (std::size_t i = 1; i + 1 < f.size(); i += 2) values[f[i]] = f[i + 1];
}

std::string AgentView::Value(const std::string& key) const {
  const auto found = values.find(key);
  return found == values.end() ? "" : found->second;
}

ShdrAgent::ShdrAgent(std::uint16_t port, int receiveBuffer, const std::string& address) {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  // Before the connection, so that the window it announces is small from the start.
  if (receiveBuffer > 0)
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  ::inet_pton(AF_INET, address.c_str(), &peer.sin_addr);
  EXPECT_EQ(::connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer), 0) << address;
}

ShdrAgent::~ShdrAgent() { ::close(fd_); }

void ShdrAgent::Send(const std::string& text) {
  std::size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = ::send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

bool ShdrAgent::Receive(std::chrono::milliseconds timeout) {
  if (ended_) return false;
  pollfd ready{fd_, POLLIN, 0};
  if (::poll(&ready, 1, static_cast<int>(timeout.count())) <= 0) return true;
  char buffer[8192];
  const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
  if (n <= 0) {
    ended_ = true;
    return false;
  }
  pending_.append(buffer, static_cast<std::size_t>(n));
  std::size_t end = 0;
  while ((end = pending_.find('\n')) != std::string::npos) {
    view_.Apply(pending_.substr(0, end));
    pending_.erase(0, end + 1);
  }
  return true;
}

bool ShdrAgent::ReadUntil(const std::function<bool(const AgentView&)>& done,
                          std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done(view_)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !Receive(std::min(left, std::chrono::milliseconds(50))))
      return done(view_);
  }
  return true;
}

bool ShdrAgent::ClosedWithin(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline)
    if (!Receive(std::chrono::milliseconds(50))) return true;
  return false;
}

}  // namespace talvo::cli::test
