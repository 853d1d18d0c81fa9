#include "app/frame/status_band.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace talvo::app {
namespace {

QVBoxLayout* LampPair(Lamp* upper, Lamp* lower) {
  auto* pair = new QVBoxLayout;
  pair->setSpacing(2);
  pair->setContentsMargins(0, 0, 0, 0);
  pair->addWidget(upper);
  pair->addWidget(lower);
  return pair;
}

QLabel* AlarmLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  QFont bold = label->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  label->setFont(bold);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Active, QPalette::WindowText, colors::kRed);
  palette.setColor(QPalette::Inactive, QPalette::WindowText, colors::kRed);
  label->setPalette(palette);
  label->setEnabled(false);  // greyed until an alarm or a warning flashes
  label->setMinimumWidth(90);
  return label;
}

}  // namespace

TStatusBand::TStatusBand(QWidget* parent) : QWidget(parent) {
  setObjectName("PanelStatus");
  setFixedHeight(37);
  ShapeConnect1 = new Lamp(colors::kDarkGreen, this);
  ShapeConnect1->setObjectName("ShapeConnect1");
  ShapeConnect2 = new Lamp(colors::kDarkGreen, this);
  ShapeConnect2->setObjectName("ShapeConnect2");
  LabelConnectStatus = new QLabel(this);
  LabelConnectStatus->setObjectName("LabelConnectStatus");
  LabelConnectStatus->setAlignment(Qt::AlignCenter);
  QFont bold = LabelConnectStatus->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  LabelConnectStatus->setFont(bold);
  ShapeAlarm1 = new Lamp(colors::kDarkRed, this);
  ShapeAlarm1->setObjectName("ShapeAlarm1");
  ShapeAlarm2 = new Lamp(colors::kDarkRed, this);
  ShapeAlarm2->setObjectName("ShapeAlarm2");
  LabelAlarm = AlarmLabel(this, "LabelAlarm");
  LabelWarning = AlarmLabel(this, "LabelWarning");

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 1, 8, 1);
  row->addLayout(LampPair(ShapeConnect1, ShapeConnect2));
  row->addWidget(LabelConnectStatus, 1);
  row->addLayout(LampPair(ShapeAlarm1, ShapeAlarm2));
  row->addWidget(LabelAlarm);
  row->addWidget(LabelWarning);
}

void TStatusBand::SetConnectText(const QString& text, const QColor& color) {
  LabelConnectStatus->setText(text);
  LabelConnectStatus->setStyleSheet(QStringLiteral("color: %1;").arg(color.name()));
}

void TStatusBand::SetConnectLamps(const QColor& color) {
  ShapeConnect1->SetColor(color);
  ShapeConnect2->SetColor(color);
}

void TStatusBand::BlinkConnectLamps() {
  const bool firstLit = ShapeConnect1->Color() == colors::kBrightGreen;
  ShapeConnect1->SetColor(firstLit ? colors::kDarkGreen : colors::kBrightGreen);
  ShapeConnect2->SetColor(firstLit ? colors::kBrightGreen : colors::kDarkGreen);
}

void TStatusBand::BlinkAlarmLamps() {
  const bool firstLit = ShapeAlarm1->Color() == colors::kRed;
  ShapeAlarm1->SetColor(firstLit ? colors::kDarkRed : colors::kRed);
  ShapeAlarm2->SetColor(firstLit ? colors::kRed : colors::kDarkRed);
}

void TStatusBand::DarkenAlarmLamps() {
  ShapeAlarm1->SetColor(colors::kDarkRed);
  ShapeAlarm2->SetColor(colors::kDarkRed);
}

}  // namespace talvo::app
