#include "app/widgets/value_text.h"

#include <QPainter>

namespace talvo::app {

namespace {
constexpr int kMargin = 2;  // between the frame and the text, as a label leaves it
}

ValueText::ValueText(const QString& text, QWidget* parent) : QFrame(parent), text_(text) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ValueText::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update(contentsRect());
}

void ValueText::setAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update(contentsRect());
}

QSize ValueText::sizeHint() const {
  return {minimumWidth(), fontMetrics().height() + 2 * (kMargin + frameWidth())};
}

void ValueText::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(contentsRect().adjusted(kMargin, 0, -kMargin, 0), int(alignment_), text_);
}

}  // namespace talvo::app
