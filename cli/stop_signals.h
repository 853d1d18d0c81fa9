// SIGINT and SIGTERM end the long-running commands cleanly. Instead of a handler, both are
// blocked in every thread and taken by the command's own loop, which then returns like any
// other command: the link logs out and closes its channels on the main thread.
#pragma once

#include <chrono>

namespace talvo::cli {

// Blocks both signals in the calling thread. Threads started afterwards inherit the mask,
// so this comes before the link starts its threads.
void BlockStopSignals();

// Waits for one of them.
void AwaitStopSignal();
// Waits up to `timeout` for one of them; true when one came.
bool StopSignalWithin(std::chrono::milliseconds timeout);

}  // namespace talvo::cli
