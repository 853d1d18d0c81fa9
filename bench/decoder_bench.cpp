// Nanoseconds to apply one reply to the cache, for the biggest replies the program polls.
#include <benchmark/benchmark.h>

#include "link/reply_decoder.h"

namespace {

vandir::defRECEIVE_PACKAGE Reply(int code, int p1, int p2, int p3) {
  vandir::defRECEIVE_PACKAGE r;
  r.set_iHead(vandir::kPackageHead);
  r.set_iCommand(static_cast<std::int16_t>(code));
  r.set_iLength(vandir::kPackageSize);
  r.set_iParam1(static_cast<std::int16_t>(p1));
  r.set_iParam2(static_cast<std::int16_t>(p2));
  r.set_iParam3(static_cast<std::int16_t>(p3));
  for (int i = vandir::kData; i < vandir::kPackageSize; ++i)
    r.put_u8(i, static_cast<std::uint8_t>(i * 7));
  return r;
}

void Decode(benchmark::State& state, vandir::defRECEIVE_PACKAGE reply, int received) {
  vandir::Cache cache;
  vandir::FileListQueue files;
  for (auto _ : state) {
    vandir::DecodeReply(cache, files, reply, received, 1);
    benchmark::ClobberMemory();
  }
}

void MillTools(benchmark::State& s) { Decode(s, Reply(520, 10, 0, 0), 512); }
void Parameters(benchmark::State& s) { Decode(s, Reply(526, 0, 101, 200), 416); }
void PlcBits(benchmark::State& s) { Decode(s, Reply(544, 0, 0, 0), 512); }
void Alarms(benchmark::State& s) { Decode(s, Reply(519, 0, 10, 0), 128); }
void Status(benchmark::State& s) { Decode(s, Reply(514, 0, 1, 1), 16); }

BENCHMARK(MillTools);
BENCHMARK(Parameters);
BENCHMARK(PlcBits);
BENCHMARK(Alarms);
BENCHMARK(Status);

}  // namespace

BENCHMARK_MAIN();
