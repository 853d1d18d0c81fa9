// A field that shows a live value as one line of text. A new text repaints the field and
// nothing else: a QLabel asks its layout to recompute at every new text, and the request
// climbs to the main window, which then lays out and repaints everything; on a page whose
// values change at every poll that cost more than the polling itself.
#pragma once

#include <QFrame>
#include <QString>

namespace talvo::app {

class ValueText : public QFrame {
 public:
  explicit ValueText(const QString& text = {}, QWidget* parent = nullptr);

  QString text() const { return text_; }
  void setText(const QString& text);
  void setAlignment(Qt::Alignment alignment);

  // The same whatever the text, so a new text never moves the layout.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

}  // namespace talvo::app
