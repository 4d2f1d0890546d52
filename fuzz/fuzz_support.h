#pragma once
// What the fuzz targets share: the input as bytes, one offscreen application for the run,
// and the demo copied once into a temporary folder with its module, so that the readers
// that take a project file read the input from there.
#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "hotspots/action_record.h"
#include "platform/message_boxes.h"
#include "platform/user_settings.h"
#include "support/ignored_effects.h"
#include "shell/editor_and_game.h"

namespace storyloom::fuzz {

inline QByteArray inputBytes(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Creates the offscreen application on the first call.
inline void ensureApplication() {
  static int argc = 1;
  static char name[] = "storyloom-fuzz";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  (void)app;
}

// Lets the objects deleted later go, so that a long run does not grow.
inline void settleDeletions() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

// Action records whose immediate effects go nowhere.
using NoEffects = test::IgnoredEffects;

// The demo in a temporary folder; message boxes are answered automatically.
class DemoCopy {
  QTemporaryDir dir_;  // first made, last removed

 public:
  DemoCopy() {
    const QDir demo(QStringLiteral(STORYLOOM_DEMO_DIR));
    QDirIterator it(demo.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString relative = demo.relativeFilePath(it.next());
      QFile f(demo.filePath(relative));
      if (f.open(QIODevice::ReadOnly)) writeBytes(relative, f.readAll());
    }
    messages.setAutomatic([](const QString&) {});
    userSettings = std::make_unique<UserSettings>(dir_.path() + QStringLiteral("/.user-settings.ini"));
    module = std::make_unique<EditorAndGame>(messages, *userSettings);
    module->InitProject(dir_.path());
  }
  QString root() const { return dir_.path(); }
  QString host(const QString& relative) const { return dir_.path() + '/' + relative; }
  void writeBytes(const QString& relative, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(host(relative)).path());
    QFile f(host(relative));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
  }
  // The demo's own bytes of a file.
  static QByteArray original(const QString& relative) {
    QFile f(QStringLiteral(STORYLOOM_DEMO_DIR) + '/' + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void restore(const QString& relative) { writeBytes(relative, original(relative)); }

  MessageBoxes messages;
  std::unique_ptr<UserSettings> userSettings;
  std::unique_ptr<EditorAndGame> module;
};

}  // namespace storyloom::fuzz
