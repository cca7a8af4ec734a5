#include <QGuiApplication>
#include <gtest/gtest.h>

// The report core's own test program: a GUI application for fonts and PDF painting, and no
// widgets, as the command line has it.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
