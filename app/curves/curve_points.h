// A long curve cut down to what a plot can show: per column of the plot the first, lowest,
// highest and last point, in their order, so peaks survive and the drawn line is the same
// as with every point; a NaN value ends a segment, so a missing stretch stays a gap.
#pragma once

#include <QList>
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace talvo::app {

using TCurveSegments = std::vector<QList<QPointF>>;

// Points [first, last) of a curve given by `x(i)` and `y(i)`, reduced to about `columns`
// columns of equal point count.
template <class X, class Y>
TCurveSegments CurveSegments(std::size_t first, std::size_t last, X x, Y y, std::size_t columns) {
  TCurveSegments segments;
  if (last <= first) return segments;
  const std::size_t perColumn =
      std::max<std::size_t>(1, (last - first + columns - 1) / std::max<std::size_t>(columns, 1));
  bool open = false;
  const auto put = [&](std::size_t i) {
    const double v = y(i);
    if (std::isnan(v)) {
      open = false;
      return;
    }
    if (!open) segments.emplace_back();
    open = true;
    const QPointF point(x(i), v);
    if (segments.back().isEmpty() || segments.back().back() != point) segments.back().append(point);
  };
  if (perColumn <= 4) {
    for (std::size_t i = first; i < last; ++i) put(i);
    return segments;
  }
  for (std::size_t start = first; start < last; start += perColumn) {
    const std::size_t end = std::min(last, start + perColumn);
    std::size_t low = end, high = end;
    bool gap = false;
    for (std::size_t i = start; i < end; ++i) {
      const double v = y(i);
      if (std::isnan(v)) {
        gap = true;
        continue;
      }
      if (low == end || v < y(low)) low = i;
      if (high == end || v > y(high)) high = i;
    }
    if (gap) {
      // A column with a gap keeps all its points: where the gap lies matters.
      for (std::size_t i = start; i < end; ++i) put(i);
      continue;
    }
    std::size_t picks[4] = {start, std::min(low, high), std::max(low, high), end - 1};
    for (std::size_t p : picks) put(p);
  }
  return segments;
}

}  // namespace talvo::app
