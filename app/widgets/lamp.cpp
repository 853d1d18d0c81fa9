#include "app/widgets/lamp.h"

#include <QPainter>

namespace talvo::app {

Lamp::Lamp(const QColor& color, QWidget* parent) : QWidget(parent), color_(color) {
  setFixedSize(15, 15);
}

void Lamp::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void Lamp::SetStale(bool stale) {
  if (stale == stale_) return;
  stale_ = stale;
  update();
}

void Lamp::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(stale_ ? palette().color(QPalette::Disabled, QPalette::Button) : color_);
  painter.drawEllipse(rect().adjusted(1, 1, -1, -1));
}

}  // namespace talvo::app
