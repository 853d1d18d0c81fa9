// The controller's text files as the service reads them: lines of bytes (copied byte for
// byte, whatever the code page), with comment blocks dropped when they are merged into the
// display-string table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvo::text {

inline constexpr const char* kHmiSection = "[HMISTRINGTABLE]";

// Lines separated by CR LF, LF or CR; a final line break adds no empty line.
std::vector<std::string> SplitLines(std::string_view bytes);

// Appends the lines of `work` outside comment blocks to `hmi`. A block opens at a line
// beginning with "/*" and closes with the next line beginning with "*/", both dropped,
// even when the opening line closes its own comment.
void MergeLines(const std::vector<std::string>& work, std::vector<std::string>* hmi);

// Whole-file reads and writes; false when the file cannot be read or written completely.
bool LoadLines(const std::string& path, std::vector<std::string>* lines);
bool SaveLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace talvo::text
