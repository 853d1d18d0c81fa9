#include "text/recorder_table.h"

#include <cctype>
#include <charconv>
#include <cstring>

#include "text/durable_file.h"

namespace talvo::text {
namespace {

constexpr std::string_view kFixedTitles[] = {"ID", "Isr", "Time", "Location"};
constexpr std::size_t kFixedColumns = 3;  // ID, ISR time, location

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The words of a line, split at blanks.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::optional<std::int32_t> Whole(std::string_view word) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

// Fills the channels from the header's words; the reason when the header is not one.
std::string ReadHeader(std::string_view line, std::vector<RecorderChannel>& channels) {
  const std::vector<std::string_view> words = Words(line);
  if (words.size() < std::size(kFixedTitles))
    return "not a recorder table: the header has no ID, Isr Time and Location columns";
  for (std::size_t i = 0; i < std::size(kFixedTitles); ++i)
    if (words[i] != kFixedTitles[i])
      return "not a recorder table: the header has no ID, Isr Time and Location columns";
  for (std::size_t i = std::size(kFixedTitles); i < words.size(); ++i) {
    const std::string_view word = words[i];
    const auto number = word.size() >= 2 ? Whole(word.substr(1)) : std::nullopt;
    if (!number) return "channel '" + std::string(word) + "' is not a letter and a number";
    channels.push_back({word[0], *number});
  }
  return "";
}

}  // namespace

std::string RecorderChannel::Name() const { return letter + std::to_string(number); }

int RecorderTable::ChannelIndex(std::string_view name) const {
  for (std::size_t i = 0; i < channels.size(); ++i) {
    const std::string own = channels[i].Name();
    if (own.size() == name.size() &&
        std::toupper(static_cast<unsigned char>(own[0])) ==
            std::toupper(static_cast<unsigned char>(name[0])) &&
        own.compare(1, std::string::npos, name.substr(1)) == 0)
      return static_cast<int>(i);
  }
  return -1;
}

std::string RecorderTable::StopText() const {
  if (!stop) return "";
  if (stop->line == 0) return file + ": " + stop->reason;
  return file + ":" + std::to_string(stop->line) + ": " + stop->reason;
}

RecorderTable ParseRecorderTable(std::string file, std::string_view bytes) {
  RecorderTable table;
  table.file = std::move(file);
  const auto fail = [&](int line, std::string reason) {
    table.stop = RecorderStop{line, std::move(reason)};
    return table;
  };
  int lineNumber = 0;
  std::size_t at = 0;
  std::vector<std::int32_t> row;
  while (at < bytes.size()) {
    ++lineNumber;
    const std::size_t end = bytes.find('\n', at);
    // The link writes a whole line at a time: one without its line end was cut short.
    if (end == std::string_view::npos) return fail(lineNumber, "line cut short (no line end)");
    const std::string_view line = bytes.substr(at, end - at);
    at = end + 1;
    if (lineNumber == 1) {
      if (std::string reason = ReadHeader(line, table.channels); !reason.empty())
        return fail(lineNumber, std::move(reason));
      table.values.resize(table.channels.size());
      continue;
    }
    const std::vector<std::string_view> words = Words(line);
    if (lineNumber == 2) {
      if (words.size() != 1 || words[0].find_first_not_of('=') != std::string_view::npos)
        return fail(lineNumber, "the rule line of '=' is missing");
      continue;
    }
    const std::size_t expected = kFixedColumns + table.channels.size();
    if (words.size() != expected)
      return fail(lineNumber, "expected " + std::to_string(expected) + " numbers, found " +
                                  std::to_string(words.size()));
    row.clear();
    for (const std::string_view word : words) {
      const auto value = Whole(word);
      if (!value) return fail(lineNumber, "'" + std::string(word) + "' is not a whole number");
      row.push_back(*value);
    }
    table.ids.push_back(row[0]);
    table.isrTimes.push_back(row[1]);
    table.locations.push_back(row[2]);
    for (std::size_t c = 0; c < table.channels.size(); ++c)
      table.values[c].push_back(row[kFixedColumns + c]);
  }
  if (lineNumber < 2) return fail(lineNumber + 1, "the file ends before its header and rule line");
  return table;
}

RecorderTable ReadRecorderTable(const std::filesystem::path& path) {
  const std::optional<std::string> bytes = ReadWhole(path);
  if (!bytes) {
    RecorderTable table;
    table.file = path.string();
    table.stop = RecorderStop{0, std::string("cannot read: ") + std::strerror(errno)};
    return table;
  }
  return ParseRecorderTable(path.string(), *bytes);
}

}  // namespace talvo::text
