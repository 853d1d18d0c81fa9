// An integrator's program, built the way the library's users build theirs: against the
// installed headers and libVandirCNC only. It logs in to the controller named on its
// command line, reads the mode and status and logs out.
#include <vandircnc/vandircnc.h>

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

  // A read hands out the cached value and asks for a fresh one. The cache starts empty, with
  // mode 0 (EDIT); the simulator starts in AUTO, so another mode is the controller's answer.
  std::int16_t mode = 0, status = -1;
  int changed = 0;
  for (link.GetMode(&mode, &changed); mode == 0 && std::chrono::steady_clock::now() < deadline;
       link.GetMode(&mode, &changed))
    std::this_thread::sleep_for(50ms);
  const bool answered = mode != 0;
  link.GetStstus(&status, &changed);  // the same reply brings both
  link.Disconnect();
  if (!answered) {
    std::fputs("consumer: the controller did not answer\n", stderr);
    return 4;
  }
  std::printf("mode=%d\nstatus=%d\n", mode, status);
  return 0;
}
