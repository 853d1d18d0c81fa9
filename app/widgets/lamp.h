// A round lamp of the status band: a filled circle whose colour the frame sets.
#pragma once

#include <QColor>
#include <QWidget>

namespace talvo::app {

class Lamp : public QWidget {
 public:
  explicit Lamp(const QColor& color, QWidget* parent = nullptr);

  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  // A lamp of a connection that is gone is drawn grey, whatever its last colour.
  void SetStale(bool stale);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
  bool stale_ = false;
};

// The colours of the lamps and the status texts.
namespace colors {
inline const QColor kBrightGreen{0, 255, 0};
inline const QColor kDarkGreen{0, 64, 0};
inline const QColor kGreen{0, 128, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kDarkRed{64, 0, 0};
inline const QColor kBlue{0, 0, 255};
}  // namespace colors

}  // namespace talvo::app
