// A minimal MTConnect agent for the adapter tests: connects, reads SHDR lines and keeps
// the state they describe, as an agent would.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace talvo::cli::test {

// What the lines received so far say.
struct AgentView {
  std::map<std::string, std::string> values;
  // Condition item -> native code -> "LEVEL|text"; UNAVAILABLE conditions are listed
  // under the code "".
  std::map<std::string, std::map<std::string, std::string>> conditions;
  std::vector<std::string> lines;  // every line, in order, without its end
  std::vector<std::string> commands;  // the lines starting with "* "

  // Applies one line.
  void Apply(const std::string& line);
  std::string Value(const std::string& key) const;
};

class ShdrAgent {
 public:
  explicit ShdrAgent(std::uint16_t port, int receiveBuffer = 0,
                     const std::string& address = "127.0.0.1");

  ~ShdrAgent();
  ShdrAgent(const ShdrAgent&) = delete;
  ShdrAgent& operator=(const ShdrAgent&) = delete;

  void Send(const std::string& text);
  // Reads until `done` holds for the view or the time runs out; the last value of `done`.
  bool ReadUntil(const std::function<bool(const AgentView&)>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Reads until the adapter closes the connection; false when it stays open.
  bool ClosedWithin(std::chrono::milliseconds timeout);
  const AgentView& View() const { return view_; }

 private:
  // Takes what has arrived within `timeout`; false once the connection has ended.
  bool Receive(std::chrono::milliseconds timeout);

  int fd_ = -1;
  bool ended_ = false;
  std::string pending_;
  AgentView view_;
};

}  // namespace talvo::cli::test
