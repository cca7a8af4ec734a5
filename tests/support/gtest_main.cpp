#include <QApplication>
#include <gtest/gtest.h>

// One QApplication for every test program: window tests need it, and core tests are not
// harmed by it. Tests run offscreen (QT_QPA_PLATFORM is set by ctest).
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
