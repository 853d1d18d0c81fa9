// A value of the machine as the control channel shows and changes it: numbers in
// decimal (doubles as the shortest text that reads back the same), texts as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vandir::sim {

using FieldRef = std::variant<std::uint8_t*, std::int8_t*, std::uint16_t*, std::int16_t*,
                              std::uint32_t*, std::int32_t*, double*, std::string*>;

// What a field may be set to beyond what its type holds: numbers within [min, max],
// texts of at most max characters.
struct Limits {
  double min;
  double max;
};

std::string FormatField(FieldRef field);

// Sets the field from `text`; false, changing nothing, when the text is no value of the
// field's type within `limits` (for texts without limits: at most 127 characters).
bool AssignField(FieldRef field, std::string_view text,
                 std::optional<Limits> limits = std::nullopt);

}  // namespace vandir::sim
