// Applies one accepted reply to the machine-data cache. Runs on the transport thread.
#pragma once

#include <cstdint>

#include "link/cache.h"
#include "link/data_record_sink.h"
#include "link/file_list_queue.h"
#include "link/package.h"

namespace vandir {

inline constexpr std::int16_t kReplyDataRecord = 21845;

// `received` is the number of reply bytes actually read (16..512): nothing behind them is
// looked at, and nothing is stored outside its table whatever the reply's indexes say.
// `now` is the wall-clock second stored as the last reply time.
void DecodeReply(Cache& cache, FileListQueue& fileList, const defRECEIVE_PACKAGE& reply,
                 int received, std::int64_t now, DataRecordSink* recorder = nullptr);

// True for the reply codes of the write and control requests, which reopen the set gate.
bool IsSetResultReply(int replyCode);

// The name of a controller card by its model code (already masked with 0xF0FF).
const char* CardModelName(int code);

}  // namespace vandir
