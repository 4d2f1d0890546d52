#include "shell/application.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QIcon>
#include <QUrl>
#include <cstdio>

#include "effects/transitions.h"
#include "game/game.h"
#include "media/audio_channels.h"
#include "game/message_bar.h"
#include "platform/log_lines.h"
#include "media/video.h"
#include "platform/message_boxes.h"
#include "platform/system_log.h"
#include "platform/user_settings.h"
#include "shell/editor_and_game.h"
#include "shell/frm_welcome.h"
#include "scripting/file_access.h"
#include "scripting/script_host.h"
#include "shell/multi_cd.h"
#include "shell/launcher.h"
#include "shell/walkthrough.h"
#include "state/saved_games.h"

namespace storyloom {

QString CommandLine::usage() {
  return QStringLiteral(
      "Usage: storyloom-player [--project DIR] [--trust-game] [--walkthrough FILE]\n"
      "       storyloom-player --help | --version\n"
      "\n"
      "Plays the game in the program's own folder, or in DIR.\n"
      "  --project DIR       play the game folder DIR\n"
      "  --trust-game        let the game's scripts reach files and programs anywhere\n"
      "                      (without it, they stay in the game's own folders unless\n"
      "                      you allow more when asked)\n"
      "  --walkthrough FILE  drive the program by the commands in FILE (for tests)\n"
      "  --help              show this text\n"
      "  --version           show the version\n");
}

CommandLine CommandLine::parse(const QStringList& args) {
  CommandLine cl;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&](QString* out) {
      if (i + 1 >= args.size()) {
        cl.action = Action::Usage;
        cl.error = QStringLiteral("%1 needs a value").arg(a);
        return;
      }
      *out = args[++i];
    };
    if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
      cl.action = Action::Help;
      return cl;
    } else if (a == QLatin1String("--version")) {
      cl.action = Action::Version;
      return cl;
    } else if (a == QLatin1String("--project")) {
      value(&cl.projectFolder);
    } else if (a == QLatin1String("--trust-game")) {
      cl.trustGame = true;
    } else if (a == QLatin1String("--walkthrough")) {
      value(&cl.walkthrough);
    } else {
      cl.action = Action::Usage;
      cl.error = QStringLiteral("unknown argument: %1").arg(a);
    }
    if (cl.action == Action::Usage) return cl;
  }
  return cl;
}

Application::Application(const QString& hostProjectFolder, MessageBoxes& messages, UserSettings& settings)
    : hostProjectFolder_(hostProjectFolder), module_(std::make_unique<EditorAndGame>(messages, settings)) {
  frmWelcome::Launcher launcher;
  launcher.startGame = [this] {
    if (gameHooks.startGame)
      gameHooks.startGame();
    else
      startGame();
  };
  launcher.showLoadDialog = [this] {
    if (gameHooks.showLoadDialog)
      gameHooks.showLoadDialog();
    else
      loadGameFromWelcome();
  };
  launcher.openUrl = [this](const QString& url) {
    if (runner_) {
      runner_->log(QStringLiteral("open ") + quotedForLog(url));
      return;
    }
    QDesktopServices::openUrl(QUrl(url));
  };
  launcher.resolutionMatchesProject = [this] {
    return module_->display().ResolutionMatchesProject(module_->settings.ResolutionMode);
  };
  launcher.changeResolution = [this](int mode) { module_->display().ChangeResolutionToMode(mode); };
  module_->SmallFontsCheck = [] { return storyloom::SmallFontsCheck(); };
  welcome_ = std::make_unique<frmWelcome>(*module_, std::move(launcher));
}

Application::~Application() {
  module_->multiCD().gameWindow = {};
  if (game_) game_->unloaded = nullptr;
  game_.reset();
}

void Application::startGame() {
  Game& game = newGameWindow();
  game.ResetAll();
  welcome_->hide();
  game.StartNewGame();
  game.show();
  game.activateWindow();
}

void Application::loadGameFromWelcome() {
  // The game window is loaded before the list is shown; a game that was left keeps its
  // window until another one is loaded.
  Game& game = game_ && game_->isVisible() ? *game_ : newGameWindow();
  game.savedGames().ShowLoadGameWindowFromWelcome();
}

