// The data recorder's text tables read back: a header line naming the channels by letter and
// number, a rule line, then one line of whole numbers per record. What stops the reading (a
// line cut short, a word that is no number) is kept with its line number, and everything
// read before it stays usable, so a file the link was still writing plots what it holds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::text {

struct RecorderChannel {
  char letter = 0;
  int number = 0;
  // "X1": how the header names it, and how the user asks for it.
  std::string Name() const;
  bool operator==(const RecorderChannel&) const = default;
};

struct RecorderStop {
  int line = 0;  // 1-based; 0 when the file could not be read at all
  std::string reason;
};

struct RecorderTable {
  std::string file;
  std::vector<RecorderChannel> channels;
  // One entry per record, in file order.
  std::vector<std::int32_t> ids;
  std::vector<std::int32_t> isrTimes;
  std::vector<std::int32_t> locations;
  std::vector<std::vector<std::int32_t>> values;  // [channel][record]
  std::optional<RecorderStop> stop;

  std::size_t Records() const { return ids.size(); }
  // The channel named `name` ("X1", any case of the letter), or -1.
  int ChannelIndex(std::string_view name) const;
  // "FILE:LINE: reason", or "" when the whole file was read.
  std::string StopText() const;
};

// `bytes` as the content of the file named `file`.
RecorderTable ParseRecorderTable(std::string file, std::string_view bytes);
RecorderTable ReadRecorderTable(const std::filesystem::path& path);

}  // namespace talvo::text
