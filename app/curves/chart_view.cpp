#include "app/curves/chart_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace talvo::app {
namespace {

constexpr double kWheelZoom = 0.8;  // one notch in shows this part of the stretch
constexpr double kPanStep = 0.1;

}  // namespace

TChartView::TChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
  setRenderHint(QPainter::Antialiasing);
  setRubberBand(QChartView::NoRubberBand);
  setDragMode(QGraphicsView::NoDrag);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void TChartView::ShowRange(double from, double to) {
  from_ = from;
  to_ = to;
}

void TChartView::Choose(double from, double to) {
  if (!(to > from)) return;
  ShowRange(from, to);
  if (OnRangeChosen) OnRangeChosen(from, to);
}

double TChartView::XAt(const QPointF& viewPoint) const {
  return chart()->mapToValue(chart()->mapFromScene(mapToScene(viewPoint.toPoint()))).x();
}

void TChartView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  const double factor = std::pow(kWheelZoom, notches);
  const double at = std::clamp(XAt(event->position()), from_, to_);
  Choose(at - (at - from_) * factor, at + (to_ - at) * factor);
  event->accept();
}

void TChartView::keyPressEvent(QKeyEvent* event) {
  const double step = (to_ - from_) * kPanStep;
  switch (event->key()) {
    case Qt::Key_Left: Choose(from_ - step, to_ - step); break;
    case Qt::Key_Right: Choose(from_ + step, to_ + step); break;
    case Qt::Key_Plus: Choose(from_ + step, to_ - step); break;
    case Qt::Key_Minus: Choose(from_ - step, to_ + step); break;
    default: QChartView::keyPressEvent(event); return;
  }
  event->accept();
}

void TChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragStart_ = event->pos();
  QChartView::mousePressEvent(event);
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
  if (OnPointer && chart()->plotArea().contains(chart()->mapFromScene(mapToScene(event->pos()))))
    OnPointer(XAt(event->position()));
  QChartView::mouseMoveEvent(event);
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) {
  // A drag across the plot zooms to what it covered; a click leaves the plot alone.
  if (event->button() == Qt::LeftButton) {
    const QPoint start = dragStart_;
    if (std::abs(event->pos().x() - start.x()) > 8) {
      const double a = XAt(start), b = XAt(event->position());
      Choose(std::min(a, b), std::max(a, b));
    }
  }
  QChartView::mouseReleaseEvent(event);
}

}  // namespace talvo::app
