#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QPushButton;

// The small window the player opens when it has no game to play: a game folder typed or
// browsed for, one of the recently played games, or the demo.
namespace storyloom {

class MessageBoxes;
class UserSettings;

// Whether the folder holds a game: it has Config/General, each name in any case, as
// folders copied from Windows spell them.
bool isGameFolder(const QString& hostFolder);
// What the player is told about a folder that is not a game.
QString notAGameMessage(const QString& hostFolder);

// The demo game next to the program: <prefix>/share/storyloom-player/demo when installed,
// else the source tree's examples/demo when run from a build. Empty when there is none.
QString findDemoFolder(const QString& programFolder);

// The recently played game folders, most recent first, kept in the user's settings.
class RecentGames {
 public:
  static constexpr int Kept = 8;
  explicit RecentGames(UserSettings& settings) : settings_(settings) {}
  QStringList folders() const;
  // Puts the folder first (once), dropping the oldest beyond Kept.
  void add(const QString& hostFolder);
  void remove(const QString& hostFolder);

 private:
  void store(const QStringList& folders);
  UserSettings& settings_;
};

class GameLauncher : public QDialog {
  Q_OBJECT
 public:
  // demoFolder empty: no demo to offer.
  GameLauncher(UserSettings& settings, MessageBoxes& messages, const QString& demoFolder, QWidget* parent = nullptr);

  // The game chosen; empty until one is.
  const QString& chosenFolder() const { return chosen_; }
  // Accepts the folder when it is a game (and remembers it); otherwise says why not and
  // stays open. Returns whether it was accepted.
  bool choose(const QString& hostFolder);

 private:
  void fillRecentGames();
  void browse();

  UserSettings& settings_;
  MessageBoxes& messages_;
  QString demoFolder_;
  QString chosen_;
  QListWidget* lstRecentGames_;
  QLineEdit* txtGameFolder_;
  QPushButton* cmdBrowse_;
  QPushButton* cmdPlay_;
  QPushButton* cmdPlayDemo_;
  QPushButton* cmdQuit_;
};

// The launcher run to its end: the game folder chosen, or empty when the player quit.
QString chooseGameInLauncher(UserSettings& settings, MessageBoxes& messages, const QString& programFolder);

}  // namespace storyloom
