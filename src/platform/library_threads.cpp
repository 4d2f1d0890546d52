#include "platform/library_threads.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <dlfcn.h>

namespace storyloom {

#if defined(__SANITIZE_ADDRESS__)
namespace {

int threadCount() {
  return static_cast<int>(
      QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

}  // namespace
#endif

void SettleLibraryThreadsBeforeExit() {
#if defined(__SANITIZE_ADDRESS__)
  // Looked up rather than linked: the library is there whenever the media backend is.
  using Stop = void (*)();
  if (const auto stop = reinterpret_cast<Stop>(dlsym(RTLD_DEFAULT, "g_thread_pool_stop_unused_threads"))) stop();
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
#endif
}

}  // namespace storyloom
