#pragma once
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <memory>

#include "game/game.h"
#include "support/test_support.h"

namespace storyloom::test {

// The demo game's files, relative to its folder with "/" separators, sorted.
inline QStringList demoFiles() {
  QStringList files;
  const QDir demo(QStringLiteral(STORYLOOM_DEMO_DIR));
  QDirIterator it(demo.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) files.append(demo.relativeFilePath(it.next()));
  files.sort();
  return files;
}

inline QByteArray demoBytes(const QString& relative) {
  QFile f(QStringLiteral(STORYLOOM_DEMO_DIR) + '/' + relative);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Copies the whole demo into the project folder.
inline void copyDemo(TempProject& project) {
  for (const QString& file : demoFiles()) project.writeBytes(file, demoBytes(file));
}

// The demo in a temporary folder with a game window loaded and reset, its log empty.
struct LoadedDemo {
  TempProject project;
  std::unique_ptr<Game> game;
  LoadedDemo() {
    copyDemo(project);
    project.init();
    game = std::make_unique<Game>(*project.module);
    game->Form_Load();
    game->ResetAll();
    project.log.clear();
  }
};

}  // namespace storyloom::test
