#include "sim/wire/faults.h"

#include <utility>

namespace vandir::sim {

void Faults::SetStall(std::chrono::milliseconds delay) {
  {
    std::lock_guard lock(mutex_);
    stall_ = delay;
  }
  changed_.notify_all();
}

void Faults::DropAfter(long answers) {
  std::lock_guard lock(mutex_);
  dropAfter_ = answers;
}

void Faults::ArmBadHeader() {
  std::lock_guard lock(mutex_);
  badHeader_ = true;
}

void Faults::ArmBadLength() {
  std::lock_guard lock(mutex_);
  badLength_ = true;
}

void Faults::ArmCutShort() {
  std::lock_guard lock(mutex_);
  cutShort_ = true;
}

void Faults::Interrupt() {
  {
    std::lock_guard lock(mutex_);
    ++interruptions_;
  }
  changed_.notify_all();
}

void Faults::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  changed_.notify_all();
}

bool Faults::Stall() {
  std::unique_lock lock(mutex_);
  const auto start = std::chrono::steady_clock::now();
  const auto interruptionsAtStart = interruptions_;
  while (!stopped_ && interruptions_ == interruptionsAtStart) {
    const auto end = start + stall_;
    if (std::chrono::steady_clock::now() >= end) return true;
    changed_.wait_until(lock, end);
  }
  return false;
}

Faults::ReplyFaults Faults::TakeNext() {
  std::lock_guard lock(mutex_);
  ReplyFaults next;
  if (dropAfter_) {
    if (*dropAfter_ == 0) {
      // The other one-shot faults stay armed for a reply that is really sent.
      dropAfter_.reset();
      next.drop = true;
      return next;
    }
    --*dropAfter_;
  }
  next.badHeader = std::exchange(badHeader_, false);
  next.badLength = std::exchange(badLength_, false);
  next.cutShort = std::exchange(cutShort_, false);
  return next;
}

}  // namespace vandir::sim
