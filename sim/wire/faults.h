// Faults the control channel injects. They are global: whichever connection
// answers next takes them, on either port.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace vandir::sim {

class Faults {
 public:
  // What happens to the reply about to be sent.
  struct ReplyFaults {
    bool drop = false;       // close the connection instead of answering
    bool badHeader = false;  // iHead 0
    bool badLength = false;  // iLength 513, the byte count unchanged
    bool cutShort = false;   // send half the bytes, then close
  };

  void SetStall(std::chrono::milliseconds delay);
  void DropAfter(long answers);
  void ArmBadHeader();
  void ArmBadLength();
  void ArmCutShort();

  // Cuts the replies waiting in Stall short: their connections are being dropped.
  void Interrupt();
  // From now on every Stall is cut short at once.
  void Stop();

  // Delays a reply by the stall in force; false when a drop or stop cut the wait short.
  // Setting a new stall moves the end of a wait already running.
  bool Stall();
  // Takes the one-shot faults for the next reply.
  ReplyFaults TakeNext();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::chrono::milliseconds stall_{0};
  std::optional<long> dropAfter_;
  bool badHeader_ = false;
  bool badLength_ = false;
  bool cutShort_ = false;
  unsigned long interruptions_ = 0;
  bool stopped_ = false;
};

}  // namespace vandir::sim
