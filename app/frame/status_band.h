// The band under the tool bar: the two connection lamps, the connection text, the two alarm
// lamps and the alarm and warning labels. The main window's timers make the lamps flash.
#pragma once

#include <QLabel>
#include <QWidget>

#include "app/widgets/lamp.h"

namespace talvo::app {

class TStatusBand : public QWidget {
 public:
  explicit TStatusBand(QWidget* parent = nullptr);

  void SetConnectText(const QString& text, const QColor& color);
  void SetConnectLamps(const QColor& color);
  // One step of the connecting blink: the bright lamp goes dark and the other lights.
  void BlinkConnectLamps();
  // One step of the alarm blink, and the resting state.
  void BlinkAlarmLamps();
  void DarkenAlarmLamps();

  Lamp* ShapeConnect1;
  Lamp* ShapeConnect2;
  QLabel* LabelConnectStatus;
  Lamp* ShapeAlarm1;
  Lamp* ShapeAlarm2;
  QLabel* LabelAlarm;
  QLabel* LabelWarning;
};

}  // namespace talvo::app
