// Human-readable lines about connections, logins and faults. They go to stderr:
// stdout belongs to the control channel, one reply line per command.
#pragma once

namespace vandir::sim {

[[gnu::format(printf, 1, 2)]] void Note(const char* format, ...);

}  // namespace vandir::sim
