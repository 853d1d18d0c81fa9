// A chart view for time and record curves: the wheel zooms the x axis around the pointer,
// a drag zooms to the stretch dragged over, the arrow keys pan, and every change of the
// shown stretch made by the user is reported, so the owner can draw it from its full data.
#pragma once

#include <QChartView>

#include <functional>

namespace talvo::app {

class TChartView : public QChartView {
 public:
  explicit TChartView(QChart* chart, QWidget* parent = nullptr);

  // The x stretch the user asked for.
  std::function<void(double from, double to)> OnRangeChosen;
  // The pointer moved over the plot, at this x value.
  std::function<void(double x)> OnPointer;
  // Sets the shown x stretch without reporting it.
  void ShowRange(double from, double to);
  double From() const { return from_; }
  double To() const { return to_; }

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Choose(double from, double to);
  double XAt(const QPointF& viewPoint) const;

  double from_ = 0;
  double to_ = 1;
  QPoint dragStart_;
};

}  // namespace talvo::app
