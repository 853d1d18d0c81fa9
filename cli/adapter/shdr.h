// The SHDR lines an MTConnect agent reads from an adapter: `timestamp|key|value|key|value`
// for samples and events, one `timestamp|key|level|code|severity|qualifier|text` line per
// condition. Pure text work, so every line can be checked without a socket.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "cli/adapter/snapshot.h"

namespace talvo::cli::adapter {

// The names of the two condition data items.
inline constexpr std::string_view kAlarmItem = "alarm";
inline constexpr std::string_view kWarningItem = "warning";

// UTC, ISO 8601 with milliseconds: 2025-01-01T13:45:58.123Z.
std::string ShdrTimestamp(std::chrono::system_clock::time_point time);

// Every current value, for an agent that has just connected.
std::string FullDump(const Snapshot& snapshot);
// Only what differs between two snapshots of the same items; empty when nothing does.
std::string Changes(const Snapshot& before, const Snapshot& after);

// The answer to an agent's "* PING".
std::string Pong(std::chrono::milliseconds heartbeat);

}  // namespace talvo::cli::adapter
