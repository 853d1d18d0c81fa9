// The controller's two history files as the Alarm page shows them, newest record first.
// The files come from the controller and may be damaged: every line the decoders look at
// is checked to exist, so a broken file shows what can be read of it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace talvo::app {

// The alarm history: records of a header line and a message line, the message optionally
// continued on one more line that begins with a blank. Each record is shown as its header,
// its message (with the continuation's trimmed text appended) and an empty line. A header
// left alone at the end of the file is not shown.
std::vector<std::string> AlarmHistoryLines(const std::vector<std::string>& file);

// The operation history: a ring of two-line records, then the index of the next record to
// be written. Records are shown from the one written last back to the oldest, each as its
// first line, its second line unless blank, and an empty line; a record whose first line is
// blank ends the part of the ring it lies in. A write index outside the ring is held to it.
std::vector<std::string> OperationHistoryLines(const std::vector<std::string>& file);

// The lines of a text file with its line ends (CR LF, LF or CR) removed; nothing when the
// file cannot be opened.
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path);
// The same split of bytes already read.
std::vector<std::string> SplitLines(const std::string& bytes);

// The number shown for a warning: the controller counts its PLC warnings from 2000, the
// texts from 2001.
int ShownWarningNumber(int number);

}  // namespace talvo::app
