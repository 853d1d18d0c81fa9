#include "text/hmi_merge.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace talvo::text {

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

void MergeLines(const std::vector<std::string>& work, std::vector<std::string>* hmi) {
  bool inComment = false;
  for (const std::string& line : work) {
    if (!inComment && line.starts_with("/*")) inComment = true;
    if (!inComment) hmi->push_back(line);
    if (inComment && line.starts_with("*/")) inComment = false;
  }
}

bool LoadLines(const std::string& path, std::vector<std::string>* lines) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) return false;
  *lines = SplitLines(bytes);
  return true;
}

bool SaveLines(const std::string& path, const std::vector<std::string>& lines) {
  // Written beside and renamed over the old file, so a failed write keeps the old table.
  const std::string part = path + ".part";
  std::ofstream file(part, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  for (const std::string& line : lines) file << line << "\r\n";
  file.close();
  std::error_code ec;
  if (file.fail()) {
    std::filesystem::remove(part, ec);
    return false;
  }
  std::filesystem::rename(part, path, ec);
  if (!ec) return true;
  std::error_code ignored;
  std::filesystem::remove(part, ignored);
  return false;
}

}  // namespace talvo::text
