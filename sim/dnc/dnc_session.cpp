#include "sim/dnc/dnc_session.h"

#include <algorithm>
#include <random>

#include "sim/dnc/dnc_requests.h"
#include "sim/machine/recorder.h"

namespace vandir::sim {

namespace {

constexpr std::chrono::milliseconds kDefaultTimeout{3000};
// A PC that never ends a search must not keep the control channel forever.
constexpr std::size_t kMostEntries = 4096;

// Directory entry of a search reply (data-area offsets).
constexpr int kEntryAttributes = kData + 21;
constexpr int kEntryFileSize = kData + 26;
constexpr int kEntryName = kData + 30;
constexpr int kEntryEnd = kData + 58;

std::string Header(const defPACKAGE& package) {
  return "iHead " + std::to_string(package.iHead()) + " iCommand " +
         std::to_string(package.iCommand()) + " iIndex " + std::to_string(package.iIndex());
}

DncSession::Entry EntryOf(const defPACKAGE& reply) {
  return {reply.text(kEntryName, std::min<int>(kEntryEnd, reply.iLength())),
          reply.i32(kEntryFileSize), reply.u8(kEntryAttributes)};
}

// The PC keeps the index of its last request across connections, and a simulator may be
// started anew against the same PC: a fixed first index would make its first requests look
// like retransmissions.
std::int16_t RandomIndex() {
  std::random_device random;
  return static_cast<std::int16_t>(random());
}

}  // namespace

DncSession::DncSession(DncChannel& channel, Controller& controller)
    : channel_(channel),
      controller_(controller),
      timeout_(kDefaultTimeout),
      nextIndex_(RandomIndex()) {}

std::int16_t DncSession::TakeIndex() { return nextIndex_++; }

Outcome<std::vector<std::uint8_t>> DncSession::Raw(const defPACKAGE& request) {
  // The next fresh index differs from this one, whatever the test chose.
  nextIndex_ = static_cast<std::int16_t>(request.iIndex() + 1);
  if (request.iCommand() == kDncRecord) {
    const auto sent = channel_.Send(request, timeout_);
    if (!sent) return Failure{sent.Why()};
    return std::vector<std::uint8_t>{};
  }
  const auto reply = channel_.Exchange(request, timeout_);
  if (!reply) return Failure{reply.Why()};
  const auto begin = reply->bytes.begin();
  return std::vector<std::uint8_t>(begin, begin + reply->iLength());
}

Outcome<defPACKAGE> DncSession::Ask(defPACKAGE request, bool twice) {
  request.set_iIndex(TakeIndex());
  const auto reply = channel_.Exchange(request, timeout_);
  if (!reply) return reply;
  if (reply->iHead() != kPackageHead || reply->iIndex() != request.iIndex() ||
      reply->iCommand() != request.iCommand() + kDncReplyOffset) {
    return Failure{"bad reply: " + Header(*reply) + " to " + Header(request)};
  }
  if (!twice) return reply;
  const auto again = channel_.Exchange(request, timeout_);
  if (!again) return again;
  if (again->bytes != reply->bytes) return Failure{"the repeated request got another reply"};
  return reply;
}

Outcome<std::vector<DncSession::Entry>> DncSession::Search(std::string_view pattern,
                                                           std::int16_t attributes) {
  auto reply = Ask(DncTextRequest(kDncSearchFirst, pattern, 0, attributes));
  std::vector<Entry> entries;
  while (reply && reply->iParam1() == 0) {
    if (entries.size() == kMostEntries) {
      return Failure{"more than " + std::to_string(kMostEntries) + " entries"};
    }
    entries.push_back(EntryOf(*reply));
    reply = Ask(DncRequest(kDncSearchNext));
  }
  if (!reply) return Failure{reply.Why()};
  return entries;
}

Outcome<int> DncSession::Record(int count, int repeat) {
  const auto trigger = DncRequest(kDncRecord);
  for (int number = 1; number <= count; ++number) {
    auto record = trigger;
    record.set_iLength(kPackageSize);
    controller_.machine.With([&](MachineState& m) { return AnswerRecord(m, trigger, record); });
    record.set_iIndex(TakeIndex());
    for (int copy = number == repeat ? 2 : 1; copy > 0; --copy) {
      const auto sent = channel_.Send(record, timeout_);
      if (!sent) return Failure{sent.Why()};
    }
  }
  return count;
}

}  // namespace vandir::sim
