// The program's tests run real widgets on Qt's offscreen platform: no display is needed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/frame/application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The program's own application object, so that the tests see what it does with an
  // exception that escapes an event handler.
  talvo::app::TApplication app(argc, argv);
  QApplication::setApplicationName("Talvo-Maintenance");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
