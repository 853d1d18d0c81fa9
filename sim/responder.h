// The reply to an ordinary request: every code the connection itself does not handle
// (handshake, echo, logout). This responder answers generically: the reply code, the
// reply length the client asked for, its index, an accepted result for the commands
// that set something, and zero everywhere else. The machine model takes its place.
#pragma once

#include "link/package.h"

namespace vandir::sim {

class Responder {
 public:
  // Called from both port threads at once.
  defPACKAGE Answer(const defPACKAGE& request) const;
};

}  // namespace vandir::sim
