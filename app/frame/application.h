// The program's application object. An exception that escapes an event handler must not
// end the program silently (Qt cannot carry it through its event loop): it is caught where
// the event was delivered, shown in a box with its text and written to the process
// information lines, and the program carries on with the next event.
#pragma once

#include <QApplication>

#include <functional>

namespace talvo::app {

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);

  // Where the text of a caught exception goes besides the box (the process information).
  void SetExceptionLines(std::function<void(const QString&)> lines) { lines_ = std::move(lines); }

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows what escaped and records it; used for start-up as well.
  void ReportException(const QString& what);

 private:
  std::function<void(const QString&)> lines_;
  bool reporting_ = false;
};

}  // namespace talvo::app
