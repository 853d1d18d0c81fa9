// The sockets of the clients being served, so the control channel can cut them off
// while their port threads are blocked reading them.
#pragma once

#include <mutex>
#include <vector>

#include "sim/wire/socket.h"

namespace vandir::sim {

class Connections {
 public:
  // Keeps a socket reachable for drops while it is served; closes it when destroyed.
  class Entry {
   public:
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;
    ~Entry();

   private:
    friend class Connections;
    Entry(Connections& owner, Socket& socket);
    Connections& owner_;
    Socket& socket_;
  };

  Entry Add(Socket& socket);
  // Shuts every socket down, so blocked reads end and the port threads close them.
  void DropAll();
  // Drops every socket, now and from now on.
  void Close();

 private:
  std::mutex mutex_;
  std::vector<Socket*> sockets_;
  bool closed_ = false;
};

}  // namespace vandir::sim
