// One tick's poll of the Work page (every read its information objects make) against the
// simulator: how long until the transport has every reply in the cache. Goal: two ticks.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "link/transport.h"
#include "link/vandircnc.h"
#include "tests/support/simulator.h"

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// The reads of the Work page's objects: status and mode, alarms, program, parts, times,
// codes, feed, spindles, G groups, macro variables (locals and 20 chunks of globals), and the
// four positions.
int PollWorkPage(vandir::TVandirCNC& link) {
  int changed = 0, reads = 0;
  std::int16_t s16 = 0, count = 0;
  std::int32_t s32 = 0, list[20], axes[6];
  double d = 0, vars[50];
  std::string text;
  int groups[18];
  const auto read = [&](int) { ++reads; };
  read(link.GetStstus(&s16, &changed));
  read(link.GetMode(&s16, &changed));
  read(link.GetAlarm(&count, list, &changed));
  read(link.GetWarning(&count, list, &changed));
  read(link.GetMainPart(&text, &changed));
  read(link.GetCurrentPart(&text, &changed));
  read(link.GetCode_N(&s32, &changed));
  read(link.GetBlockLineNumber(&s32, &changed));
  read(link.GetNowWorkPiece(&s32, &changed));
  read(link.GetMaxWorkPiece(&s32, &changed));
  read(link.GetCurrentWorkTime(&s32, &changed));
  read(link.GetTotalWorkTime(&s32, &changed));
  read(link.GetCode_H(&s16, &changed));
  for (std::int16_t m = 0; m < 3; ++m) read(link.GetCode_M(m, &s16, &changed));
  read(link.GetCode_T(&s16, &changed));
  read(link.GetCode_P(&s16, &changed));
  read(link.GetCode_Q(&s16, &changed));
  read(link.GetCode_R(&s16, &changed));
  read(link.GetCommandFeedRate(&s32, &changed));
  read(link.GetActualFeedRate(&s32, &changed));
  read(link.GetFeedRatePercentage(&d, &changed));
  read(link.GetCommandSpindleSpeed(&s32, &changed));
  read(link.GetCommandSpindleSpeed2(&s32, &changed));
  read(link.GetCommandSpindleSpeed3(&s32, &changed));
  read(link.GetActualSpindleSpeed(&s32, &changed));
  read(link.GetActualSpindleSpeed2(&s32, &changed));
  read(link.GetActualSpindleSpeed3(&s32, &changed));
  read(link.GetSpindleSpeedPercentage(&d, &changed));
  read(link.GetSpindleSpeedPercentage2(&d, &changed));
  read(link.GetSpindleSpeedPercentage3(&d, &changed));
  read(link.GetActiveG_OfGroup(0, 18, groups, &changed));
  read(link.GetMacroLocalVariable(1, 49, vars, &changed));
  for (int start = 0; start < 1000; start += 50)
    read(link.GetMacroGlobalVariable(start + 1, 50, vars, &changed));
  read(link.GetMachinePos(axes, &changed));
  read(link.GetAbsolutePos(axes, &changed));
  read(link.GetRelativePos(axes, &changed));
  read(link.GetDistanceToGo(axes, &changed));
  return reads;
}

}  // namespace

int main() {
  vandir::test::Simulator sim;
  vandir::TVandirCNC link;
  link.Connect_TCP(1, sim.Address());
  while (link.QueryUserStatus() == vandir::kNoNewLogin) std::this_thread::sleep_for(10ms);

  std::vector<double> millis;
  int reads = 0, answered = 0;
  for (int tick = 0; tick < 50; ++tick) {
    const int before = link.SendCMD->ReplyCount;
    const auto start = SteadyClock::now();
    reads = PollWorkPage(link);
    while (link.SendCMD->CommandListCount() > 0 || !link.SendCMD->IsSuspended())
      std::this_thread::sleep_for(50us);
    millis.push_back(std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count());
    answered = link.SendCMD->ReplyCount - before;
    std::this_thread::sleep_for(100ms);
  }
  link.Disconnect();
  std::sort(millis.begin(), millis.end());
  std::printf("work_page_poll reads=%d answered=%d median_ms=%.2f max_ms=%.2f goal_ms=200\n", reads,
              answered, millis[millis.size() / 2], millis.back());
  return 0;
}
