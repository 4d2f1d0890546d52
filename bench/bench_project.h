#pragma once
// A game project written into a temporary folder, and a game window playing it, for the
// runtime benchmarks.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

#include "game/game.h"
#include "platform/message_boxes.h"
#include "platform/user_settings.h"
#include "shell/editor_and_game.h"

namespace storyloom::bench {

struct BenchProject {
  QTemporaryDir dir;
  MessageBoxes boxes;
  std::unique_ptr<UserSettings> settings;
  std::unique_ptr<EditorAndGame> module;
  std::unique_ptr<Game> game;

  // Writes a project file, given by its path in the project ("Config/General"), as Latin-1.
  void write(const QString& relative, const QString& text) {
    const QString path = dir.path() + '/' + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toLatin1());
  }
  // Starts the project's shell and a game window on it, reset and ready for StartNewGame.
  Game& openGame() {
    boxes.setAutomatic([](const QString&) {});
    settings = std::make_unique<UserSettings>(dir.path() + "/.settings.ini");
    module = std::make_unique<EditorAndGame>(boxes, *settings);
    module->InitProject(dir.path());
    game = std::make_unique<Game>(*module);
    game->Form_Load();
    game->ResetAll();
    return *game;
  }
};

}  // namespace storyloom::bench
