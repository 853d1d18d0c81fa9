// An integrator's program, built the way the library's users build theirs: against the
// installed headers and libVandirCNC only. It logs in to the controller named on its
// command line, reads the mode, status and part count and logs out.
#include <link/vandircnc.h>

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: consumer CONTROLLER-ADDRESS\n", stderr);
    return 1;
  }
  using namespace std::chrono_literals;
  vandir::TVandirCNC link;
  if (link.Connect_TCP(1, argv[1]) != vandir::kOk) return 2;

  const auto deadline = std::chrono::steady_clock::now() + 10s;
  std::int16_t login = vandir::kNoNewLogin;
  while ((login = link.QueryUserStatus()) == vandir::kNoNewLogin &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  if (login != vandir::kLoginFull && login != vandir::kLoginLimited) {
    std::fprintf(stderr, "consumer: login refused (%d)\n", login);
    return 3;
  }

  // A read hands out the cached value and asks for a fresh one: read until the answers to
  // the first requests have come back.
  std::int16_t mode = -1, status = -1;
  std::int32_t parts = -1;
  int changed = 0;
  const std::int32_t repliesBefore = link.SendCMD->ReplyCount;
  do {
    link.GetMode(&mode, &changed);
    link.GetStstus(&status, &changed);
    link.GetNowWorkPiece(&parts, &changed);
    std::this_thread::sleep_for(50ms);
  } while (link.SendCMD->ReplyCount < repliesBefore + 3 &&
           std::chrono::steady_clock::now() < deadline);
  link.GetMode(&mode, &changed);
  link.GetStstus(&status, &changed);
  link.GetNowWorkPiece(&parts, &changed);
  const bool answered = link.SendCMD->ReplyCount >= repliesBefore + 3;
  link.Disconnect();
  if (!answered) {
    std::fputs("consumer: the controller did not answer\n", stderr);
    return 4;
  }
  std::printf("mode=%d\nstatus=%d\nparts=%d\n", mode, status, parts);
  return 0;
}
