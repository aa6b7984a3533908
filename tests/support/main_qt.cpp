// Test executables whose code needs a running application: widgets, message boxes, PDF pages.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  QApplication::setApplicationName("agent_impression");
  return RUN_ALL_TESTS();
}
