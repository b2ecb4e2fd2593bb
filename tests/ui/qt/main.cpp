#include <gtest/gtest.h>

#include <QApplication>

#include "ui/qt/language.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  trv810::ui::useGerman(application);  // as the program: Qt's own buttons in German
  return RUN_ALL_TESTS();
}
