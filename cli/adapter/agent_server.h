// The agents' side of the adapter: a listening socket and the agents connected to it, all
// served by one thread of its own. Each agent gets every current value when it connects,
// then only the changes. An agent that falls behind, sends something other than agent
// commands, or comes when the room is full is dropped; the others never wait for it.
#pragma once

#include <asio.hpp>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "cli/adapter/snapshot.h"

namespace talvo::cli::adapter {

struct AgentLimits {
  std::size_t maxAgents = 16;
  // Unsent bytes an agent may have waiting before it is taken for stalled.
  std::size_t maxQueuedBytes = 1 << 20;
  // An agent line longer than this is garbage.
  std::size_t maxLineLength = 1024;
  // Told to agents in the answer to their PING: how long they may wait for a sign of life.
  std::chrono::milliseconds heartbeat{10000};
};

class AgentServer {
 public:
  // Listens on `address` (all interfaces when empty) and `port` (any free port when 0);
  // throws asio::system_error when it cannot.
  AgentServer(const std::string& address, std::uint16_t port, AgentLimits limits,
              Snapshot initial);
  ~AgentServer();
  AgentServer(const AgentServer&) = delete;
  AgentServer& operator=(const AgentServer&) = delete;

  std::uint16_t Port() const { return port_; }
  // From any thread: the new state; agents get what changed.
  void Publish(Snapshot snapshot);

  std::size_t Agents() const { return agentCount_.load(); }
  std::uint64_t Dropped() const { return dropped_.load(); }

 private:
  using Socket = asio::basic_stream_socket<asio::ip::tcp, asio::io_context::executor_type>;
  using Acceptor = asio::basic_socket_acceptor<asio::ip::tcp, asio::io_context::executor_type>;
  struct Agent;
  using AgentPtr = std::shared_ptr<Agent>;

  void Accept();
  void Admit(Socket socket);
  void Read(const AgentPtr& agent);
  // False when the agent sent garbage.
  bool TakeLines(const AgentPtr& agent);
  void Send(const AgentPtr& agent, std::shared_ptr<const std::string> text);
  void WriteNext(const AgentPtr& agent);
  void Drop(const AgentPtr& agent);
  void Broadcast(Snapshot snapshot);

  // Declared first, destroyed last: the sockets below belong to it.
  asio::io_context io_;
  Acceptor acceptor_;
  AgentLimits limits_;
  std::uint16_t port_ = 0;
  // Touched only on the server's thread.
  std::set<AgentPtr> agents_;
  Snapshot current_;
  std::atomic<std::size_t> agentCount_{0};
  std::atomic<std::uint64_t> dropped_{0};
  std::thread thread_;
};

}  // namespace talvo::cli::adapter
