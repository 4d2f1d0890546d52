#include <gtest/gtest.h>

#include <QApplication>

#include "platform/library_threads.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  if (qgetenv("STORYLOOM_SILENT_AUDIO").isEmpty()) qputenv("STORYLOOM_SILENT_AUDIO", "1");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  storyloom::SettleLibraryThreadsBeforeExit();
  return result;
}
