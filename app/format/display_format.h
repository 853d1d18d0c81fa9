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
// The shortest general form, up to 15 significant digits and no trailing zeros: "12.5",
// "0", "-0.0125".
QString GeneralText(double value);
// A length in the controller's units in the general form (tool compensations).
inline QString GeneralLengthText(std::int32_t units) { return GeneralText(units * kUnitScale); }
// A macro variable, not scaled: four decimals, or "VACANT" for the largest finite double,
// which the controller keeps in a variable that holds nothing.
QString VariableText(double value);
// `value` with leading zeros to `digits` digits, as the row labels "%02d" and "%03d".
QString ZeroPadded(int value, int digits);
// A time as hours, minutes and seconds joined by ":" without leading zeros ("1:2:5"),
// and as hours and minutes alone.
QString TimeText(int hours, int minutes, int seconds);
QString TimeText(int hours, int minutes);

}  // namespace talvo::app
