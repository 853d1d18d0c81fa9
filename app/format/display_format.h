// How numbers from the controller look on screen. Lengths, positions, offsets and feeds come
// as integers of 0.0001 mm (or inch) and show with four decimals; overrides come as a
// fraction and show as a whole percentage.
#pragma once

#include <QString>

#include <cstdint>

namespace talvo::app {

inline constexpr int kDecimals = 4;
inline constexpr double kUnitScale = 0.0001;

// `value` in fixed notation with `decimals` digits after the point, after rounding to nine
// significant digits; a value with more than nine digits before the point shows in
// exponent notation.
QString FixedText(double value, int decimals = kDecimals);
// A length in the controller's units, scaled for the screen.
inline QString LengthText(std::int32_t units) { return FixedText(units * kUnitScale); }
// The whole percentage of an override fraction, truncated: 0.129 shows "12".
QString PercentText(double fraction);

}  // namespace talvo::app
