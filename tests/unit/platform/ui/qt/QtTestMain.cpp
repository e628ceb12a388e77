// The Qt front-end's tests run offscreen unless a display is asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

#include "platform/ui/qt/QtFrontend.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  UseQtFrontend(argc, argv);
  return RUN_ALL_TESTS();
}
