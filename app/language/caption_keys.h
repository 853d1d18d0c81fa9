// Every key the program looks up in a language file, with its built-in English text. The
// captions are read through these entries, so a key can never be spelled two ways, and the
// shipped language files are checked against this one list.
#pragma once

#include <string>
#include <vector>

namespace talvo::app {

struct TCaptionKey {
  const char* section;
  const char* key;
  const char* fallback;
};

// All keys, section by section. The numbered error texts of the file jobs
// ("ERROR_NC_FILE_ERROR_MSG" + number) are listed for the numbers the link and the
// controller are known to report.
const std::vector<TCaptionKey>& AllCaptionKeys();

// The entry of (section, key); the program only asks for listed keys, so a miss is a
// programming error and throws std::out_of_range.
const TCaptionKey& CaptionKey(const std::string& section, const std::string& key);

// The error numbers that have a text of their own in the shipped files.
const std::vector<int>& KnownFileErrorNumbers();

}  // namespace talvo::app
