#include "app/widgets/coord_box.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/format/display_format.h"

namespace talvo::app {

TTCoordBox::TTCoordBox(const char* objectName, EPositionKind kind, QWidget* parent)
    : QWidget(parent), box_(new QGroupBox(this)) {
  setObjectName(objectName);
  box_->setObjectName("PosGroup");
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(box_);

  auto* columns = new QHBoxLayout(box_);
  auto* labelPanel = new QWidget(box_);
  labelPanel->setObjectName("LablePanel");
  auto* posPanel = new QWidget(box_);
  posPanel->setObjectName("PosPanel");
  columns->addWidget(labelPanel);
  columns->addWidget(posPanel, 1);
  auto* labelColumn = new QVBoxLayout(labelPanel);
  auto* posColumn = new QVBoxLayout(posPanel);
  labelColumn->setContentsMargins(0, 0, 0, 0);
  posColumn->setContentsMargins(0, 0, 0, 0);
  static const char* const initial[kAxes] = {"X", "Y", "Z", "C", "A", "B"};
  QFont letterFont = font();
  letterFont.setPointSizeF(letterFont.pointSizeF() * 1.4);
  letterFont.setBold(true);
  QFont valueFont = letterFont;
  valueFont.setFamily(QStringLiteral("monospace"));
  valueFont.setStyleHint(QFont::Monospace);
  for (int i = 0; i < kAxes; ++i) {
    auto* letter = new QLabel(initial[i], labelPanel);
    letter->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    letter->setFont(letterFont);
    letter->setStyleSheet(QStringLiteral("color: rgb(0, 128, 0);"));
    auto* value = new ValueText(QStringLiteral("0.0000"), posPanel);
    value->setObjectName(QStringLiteral("Pos%1").arg(i + 1));
    value->setFont(valueFont);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the longest position.
    value->setMinimumWidth(QFontMetrics(valueFont).horizontalAdvance(QStringLiteral("-00000.0000")));
    labelColumn->addWidget(letter);
    posColumn->addWidget(value);
    letters_[static_cast<std::size_t>(i)] = letter;
    values_[static_cast<std::size_t>(i)] = value;
  }
  setMinimumSize(159, 179);
  position_.Kind = kind;
  position_.OnChange = [this](TTalvoInfo*) { PositionChange(); };
}

void TTCoordBox::Attach(TTalvoService* service) { position_.SetService(service); }

void TTCoordBox::SetRowsVisible(const std::array<bool, kAxes>& visible) {
  for (std::size_t i = 0; i < kAxes; ++i) {
    letters_[i]->setVisible(visible[i]);
    values_[i]->setVisible(visible[i]);
  }
}

void TTCoordBox::SetAxisLabels(const std::array<QString, kAxes>& letters) {
  for (std::size_t i = 0; i < kAxes; ++i) letters_[i]->setText(letters[i]);
}

void TTCoordBox::PositionChange() {
  for (int i = 0; i < kAxes; ++i)
    values_[static_cast<std::size_t>(i)]->setText(LengthText(position_.Axis(i)));
}

}  // namespace talvo::app
