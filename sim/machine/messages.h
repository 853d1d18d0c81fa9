// What clients put on the controller's screen: message boxes and operator messages. The
// simulator has no screen; it logs them on stderr and keeps the last ones for the control
// channel.
#pragma once

#include <deque>
#include <mutex>
#include <string>

#include "link/package.h"

namespace vandir::sim {

class Messages {
 public:
  // Keeps the request when it is a message box or an operator message.
  void Notice(const defPACKAGE& request);
  // The kept messages, oldest first, each as ` box "TITLE" "TEXT"` or
  // ` message KIND "TEXT"`; in the quoted texts a backslash, a quote and every byte outside
  // printable ASCII are escaped (\\, \", \xHH), so the list stays one line.
  std::string List() const;

 private:
  void Keep(std::string item);

  mutable std::mutex mutex_;
  std::deque<std::string> kept_;
};

}  // namespace vandir::sim
