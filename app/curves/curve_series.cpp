#include "app/curves/curve_series.h"

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>

namespace talvo::app {

QColor CurveColor(int index) {
  static const QColor kColors[] = {
      QColor(31, 119, 180), QColor(214, 39, 40),  QColor(44, 160, 44),  QColor(255, 127, 14),
      QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194), QColor(127, 127, 127),
      QColor(188, 189, 34),  QColor(23, 190, 207), QColor(0, 0, 0),     QColor(174, 199, 232)};
  return kColors[static_cast<std::size_t>(index) % std::size(kColors)];
}

TCurveSeries::TCurveSeries(QChart& chart, QAbstractAxis* x, QAbstractAxis* y, const QString& name,
                           const QColor& color)
    : chart_(chart), x_(x), y_(y), name_(name), color_(color) {
  NewSeries();  // the legend entry, also while the curve has no point
}

TCurveSeries::~TCurveSeries() {
  for (QLineSeries* s : series_) {
    chart_.removeSeries(s);
    delete s;
  }
}

QLineSeries* TCurveSeries::NewSeries() {
  auto* series = new QLineSeries;
  series->setName(name_);
  QPen pen(color_);
  pen.setWidthF(1.5);
  series->setPen(pen);
  chart_.addSeries(series);
  series->attachAxis(x_);
  series->attachAxis(y_);
  const bool first = series_.empty();
  for (QLegendMarker* marker : chart_.legend()->markers(series)) marker->setVisible(first);
  series_.push_back(series);
  return series;
}

void TCurveSeries::Show(const TCurveSegments& segments) {
  while (series_.size() < std::max<std::size_t>(segments.size(), 1)) NewSeries();
  for (std::size_t i = 0; i < series_.size(); ++i) {
    if (i < segments.size())
      series_[i]->replace(segments[i]);
    else if (series_[i]->count() > 0)
      series_[i]->clear();
  }
}

int TCurveSeries::PointCount() const {
  int points = 0;
  for (const QLineSeries* s : series_) points += s->count();
  return points;
}

}  // namespace talvo::app
