#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/vbscript/value.h"

// Saved games: the .sav file (one reader returning a plain struct, one writer), where saved
// games live, and the game window's save and load windows with the load itself.
namespace storyloom {

class Game;
class EditorAndGame;
class FieldReader;
class frmSaveGame;
class frmLoadGame;

// The contents of one .sav file, field by field.
struct SavedGame {
  QString resumeFrame;
  std::vector<std::pair<QString, qint16>> variables;
  std::vector<std::pair<QString, qint16>> disappear;  // frame name, hotspot index
  QStringList items;
  // Files of older versions end after the items or after the history.
  std::optional<QStringList> history;
  QString projectName;
  QString gameTitle;
  QString date;  // MM/DD/YYYY
  QString version = QStringLiteral("Version 3.4.0");
  std::optional<std::vector<std::pair<QString, vbs::Value>>> variants;
};

// Reads a saved game into `into`, field by field, so that what was read before a failure is
// kept there; a damaged file raises the read's PlatformError.
void readSavedGame(FieldReader& reader, SavedGame& into);
// The file's bytes: one field per line, CRLF, Windows-1252.
QByteArray writeSavedGame(const SavedGame& game);

// One entry of the saved-games lists.
struct SavedGameFile {
  QString name;      // without ".sav"
  QString hostPath;  // where it lies
  QDateTime modified;
};

class SavedGames {
 public:
  explicit SavedGames(Game& game);
  ~SavedGames();
  SavedGames(const SavedGames&) = delete;
  SavedGames& operator=(const SavedGames&) = delete;

  // True when the load window was closed with Cancel.
  bool LoadCancelled = false;

  // The saved games of the project folder and of the player's own folder for this project,
  // oldest first; names of four characters or fewer ("x.sav" needs five) are left out, and
  // of two files of one name the newer counts.
  std::vector<SavedGameFile> listSavedGames() const;
  // The file of a listed saved game (host path); empty when there is none.
  QString savedGameFile(const QString& name) const;
  // The player's own folder for this project's saved games (host path), used when the
  // project folder cannot be written.
  QString userSaveFolder() const;

  // The state of the running game as it would be saved.
  SavedGame capture() const;
  // Writes the saved game; the file of that name is replaced only once the new one is
  // completely written. Reports a failure and returns false.
  bool SaveGame(const QString& name);
  // Loads a listed saved game (steps 2 to 9); returns false after a reported failure.
  bool LoadGame(const QString& name);

  // The frame at which a loaded game resumes: Config\Resume's last pair for the frame.
  QString GetResumeLocation(const QString& sFrameName);

  void ShowSaveGameWindow();
  void ShowLoadGameWindow(bool bAbortIfATimerIsEnabled = false);
  // The welcome window's Load: the load window with no game running yet.
  void ShowLoadGameWindowFromWelcome();

  // The open dialogs (walkthroughs, tests); nullptr when none is shown.
  frmSaveGame* saveWindow() const { return saveWindow_; }
  frmLoadGame* loadWindow() const { return loadWindow_; }

  // Called when a load shows the game window (the welcome window hides then).
  std::function<void()> gameShown;
  // The load's pauses; tests and benchmarks may leave them out.
  std::function<void(double seconds)> pause;
  // Writes the bytes of a saved game to an open file; returns the bytes written or -1.
  std::function<qint64(QIODevice& file, const QByteArray& bytes)> writeBytes;

 private:
  EditorAndGame& module() const;
  // Writes to one folder; NotThere when no file can be made there, Failed when the writing
  // failed (the file of that name is then as it was).
  enum class Written { Done, NotThere, Failed };
  Written writeInto(const QString& hostFolder, const QString& name, const QByteArray& bytes) const;
  void apply(const SavedGame& saved);

  Game& game_;
  frmSaveGame* saveWindow_ = nullptr;
  frmLoadGame* loadWindow_ = nullptr;
};

}  // namespace storyloom
