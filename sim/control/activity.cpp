#include "sim/control/activity.h"

#include "sim/control/control_text.h"

namespace vandir::sim {

void Activity::Connected() {
  std::lock_guard lock(mutex_);
  ++connections_;
}

void Activity::Received(const defPACKAGE& package) {
  std::lock_guard lock(mutex_);
  log_.emplace_back(package.iCommand(), package.iIndex());
  const auto begin = package.bytes.begin();
  last_[package.iCommand()].assign(begin, begin + package.iLength());
}

void Activity::Served(Kind kind) {
  std::lock_guard lock(mutex_);
  switch (kind) {
    case Kind::Handshake: ++handshakes_; break;
    case Kind::Echo: ++echoes_; break;
    case Kind::Logout: ++logouts_; break;
    case Kind::Request: ++requests_; break;
  }
}

void Activity::ClearLog() {
  std::lock_guard lock(mutex_);
  log_.clear();
  last_.clear();
}

std::string Activity::Stats() const {
  std::lock_guard lock(mutex_);
  return "connections=" + std::to_string(connections_) +
         " handshakes=" + std::to_string(handshakes_) + " logouts=" + std::to_string(logouts_) +
         " echoes=" + std::to_string(echoes_) + " requests=" + std::to_string(requests_);
}

std::string Activity::Log() const {
  std::lock_guard lock(mutex_);
  std::string text;
  for (const auto& [command, index] : log_) {
    text += ' ' + std::to_string(command) + ':' + std::to_string(index);
  }
  return text;
}

std::optional<std::string> Activity::Last(std::int16_t command) const {
  std::lock_guard lock(mutex_);
  const auto found = last_.find(command);
  if (found == last_.end()) return std::nullopt;
  return Hex(found->second);
}

}  // namespace vandir::sim
