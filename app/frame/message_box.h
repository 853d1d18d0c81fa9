// Every message box of the program goes through ShowMessageBox. Normally it is a modal
// QMessageBox; an unattended run (--snapshot) or a test installs an answerer instead, which
// sees the box and gives the answer without anything waiting for a person.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace talvo::app {

struct TMessageBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::Information;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
};

using TMessageBoxAnswerer = std::function<QMessageBox::StandardButton(const TMessageBox&)>;

// Shows the box (or hands it to the answerer) and returns the button chosen.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const TMessageBox& box);
// A plain information box with OK.
void ShowMessage(QWidget* parent, const QString& text);

// Installs an answerer for every later box; null restores real boxes. Returns the previous.
TMessageBoxAnswerer SetMessageBoxAnswerer(TMessageBoxAnswerer answerer);

}  // namespace talvo::app
