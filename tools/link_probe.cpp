// link-probe: connects to a controller (or the simulator), prints the login result and
// measures how many status requests per second the link gets answered.
//
//   link-probe --host ADDR [--dnc] [--seconds N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "link/transport.h"
#include "link/vandircnc.h"

namespace {

const char* LoginText(int status) {
  switch (status) {
    case 502: return "accepted, every command allowed";
    case 501: return "accepted, file management only for priority commands";
    case 500:
    case 503: return "refused by the controller";
    case -1: return "no connection";
    case -2: return "handshake reply too short";
    default: return "unexpected";
  }
}

// The status-and-mode request: header only, a 16-byte reply.
vandir::defSEND_PACKAGE StatusRequest() {
  vandir::defSEND_PACKAGE p;
  p.set_iHead(vandir::kPackageHead);
  p.set_iCommand(258);
  p.set_iLength(vandir::kHeaderSize);
  p.set_iReplyLength(vandir::kHeaderSize);
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  std::string host;
  char type = 1;
  double seconds = 2.0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--host") && i + 1 < argc) host = argv[++i];
    else if (!std::strcmp(argv[i], "--dnc")) type = 2;
    else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) seconds = std::atof(argv[++i]);
    else {
      std::fprintf(stderr, "usage: link-probe --host ADDR [--dnc] [--seconds N]\n");
      return 2;
    }
  }
  if (host.empty()) {
    std::fprintf(stderr, "link-probe: --host is required\n");
    return 2;
  }

  vandir::TVandirCNC link;
  link.Connect_TCP(type, host);
  int login = vandir::kNoNewLogin;
  for (int waited = 0; login == vandir::kNoNewLogin && waited < 6000; waited += 10) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    login = link.QueryUserStatus();
  }
  std::printf("login: %d (%s)\n", login, LoginText(login));
  if (login != 501 && login != 502) return 1;

  const auto start = std::chrono::steady_clock::now();
  const auto until = start + std::chrono::duration<double>(seconds);
  const int before = link.SendCMD->ReplyCount;
  while (std::chrono::steady_clock::now() < until) {
    if (link.SendCMD->CommandListCount() < 8) link.SendCommand(StatusRequest());
    else std::this_thread::yield();
  }
  const int answered = link.SendCMD->ReplyCount - before;
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("round trips: %d in %.2f s = %.0f per second\n", answered, elapsed,
              answered / elapsed);
  link.Disconnect();
  return 0;
}
