#include "sim/machine/recorder.h"

#include <string_view>

namespace vandir::sim {

namespace {

// Records keep their request's code.
constexpr std::int16_t kCmdRecord = 21845;
constexpr std::int16_t kRecordValid = 1;

constexpr int kId = kData + 0;
constexpr int kChannelCount = kData + 2;
constexpr int kIsrTime = kData + 4;
constexpr int kLocation = kData + 8;
constexpr int kLetters = kData + 12;
constexpr int kNumbers = kData + 52;
constexpr int kValues = kData + 132;

constexpr std::string_view kChannels = "XYZ";
// The interrupt routine takes about this many microseconds, a little more now and then.
constexpr std::int32_t kIsrMicroseconds = 118;
constexpr std::uint16_t kIsrJitterPeriod = 7;

}  // namespace

bool AnswerRecord(MachineState& m, const defPACKAGE& request, defPACKAGE& reply) {
  if (request.iCommand() != kCmdRecord) return false;
  const std::uint16_t id = ++m.lastRecord;
  reply.set_iCommand(kCmdRecord);
  reply.set_iParam1(kRecordValid);
  reply.put_i16(kId, static_cast<std::int16_t>(id));
  reply.put_i16(kChannelCount, static_cast<std::int16_t>(kChannels.size()));
  reply.put_i32(kIsrTime, kIsrMicroseconds + 3 * (id % kIsrJitterPeriod));
  // Where the recorder was called from: the block being executed.
  reply.put_u8(kLocation, static_cast<std::uint8_t>(m.cycle.block));
  for (std::size_t i = 0; i < kChannels.size(); ++i) {
    const int channel = static_cast<int>(i);
    reply.put_u8(kLetters + channel, static_cast<std::uint8_t>(kChannels[i]));
    reply.put_i16(kNumbers + 2 * channel, static_cast<std::int16_t>(channel + 1));
    reply.put_i32(kValues + 4 * channel, m.position.machine[i]);
  }
  return true;
}

}  // namespace vandir::sim
