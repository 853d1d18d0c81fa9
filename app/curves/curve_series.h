// The line series that draw one curve in a chart: one per segment between gaps, all in the
// curve's colour, with one legend entry for the curve.
#pragma once

#include <QColor>
#include <QString>

#include <vector>

#include "app/curves/curve_points.h"

class QAbstractAxis;
class QChart;
class QLineSeries;

namespace talvo::app {

// The colour of curve `index`, distinct for the first dozen.
QColor CurveColor(int index);

class TCurveSeries {
 public:
  TCurveSeries(QChart& chart, QAbstractAxis* x, QAbstractAxis* y, const QString& name,
               const QColor& color);
  ~TCurveSeries();
  TCurveSeries(const TCurveSeries&) = delete;
  TCurveSeries& operator=(const TCurveSeries&) = delete;

  void Show(const TCurveSegments& segments);
  // Points drawn now, over all segments.
  int PointCount() const;

 private:
  QLineSeries* NewSeries();

  QChart& chart_;
  QAbstractAxis* x_;
  QAbstractAxis* y_;
  QString name_;
  QColor color_;
  std::vector<QLineSeries*> series_;
};

}  // namespace talvo::app
