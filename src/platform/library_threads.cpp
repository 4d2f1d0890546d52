#include "platform/library_threads.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <dlfcn.h>

// Address-sanitizer builds, as GCC and clang each tell them.
#if defined(__SANITIZE_ADDRESS__)
#define STORYLOOM_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define STORYLOOM_ADDRESS_SANITIZER 1
#endif
#endif

namespace storyloom {

#if defined(STORYLOOM_ADDRESS_SANITIZER)
namespace {

int threadCount() {
  return static_cast<int>(
      QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

}  // namespace
#endif

void SettleLibraryThreadsBeforeExit() {
#if defined(STORYLOOM_ADDRESS_SANITIZER)
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
