#include "cli/adapter/agent_server.h"

#include <array>
#include <deque>
#include <vector>

#include "cli/adapter/shdr.h"

namespace talvo::cli::adapter {

namespace {

// After a failed accept (out of descriptors, say) before trying again, so that a lasting
// failure does not spin.
constexpr auto kAcceptRetry = std::chrono::milliseconds(100);

}  // namespace

struct AgentServer::Agent {
  explicit Agent(Socket s) : socket(std::move(s)) {}

  Socket socket;
  std::array<char, 512> input{};
  std::string partialLine;
  std::deque<std::shared_ptr<const std::string>> queue;
  std::size_t queuedBytes = 0;
  bool writing = false;
  bool dropped = false;
};

AgentServer::AgentServer(const std::string& address, std::uint16_t port, AgentLimits limits,
                         Snapshot initial)
    : acceptor_(io_), limits_(limits), current_(std::move(initial)) {
  const asio::ip::tcp::endpoint endpoint(
      address.empty() ? asio::ip::address(asio::ip::address_v4::any())
                      : asio::ip::make_address(address),
      port);
  acceptor_.open(endpoint.protocol());
  acceptor_.set_option(asio::socket_base::reuse_address(true));
  acceptor_.bind(endpoint);
  acceptor_.listen();
  port_ = acceptor_.local_endpoint().port();
  Accept();
  thread_ = std::thread([this] { io_.run(); });
}

AgentServer::~AgentServer() {
  // Once nothing is left open, every pending operation ends and the thread returns.
  asio::post(io_, [this] {
    asio::error_code ignored;
    acceptor_.close(ignored);
    for (const AgentPtr& agent : std::vector<AgentPtr>(agents_.begin(), agents_.end()))
      Drop(agent);
  });
  thread_.join();
}

void AgentServer::Publish(Snapshot snapshot) {
  asio::post(io_, [this, snapshot = std::move(snapshot)]() mutable {
    Broadcast(std::move(snapshot));
  });
}

void AgentServer::Accept() {
  acceptor_.async_accept([this](const asio::error_code& error, Socket socket) {
    if (error == asio::error::operation_aborted) return;
    if (!error) {
      Admit(std::move(socket));
      Accept();
      return;
    }
    auto timer = std::make_shared<asio::steady_timer>(io_, kAcceptRetry);
    timer->async_wait([this, timer](const asio::error_code& waited) {
      if (!waited && acceptor_.is_open()) Accept();
    });
  });
}

void AgentServer::Admit(Socket socket) {
  asio::error_code ignored;
  if (agents_.size() >= limits_.maxAgents) {
    socket.close(ignored);
    ++dropped_;
    return;
  }
  socket.set_option(asio::ip::tcp::no_delay(true), ignored);
  auto agent = std::make_shared<Agent>(std::move(socket));
  agents_.insert(agent);
  agentCount_ = agents_.size();
  Send(agent, std::make_shared<const std::string>(FullDump(current_)));
  Read(agent);
}

void AgentServer::Read(const AgentPtr& agent) {
  agent->socket.async_read_some(
      asio::buffer(agent->input), [this, agent](const asio::error_code& error, std::size_t n) {
        if (agent->dropped) return;
        if (error) return Drop(agent);
        agent->partialLine.append(agent->input.data(), n);
        if (!TakeLines(agent)) return Drop(agent);
        if (!agent->dropped) Read(agent);
      });
}

bool AgentServer::TakeLines(const AgentPtr& agent) {
  std::string& pending = agent->partialLine;
  std::size_t end = 0;
  while (!agent->dropped && (end = pending.find('\n')) != std::string::npos) {
    std::string line = pending.substr(0, end);
    pending.erase(0, end + 1);
    if (line.ends_with('\r')) line.pop_back();
    if (line.size() > limits_.maxLineLength) return false;
    if (line.empty()) continue;
    // Agents send commands only, each starting with "* "; those besides PING need no answer.
    if (!line.starts_with("* ")) return false;
    if (line == "* PING") Send(agent, std::make_shared<const std::string>(Pong(limits_.heartbeat)));
  }
  return pending.size() <= limits_.maxLineLength;
}

void AgentServer::Send(const AgentPtr& agent, std::shared_ptr<const std::string> text) {
  if (agent->dropped) return;
  if (agent->queuedBytes + text->size() > limits_.maxQueuedBytes) return Drop(agent);
  agent->queuedBytes += text->size();
  agent->queue.push_back(std::move(text));
  if (!agent->writing) WriteNext(agent);
}

void AgentServer::WriteNext(const AgentPtr& agent) {
  agent->writing = true;
  const std::shared_ptr<const std::string> text = agent->queue.front();
  asio::async_write(agent->socket, asio::buffer(*text),
                    [this, agent, text](const asio::error_code& error, std::size_t) {
                      if (agent->dropped) return;
                      if (error) return Drop(agent);
                      agent->queuedBytes -= text->size();
                      agent->queue.pop_front();
                      agent->writing = false;
                      if (!agent->queue.empty()) WriteNext(agent);
                    });
}

void AgentServer::Drop(const AgentPtr& agent) {
  if (agent->dropped) return;
  agent->dropped = true;
  asio::error_code ignored;
  agent->socket.close(ignored);
  agent->queue.clear();
  agents_.erase(agent);
  agentCount_ = agents_.size();
  ++dropped_;
}

void AgentServer::Broadcast(Snapshot snapshot) {
  const std::string changes = Changes(current_, snapshot);
  current_ = std::move(snapshot);
  if (changes.empty()) return;
  const auto text = std::make_shared<const std::string>(changes);
  // Sending may drop an agent, which leaves the set.
  for (const AgentPtr& agent : std::vector<AgentPtr>(agents_.begin(), agents_.end()))
    Send(agent, text);
}

}  // namespace talvo::cli::adapter
