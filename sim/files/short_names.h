// 8.3 names as the controller's DOS-like file system knows them: at most eight
// characters, optionally a dot and at most three more, compared without regard to case.
// Bytes from 0x81 on lead a double-byte character (Big5, GB2312); the byte after a lead
// byte belongs to that character, though it may look like a letter or a backslash.
#pragma once

#include <string>
#include <string_view>

namespace vandir::sim {

constexpr bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x81; }

// The name as the controller stores it: ASCII letters in upper case.
std::string FoldCase(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

// Wildcards ('*', '?') make a pattern; a plain name has none.
bool IsShortName(std::string_view name, bool wildcards = false);
bool HasWildcards(std::string_view name);

// DOS matching: each of the two parts is padded to its full width, a '*' stands for '?'
// up to the end of its part, and a '?' matches any character, the padding included. So
// "*.*" matches every name and "*" only the names without an extension.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace vandir::sim
