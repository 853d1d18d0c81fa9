// Big5 <-> GB2312 conversion of controller texts. The controller keeps its texts in Big5;
// a Simplified Chinese interface shows them in GB2312 and sends typed text back in Big5.
// Texts are byte strings mixing single-byte and double-byte characters; bytes that form no
// pair of the source set pass unchanged.
#pragma once

#include <string>

namespace talvo::text {

// Whether the text starts with a Big5 pair: a lead byte of 0xA1 or above and a trail
// byte 0x40-0x7E or 0xA1-0xFE.
bool isBIG5(const std::string& text);
// Whether the text starts with a GB2312 pair (lead 0xA1-0xF7, trail 0xA1-0xFE); a text
// shorter than two bytes counts as GB2312 too.
bool isGB(const std::string& text);

std::string BIG5toGB(const std::string& text);
std::string GBtoBIG5(const std::string& text);

// Conversions applied only when the interface language is 1 (Simplified Chinese); any
// other language passes the text through.
void FromControllerText(int language, const std::string& input, std::string& output);
void ToControllerText(int language, const std::string& input, std::string& output);

}  // namespace talvo::text
