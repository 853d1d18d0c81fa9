// The interface language setting as the program's settings hold it; it picks the code
// page of controller texts and whether they go through the Big5 <-> GB2312 conversion.
#pragma once

namespace talvo::text {

inline constexpr int kTraditionalChinese = 0;
inline constexpr int kSimplifiedChinese = 1;
inline constexpr int kEnglish = 2;
inline constexpr int kUserLanguage = 3;

}  // namespace talvo::text
