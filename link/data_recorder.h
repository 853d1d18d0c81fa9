// The data recorder: every record the controller samples becomes one line of a text table.
// A new file, named by the local time it starts, is begun after a set number of records.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "link/cache.h"
#include "link/reply_decoder.h"

namespace vandir {

inline constexpr std::size_t kMaxRecorderPath = 255;
inline constexpr std::uint32_t kDefaultRecordsPerFile = 1000;

// The three lines of the table for one record (without their line end).
std::string RecordHeaderLine(const defRECEIVE_PACKAGE& record);
std::string RecordRuleLine(const defRECEIVE_PACKAGE& record);
std::string RecordLine(const defRECEIVE_PACKAGE& record);
// "<folder>/YYYYMMDDhhmmss" for the given local time.
std::string RecordFileName(const std::string& folder, const std::tm& localTime);

class DataRecorder final : public DataRecordSink {
 public:
  // Records of the DNC channel may be repeated by the controller; that channel skips a record
  // whose index equals the last one written.
  enum class Channel { Command, Dnc };
  using LocalTime = std::function<std::tm()>;

  DataRecorder(Cache& cache, Channel channel, LocalTime localTime = nullptr);
  void WriteRecord(const defRECEIVE_PACKAGE& record) override;

 private:
  bool StartFile(const std::string& folder, const defRECEIVE_PACKAGE& record);

  Cache& cache_;
  const Channel channel_;
  const LocalTime localTime_;
  std::string fileName_;
  std::optional<std::int16_t> lastIndex_;
};

}  // namespace vandir
