#pragma once
#include <QString>
#include <functional>
#include <memory>

// The program: command line, the shared module, the welcome window and, when asked, the
// walkthrough runner that drives it.
namespace storyloom {

class EditorAndGame;
class MessageBoxes;
class UserSettings;
class WalkthroughRunner;
class frmWelcome;
class Game;

struct CommandLine {
  enum class Action { Play, Help, Version, Usage } action = Action::Play;
  QString projectFolder;  // empty: the program's own folder
  QString walkthrough;
  bool trustGame = false;  // the game's scripts reach every file, as on the original system
  QString error;
  static CommandLine parse(const QStringList& args);
  static QString usage();
};

class Application {
 public:
  Application(const QString& hostProjectFolder, MessageBoxes& messages, UserSettings& settings);
  ~Application();

  EditorAndGame& module() { return *module_; }
  frmWelcome& welcome() { return *welcome_; }
  WalkthroughRunner* runner() { return runner_; }
  void setRunner(WalkthroughRunner* runner) { runner_ = runner; }
  const QString& hostProjectFolder() const { return hostProjectFolder_; }
  // The game to play, when it is chosen after the program started (the launcher); before start().
  void setHostProjectFolder(const QString& folder) { hostProjectFolder_ = folder; }

  // startGame and showLoadDialog, when set, replace the welcome window's Start and Load.
  struct GameHooks {
    std::function<void()> startGame;
    std::function<void()> showLoadDialog;
  };
  GameHooks gameHooks;
  // Every game of this run may reach the whole disk without a question.
  bool trustGame = false;

  // The game window of the running game; nullptr before the first Start.
  Game* game() { return game_.get(); }
  // Start: load the game window, ResetAll, hide the welcome window, StartNewGame, show it.
  void startGame();
  // Load: the load window over a game window that is not shown until a game is loaded.
  void loadGameFromWelcome();

  // Loads the welcome window (and with it the project). Returns false when the program
  // must end at once.
  bool start();

 private:
  // A fresh game window with the program's hooks, loaded (Form_Load).
  Game& newGameWindow();

  QString hostProjectFolder_;
  std::unique_ptr<EditorAndGame> module_;
  std::unique_ptr<frmWelcome> welcome_;
  std::unique_ptr<Game> game_;
  WalkthroughRunner* runner_ = nullptr;
};

// Walkthrough commands that work on any window: click, button, key, type, answer,
// answer-input, screenshot, expect-message, expect-widget.
void registerStandardWalkthroughCommands(WalkthroughRunner& runner, MessageBoxes& messages);

// Walkthrough commands of the game window: expect-frame, expect-text, menu.
void registerGameWalkthroughCommands(WalkthroughRunner& runner, Application& application);

int runApplication(int argc, char** argv);

}  // namespace storyloom
