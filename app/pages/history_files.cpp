#include "app/pages/history_files.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

#include "text/trim.h"

namespace talvo::app {
namespace {


// The records collected oldest first, written out newest first.
std::vector<std::string> NewestFirst(const std::vector<std::vector<std::string>>& records) {
  std::vector<std::string> lines;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    lines.insert(lines.end(), record->begin(), record->end());
    lines.emplace_back();
  }
  return lines;
}

}  // namespace

std::vector<std::string> AlarmHistoryLines(const std::vector<std::string>& file) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i].empty()) continue;
    record.push_back(file[i]);
    if (record.size() == 2) {
      const bool continued =
          i + 1 < file.size() && !file[i + 1].empty() && file[i + 1].front() == ' ';
      if (continued) continue;
    } else if (record.size() == 3) {
      record[1] += text::TrimmedBlanks(record[2]);
      record.pop_back();
    } else {
      continue;
    }
    records.push_back(std::move(record));
    record.clear();
  }
  return NewestFirst(records);
}

std::vector<std::string> OperationHistoryLines(const std::vector<std::string>& file) {
  if (file.empty()) return {};
  const int count = static_cast<int>((file.size() - 1) / 2);
  const std::string last(text::TrimmedBlanks(file.back()));
  int next = 0;
  const auto parsed = std::from_chars(last.data(), last.data() + last.size(), next);
  if (parsed.ec != std::errc() || parsed.ptr != last.data() + last.size()) next = 0;
  next = std::clamp(next, 0, count);

  std::vector<std::vector<std::string>> records;
  const auto pass = [&](int from, int to) {
    for (int j = from; j < to; ++j) {
      const std::string& first = file[static_cast<std::size_t>(2 * j)];
      const std::string& second = file[static_cast<std::size_t>(2 * j + 1)];
      if (text::TrimmedBlanks(first).empty()) return;
      if (text::TrimmedBlanks(second).empty()) records.push_back({first});
      else records.push_back({first, second});
    }
  };
  pass(next, count);  // the older part of the ring
  pass(0, next);
  return NewestFirst(records);
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return SplitLines(std::string(std::istreambuf_iterator<char>(in), {}));
}

int ShownWarningNumber(int number) { return number >= 2000 && number < 2999 ? number + 1 : number; }

}  // namespace talvo::app
