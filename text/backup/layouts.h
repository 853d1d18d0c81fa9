// The machine data files whose contents a comparison can name item by item: parameters, D
// registers (with the user parameters among them), tools, work offsets and macro variables,
// and the controller's text tables. Each file of a known layout becomes a list of items, each
// with a stable key and its value as the screen shows it; a file whose bytes do not fit its
// layout is compared whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/backup/display_strings.h"

namespace talvo::text::backup {

struct Item {
  std::string key;          // "parameter 1234", "D051", "tool 05 radius", "G54P12 axis 3"
  std::string description;  // from the display strings; may be empty
  std::string value;        // as shown: "5000", "-250.0000", "VACANT"
  // The rest of a file outside its named items: compared, but shown only as differing.
  bool opaque = false;
};

// The items of a file named `upperName` (its name in upper case), or nothing when its layout
// is not known or its bytes do not fit it.
std::optional<std::vector<Item>> DecodeItems(std::string_view upperName, std::string_view bytes,
                                            const DisplayStrings& strings);

// Lengths in the controller's units of 0.0001, exactly, with four decimals: -250.0000.
std::string LengthText(std::int32_t units);

}  // namespace talvo::text::backup
