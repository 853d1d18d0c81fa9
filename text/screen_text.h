// Controller texts on the screen: the controller's bytes are in the interface language's
// code page, the screen wants Unicode. UTF-8 keeps this library free of any GUI toolkit.
#pragma once

#include <string>
#include <string_view>

namespace talvo::text {

// Decodes controller bytes to UTF-8 by interface language: 0 Big5, 1 GB2312 (read as its
// superset GB18030), any other Windows-1252. For the Latin languages bytes that already are
// valid UTF-8 are kept; for the Chinese ones they are not, because short Big5 and GB2312
// texts are often valid UTF-8 too ("状态" in GB2312 would show as Hebrew and a diacritic).
// Undecodable bytes become '?'.
std::string ControllerBytesToUtf8(int language, std::string_view bytes);

// Encodes text the user typed (UTF-8) into the interface language's code page: 0 Big5,
// 1 GB2312, any other Windows-1252; ToControllerText then takes it the rest of the way.
// Characters the code page lacks, and malformed UTF-8, become '?'.
std::string Utf8ToControllerBytes(int language, std::string_view utf8);

}  // namespace talvo::text
