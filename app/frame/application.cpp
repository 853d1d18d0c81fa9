#include "app/frame/application.h"

#include <cstdio>
#include <exception>

#include "app/frame/message_box.h"

namespace talvo::app {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportException(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    ReportException("unknown exception");
  }
  return true;
}

void TApplication::ReportException(const QString& what) {
  const QString text = "Internal error: " + what;
  std::fprintf(stderr, "Talvo-Maintenance: %s\n", text.toLocal8Bit().constData());
  // A box that fails in turn while being shown ends the program with a status that says so.
  if (reporting_) {
    std::fflush(stderr);
    std::_Exit(70);
  }
  reporting_ = true;
  if (lines_) lines_(text);
  ShowMessageBox(activeWindow(), {applicationName(), text, QMessageBox::Critical});
  reporting_ = false;
}

}  // namespace talvo::app
