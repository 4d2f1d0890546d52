#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "platform/message_boxes.h"
#include "platform/user_settings.h"
#include "shell/editor_and_game.h"

namespace storyloom::test {

// A project folder on disk in a temporary folder, with message boxes answered
// automatically and a per-user store of its own.
class TempProject {
 public:
  TempProject();
  QString root() const { return dir_.path(); }
  // Writes a file given by its path relative to the project ("Config/General"); the
  // folders are made as needed. The text is written as Windows-1252.
  void write(const QString& relative, const QString& text);
  void writeBytes(const QString& relative, const QByteArray& bytes);
  // A minimal Config\General with the given initial frame.
  void writeGeneral(const QString& initialFrame = QStringLiteral("Start"));

  MessageBoxes messages;
  QStringList log;
  std::unique_ptr<UserSettings> userSettings;
  std::unique_ptr<EditorAndGame> module;

  // The module after InitProject on this folder.
  EditorAndGame& init();

 private:
  QTemporaryDir dir_;
};

}  // namespace storyloom::test
