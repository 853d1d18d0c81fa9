// The program's tests run real widgets on Qt's offscreen platform: no display is needed.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QApplication::setApplicationName("Talvo-Maintenance");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
