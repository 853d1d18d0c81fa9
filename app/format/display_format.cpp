#include "app/format/display_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace talvo::app {
namespace {

constexpr int kSignificant = 9;

}  // namespace

QString FixedText(double value, int decimals) {
  if (!std::isfinite(value)) return QString::number(value);
  char rounded[64];
  std::snprintf(rounded, sizeof rounded, "%.*e", kSignificant - 1, value);
  const double r = std::strtod(rounded, nullptr);
  if (std::fabs(r) >= 1e9) return QString::number(r, 'E', kSignificant - 1);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, r);
  // "-0.0000" is no value a controller shows.
  if (r == 0) std::snprintf(text, sizeof text, "%.*f", decimals, 0.0);
  return QString::fromLatin1(text);
}

QString PercentText(double fraction) {
  const double percent = fraction * 100;
  if (!std::isfinite(percent) || std::fabs(percent) > 2e9) return QStringLiteral("0");
  // The product can land a hair below a whole number (0.29 * 100 = 28.999999999999996);
  // a fraction that is meant to be whole must not lose a percent to that.
  return QString::number(static_cast<long long>(std::trunc(percent + 1e-9 * (percent >= 0 ? 1 : -1))));
}

}  // namespace talvo::app