Game& Application::newGameWindow() {
  // The window of a previous game has closed; a new game gets a fresh one.
  module_->multiCD().gameWindow = {};
  game_.reset();
  game_ = std::make_unique<Game>(*module_);
  Game& game = *game_;
  game.savedGames().gameShown = [this] {
    welcome_->hide();
    game_->activateWindow();
  };
  if (runner_) {
    game.frameOpening = [r = runner_](const QString& name, bool found) {
      r->log((found ? QStringLiteral("frame ") : QStringLiteral("frame-missing ")) + quotedForLog(name));
    };
    game.transitions().finished = [r = runner_](const Transitions::Run& run) {
      r->log(QStringLiteral("transition %1 %2 %3").arg(run.number).arg(run.seconds).arg(run.steps));
    };
    game.video().started = [r = runner_](const QString& file) {
      r->log(QStringLiteral("video ") + quotedForLog(file));
    };
    game.frameMessages().shown = [r = runner_](const QString& text) {
      r->log(QStringLiteral("message ") + quotedForLog(text));
    };
    game.audio().soundStarted = [r = runner_](int channel, const QString& file) {
      r->log(QStringLiteral("sound %1 ").arg(channel) + quotedForLog(EditorAndGame::FileNameOf(file)));
    };
  }
  game.unloaded = [this] {
    if (!module_->settings.SkipWelcomeWindow) {
      QCoreApplication::processEvents();
      welcome_->show();
    } else {
      welcome_->close();
    }
  };
  module_->multiCD().gameWindow = cdRequestCallsFor(game);
  game.Form_Load();
  game.mnuTrustGame->setChecked(trustGame);
  game.scripts().fileAccess().setTrusted(trustGame);
  return game;
}

bool Application::start() { return welcome_->Form_Load(hostProjectFolder_) != frmWelcome::LoadResult::EndProgram; }

int runApplication(int argc, char** argv) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args.append(QString::fromLocal8Bit(argv[i]));
  const CommandLine cl = CommandLine::parse(args);
  switch (cl.action) {
    case CommandLine::Action::Help: std::fputs(CommandLine::usage().toUtf8().constData(), stdout); return 0;
    case CommandLine::Action::Version: std::printf("storyloom-player %s\n", STORYLOOM_VERSION); return 0;
    case CommandLine::Action::Usage:
      std::fprintf(stderr, "storyloom-player: %s\n\n%s", cl.error.toUtf8().constData(),
                   CommandLine::usage().toUtf8().constData());
      return 2;
    case CommandLine::Action::Play: break;
  }

  quietenSystemMessages();
  if (!graphicalDisplayAvailable()) {
    std::fputs("storyloom-player: no graphical display: set DISPLAY or WAYLAND_DISPLAY\n", stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("storyloom-player"));
  QApplication::setQuitOnLastWindowClosed(false);
  QIcon icon;  // every size the program carries (":/icons/<size>/storyloom-player.png")
  for (QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
       it.hasNext();)
    icon.addFile(it.next());
  QApplication::setWindowIcon(icon);

  QString folder = cl.projectFolder.isEmpty() ? QCoreApplication::applicationDirPath() : cl.projectFolder;
  folder = QFileInfo(folder).absoluteFilePath();
  if (!QFileInfo(folder).isDir()) {
    std::fprintf(stderr, "storyloom-player: no such folder: %s\n", folder.toUtf8().constData());
    return 2;
  }
  // A folder named on the command line must hold a game; without one the program's own
  // folder is played when it holds a game, else the launcher asks for one.
  const bool launch = cl.projectFolder.isEmpty() && !isGameFolder(folder);
  if (!cl.projectFolder.isEmpty() && !isGameFolder(folder)) {
    std::fprintf(stderr, "storyloom-player: %s\n", notAGameMessage(folder).toUtf8().constData());
    return 2;
  }

  MessageBoxes messages;
  UserSettings userSettings;
  std::unique_ptr<WalkthroughRunner> runner;
  if (!cl.walkthrough.isEmpty()) {
    runner = std::make_unique<WalkthroughRunner>();
    messages.setAutomatic([r = runner.get()](const QString& line) { r->log(line); });
    registerStandardWalkthroughCommands(*runner, messages);
  }
  Application application(folder, messages, userSettings);
  application.trustGame = cl.trustGame;
  if (runner) {
    application.setRunner(runner.get());
    registerGameWalkthroughCommands(*runner, application);
    QString error;
    if (!runner->load(cl.walkthrough, &error)) {
      std::fprintf(stderr, "storyloom-player: %s\n", error.toUtf8().constData());
      return 2;
    }
    QObject::connect(runner.get(), &WalkthroughRunner::ended, &app, [](int code) { QCoreApplication::exit(code); });
    runner->start();
  }
  if (launch) {
    const QString chosen = chooseGameInLauncher(userSettings, messages, QCoreApplication::applicationDirPath());
    if (chosen.isEmpty()) return runner && runner->finished() ? runner->exitCode() : 0;
    application.setHostProjectFolder(chosen);
  }
  if (!application.start()) return 1;
  const int code = app.exec();
  if (runner && runner->finished()) return runner->exitCode();
  return code;
}

}  // namespace storyloom
