// One client connection: the handshake, then one reply per request until the client
// logs out, breaks the framing or goes away.
#pragma once

#include <string>

#include "sim/wire/socket.h"

#include "link/package.h"
#include "sim/controller.h"
#include "sim/files/file_service.h"

namespace vandir::sim {

class Session {
 public:
  // channel: what the handshake of this port carries in iParam1.
  Session(Controller& controller, Socket& socket, int channel);
  void Run();

 private:
  bool Receive(defPACKAGE& request);
  // Sends the reply as the faults in force make it; false when the connection must end.
  bool Send(defPACKAGE reply);
  defPACKAGE Handshake(const defPACKAGE& request) const;
  // Answers an ordinary request; false when the connection must end.
  bool Answer(const defPACKAGE& request);

  Controller& controller_;
  Socket& socket_;
  const int channel_;
  const std::string peer_;
  FileService files_;
};

}  // namespace vandir::sim
