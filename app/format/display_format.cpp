#include "app/format/display_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

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
  // "-0.0000" is no value a controller shows, also for a tiny negative rounded away.
  if (std::strtod(text, nullptr) == 0) std::snprintf(text, sizeof text, "%.*f", decimals, 0.0);
  return QString::fromLatin1(text);
}

QString PercentText(double fraction) {
  const double percent = fraction * 100;
  if (!std::isfinite(percent) || std::fabs(percent) > 2e9) return QStringLiteral("0");
  // The product can land a hair below a whole number (0.29 * 100 = 28.999999999999996);
  // a fraction that is meant to be whole must not lose a percent to that.
  return QString::number(static_cast<long long>(std::trunc(percent + 1e-9 * (percent >= 0 ? 1 : -1))));
}

QString GeneralText(double value) {
  if (value == 0) return QStringLiteral("0");  // never "-0"
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return QString::fromLatin1(text);
}

QString VariableText(double value) {
  if (value == std::numeric_limits<double>::max()) return QStringLiteral("VACANT");
  return FixedText(value);
}

QString ZeroPadded(int value, int digits) { return QString::asprintf("%0*d", digits, value); }

QString TimeText(int hours, int minutes, int seconds) {
  return QString("%1:%2:%3").arg(hours).arg(minutes).arg(seconds);
}

QString TimeText(int hours, int minutes) { return QString("%1:%2").arg(hours).arg(minutes); }

}  // namespace talvo::app
