#include "app/curves/trend_log.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/format/display_format.h"

namespace talvo::app {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

// A CSV cell: quoted when it holds a separator, a quote or a line end.
std::string Cell(const QString& text) {
  std::string cell = text.toStdString();
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (const char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

TTrendLog::TTrendLog(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)), times_(capacity_) {}

int TTrendLog::AddCurve(TTrendCurve curve) {
  curves_.push_back(std::move(curve));
  values_.emplace_back(capacity_, kGap);
  return CurveCount() - 1;
}

void TTrendLog::RemoveCurve(int curve) {
  curves_.erase(curves_.begin() + curve);
  values_.erase(values_.begin() + curve);
}

void TTrendLog::Append(std::int64_t ms, std::span<const double> values) {
  std::size_t slot;
  if (size_ < capacity_) {
    slot = Slot(size_);
    ++size_;
  } else {
    slot = head_;
    head_ = (head_ + 1) % capacity_;
  }
  times_[slot] = ms;
  for (std::size_t c = 0; c < values_.size(); ++c)
    values_[c][slot] = c < values.size() ? values[c] : kGap;
}

void TTrendLog::Clear() {
  head_ = 0;
  size_ = 0;
}

std::size_t TTrendLog::FirstAtOrAfter(std::int64_t ms) const {
  // Times only grow, so the ring read oldest first is sorted.
  std::size_t low = 0, high = size_;
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    if (Time(mid) < ms)
      low = mid + 1;
    else
      high = mid;
  }
  return low;
}

std::size_t TTrendLog::Nearest(std::int64_t ms) const {
  if (size_ == 0) return 0;
  const std::size_t after = FirstAtOrAfter(ms);
  if (after == size_) return size_ - 1;
  if (after == 0) return 0;
  return ms - Time(after - 1) <= Time(after) - ms ? after - 1 : after;
}

QString TTrendLog::Text(int curve, double value) const {
  if (std::isnan(value)) return QString();
  if (Curve(curve).format == ETrendFormat::Whole)
    return QString::number(static_cast<long long>(std::trunc(value)));
  return FixedText(value);
}

std::string TTrendLog::Csv(std::int64_t fromMs, std::int64_t toMs) const {
  std::string csv = "Time";
  for (const TTrendCurve& curve : curves_)
    csv += "," + Cell(curve.unit.isEmpty() ? curve.name : curve.name + " [" + curve.unit + "]");
  csv += "\r\n";
  for (std::size_t i = FirstAtOrAfter(fromMs); i < size_ && Time(i) <= toMs; ++i) {
    csv += QDateTime::fromMSecsSinceEpoch(Time(i)).toString("yyyy-MM-dd hh:mm:ss.zzz").toStdString();
    for (int c = 0; c < CurveCount(); ++c) csv += "," + Cell(Text(c, Value(c, i)));
    csv += "\r\n";
  }
  return csv;
}

}  // namespace talvo::app
