// The command line of the simulator.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "link/package.h"

namespace vandir::sim {

struct Options {
  std::string bind = "127.0.0.1";
  std::int16_t login = kLoginFull;   // the first login level the handshake answers
  std::filesystem::path root = ".";  // the controller's file area
  bool lathe = false;                // a lathe instead of a milling machine
  std::filesystem::path data;        // the controller's own files to ship
};

// nullopt, after telling why and how on stderr, when the command line is wrong.
std::optional<Options> ParseOptions(int argc, char** argv);

// A whole decimal number within [min, max], or nullopt.
std::optional<long> ParseInteger(std::string_view text, long min, long max);

}  // namespace vandir::sim
