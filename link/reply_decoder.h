// Applies one accepted reply to the machine-data cache. Runs on the transport thread.
#pragma once

#include <cstdint>

#include "link/cache.h"
#include "link/file_list_queue.h"
#include "link/package.h"

namespace vandir {

// `received` is the number of reply bytes actually read (16..512): nothing behind them is
// looked at. `now` is the wall-clock second stored as the last reply time.
void DecodeReply(Cache& cache, FileListQueue& fileList, const defRECEIVE_PACKAGE& reply,
                 int received, std::int64_t now);

// True for the reply codes of the write and control requests, which reopen the set gate.
bool IsSetResultReply(int replyCode);

}  // namespace vandir
