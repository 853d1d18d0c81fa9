// TTCoordBox: one coordinate system's six axes, as a captioned box of axis letters and
// values. It owns the position object that feeds it and shows every change of it.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <array>

#include "app/widgets/value_text.h"
#include "service/talvo_info_position.h"

namespace talvo {
class TTalvoService;
}

namespace talvo::app {

class TTCoordBox : public QWidget {
 public:
  static constexpr int kAxes = 6;

  TTCoordBox(const char* objectName, EPositionKind kind, QWidget* parent = nullptr);

  // Registers the owned object with the service (or unregisters it for null).
  void Attach(TTalvoService* service);
  void SetKind(EPositionKind kind) { position_.Kind = kind; }
  void SetGroup(int group) { position_.Group = group; }
  void SetRowsVisible(const std::array<bool, kAxes>& visible);
  void SetAxisLabels(const std::array<QString, kAxes>& letters);
  void SetCaption(const QString& caption) { box_->setTitle(caption); }

  TTalvoInfo_Position& Position() { return position_; }
  QString Value(int axis) const { return values_[static_cast<std::size_t>(axis)]->text(); }

 private:
  void PositionChange();

  QGroupBox* box_;
  std::array<QLabel*, kAxes> letters_{};
  std::array<ValueText*, kAxes> values_{};
  TTalvoInfo_Position position_;
};

}  // namespace talvo::app
