#include "app/frame/message_box.h"

#include <QApplication>

namespace talvo::app {
namespace {

TMessageBoxAnswerer& Answerer() {
  static TMessageBoxAnswerer answerer;
  return answerer;
}

}  // namespace

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const TMessageBox& box) {
  if (Answerer()) return Answerer()(box);
  QMessageBox dialog(box.icon, box.title.isEmpty() ? QApplication::applicationName() : box.title,
                     box.text, box.buttons, parent);
  dialog.setDefaultButton(box.defaultButton);
  return static_cast<QMessageBox::StandardButton>(dialog.exec());
}

void ShowMessage(QWidget* parent, const QString& text) {
  ShowMessageBox(parent, TMessageBox{{}, text});
}

TMessageBoxAnswerer SetMessageBoxAnswerer(TMessageBoxAnswerer answerer) {
  return std::exchange(Answerer(), std::move(answerer));
}

}  // namespace talvo::app
