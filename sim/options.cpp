#include "sim/options.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <system_error>

namespace vandir::sim {

namespace {

void PrintUsage() {
  std::fputs(
      "usage: vandir-sim [--bind ADDR] [--login N] [--root DIR] [--data DIR] [--lathe]\n"
      "  --bind ADDR  address of ports 1888, 1988 and 2000 (default 127.0.0.1)\n"
      "  --login N    login level the handshake answers (default 502)\n"
      "  --root DIR   file area of the controller, created if missing (default .)\n"
      "  --data DIR   the controller's own files, copied into its machine and resource\n"
      "               folders where missing (default ../share/talvo-maintenance/sim\n"
      "               beside the program when installed, else " VANDIR_SIM_DATA ")\n"
      "  --lathe      behave as a lathe instead of a milling machine\n"
      "Control commands are read from stdin, one per line.\n",
      stderr);
}

// An installed simulator finds its files beside the program; one run from its build folder
// finds them in the source tree it was built from.
std::filesystem::path DefaultDataFolder() {
  std::error_code ec;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    auto installed = program.parent_path() / "../share/talvo-maintenance/sim";
    if (std::filesystem::is_directory(installed, ec)) return installed.lexically_normal();
  }
  return VANDIR_SIM_DATA;
}

}  // namespace

std::optional<long> ParseInteger(std::string_view text, long min, long max) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) {
    return std::nullopt;
  }
  return value;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  options.data = DefaultDataFolder();
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--lathe") {
      options.lathe = true;
    } else if (arg == "--bind" && hasValue) {
      options.bind = argv[++i];
    } else if (arg == "--root" && hasValue) {
      options.root = argv[++i];
    } else if (arg == "--data" && hasValue) {
      options.data = argv[++i];
    } else if (arg == "--login" && hasValue) {
      const auto level = ParseInteger(argv[++i], std::numeric_limits<std::int16_t>::min(),
                                      std::numeric_limits<std::int16_t>::max());
      if (!level) {
        std::fprintf(stderr, "error usage: --login needs a 16-bit number, not %s\n", argv[i]);
        return std::nullopt;
      }
      options.login = static_cast<std::int16_t>(*level);
    } else {
      std::fprintf(stderr, "error usage: unexpected argument %s\n", argv[i]);
      PrintUsage();
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace vandir::sim
