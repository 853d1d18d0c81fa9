#include "sim/wire/connections.h"

#include <algorithm>

namespace vandir::sim {

namespace {

void ShutDown(Socket& socket) {
  std::error_code ignored;  // a peer that is gone already is just as dropped
  socket.shutdown(Socket::shutdown_both, ignored);
}

}  // namespace

Connections::Entry::Entry(Connections& owner, Socket& socket)
    : owner_(owner), socket_(socket) {
  std::lock_guard lock(owner_.mutex_);
  owner_.sockets_.push_back(&socket_);
  if (owner_.closed_) ShutDown(socket_);
}

Connections::Entry::~Entry() {
  // Closing under the lock: a drop never shuts down a descriptor number that is being reused.
  std::lock_guard lock(owner_.mutex_);
  std::erase(owner_.sockets_, &socket_);
  std::error_code ignored;
  socket_.close(ignored);
}

Connections::Entry Connections::Add(Socket& socket) { return Entry(*this, socket); }

void Connections::DropAll() {
  std::lock_guard lock(mutex_);
  for (auto* socket : sockets_) ShutDown(*socket);
}

void Connections::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  DropAll();
}

}  // namespace vandir::sim
