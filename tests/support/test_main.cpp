#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <dlfcn.h>

namespace {

int threadCount() { return static_cast<int>(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

// The media backend's threads wait idle for new work and exit on their own up to 15 s after
// their last use. One that exits while the sanitizer's leak check stops the process at its
// end makes that check fail, so they are stopped, and their ends waited for (up to a second),
// before the process ends.
void stopIdleLibraryThreads() {
  using Stop = void (*)();
  const auto stop = reinterpret_cast<Stop>(dlsym(RTLD_DEFAULT, "g_thread_pool_stop_unused_threads"));
  if (!stop) return;
  stop();
  QElapsedTimer clock;
  clock.start();
  int count = threadCount();
  qint64 steadySince = 0;
  while (clock.elapsed() < 1000 && clock.elapsed() - steadySince < 100) {
    QThread::msleep(10);
    const int now = threadCount();
    if (now != count) {
      count = now;
      steadySince = clock.elapsed();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  if (qgetenv("STORYLOOM_SILENT_AUDIO").isEmpty()) qputenv("STORYLOOM_SILENT_AUDIO", "1");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  stopIdleLibraryThreads();
  return result;
}
