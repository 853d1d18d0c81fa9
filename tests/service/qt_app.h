// One QCoreApplication for the whole test executable, made on first use, so every test
// that needs an event loop (timers, queued deliveries) shares it.
#pragma once

#include <QCoreApplication>

namespace talvo::test {

inline QCoreApplication& EnsureQtApp() {
  static int argc = 1;
  static char name[] = "service_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

}  // namespace talvo::test
