// UTF-8 well-formedness as the Unicode standard defines it: no overlong forms, no
// surrogates, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <string_view>

namespace talvo::text {

// Length of the well-formed sequence that starts at `at`, or 0 when none starts there.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

bool IsValidUtf8(std::string_view text);

}  // namespace talvo::text
