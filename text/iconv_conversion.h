// Byte-string conversion between character sets through iconv, tolerant of bad input:
// whatever cannot be converted becomes '?' and the conversion goes on after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace talvo::text {

// How many input bytes, from an invalid or unconvertible position `at`, one '?' replaces.
// Must be at least 1 and no more than the bytes left.
using ReplacedSpan = std::size_t (*)(std::string_view input, std::size_t at);

// `from` and `to` are iconv encoding names whose ASCII range is ASCII, so that '?' is one
// byte in every target. Throws std::system_error when iconv knows no such conversion
// (a libc installed without its gconv modules).
std::string IconvConvert(const char* from, const char* to, std::string_view input,
                         ReplacedSpan replacedSpan);

}  // namespace talvo::text
