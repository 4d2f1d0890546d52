#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "shell/application.h"
#include "shell/walkthrough.h"
#include "support/test_support.h"

using namespace storyloom;

namespace {
struct PlayerRun {
  int code;
  QString out, err;
};
PlayerRun runPlayer(const QStringList& args, QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
  QProcess p;
  if (!env.contains("NO_DISPLAY")) env.insert("QT_QPA_PLATFORM", "offscreen");
  env.remove("QT_LOGGING_RULES");
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(STORYLOOM_PLAYER_PATH), args);
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
}  // namespace

TEST(CommandLine, OptionsAndUsage) {
  EXPECT_EQ(CommandLine::parse({"p"}).action, CommandLine::Action::Play);
  const CommandLine both = CommandLine::parse({"p", "--project", "/g", "--walkthrough", "w.walk"});
  EXPECT_EQ(both.projectFolder, "/g");
  EXPECT_EQ(both.walkthrough, "w.walk");
  EXPECT_FALSE(both.trustGame);
  EXPECT_TRUE(CommandLine::parse({"p", "--trust-game", "--project", "/g"}).trustGame);
  EXPECT_EQ(CommandLine::parse({"p", "--project"}).action, CommandLine::Action::Usage);
  EXPECT_EQ(CommandLine::parse({"p", "-x"}).action, CommandLine::Action::Usage);

  const PlayerRun help = runPlayer({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.contains("--walkthrough FILE"));
  EXPECT_TRUE(help.out.contains("--trust-game"));
  EXPECT_TRUE(runPlayer({"--version"}).out.startsWith("storyloom-player "));
  const PlayerRun bad = runPlayer({"--bogus"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(bad.err.contains("unknown argument: --bogus"));
  EXPECT_TRUE(bad.err.contains("Usage:"));
}

TEST(CommandLine, AFolderThatIsNotAGameIsRefusedBeforeAnythingOpens) {
  QTemporaryDir dir;
  QFile walk(dir.path() + "/w.walk");
  ASSERT_TRUE(walk.open(QIODevice::WriteOnly));
  walk.write("wait 10\n");
  walk.close();
  const PlayerRun r = runPlayer({"--project", dir.path(), "--walkthrough", dir.path() + "/w.walk"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("The folder " + dir.path() + " is not a game: it has no Config/General file"))
      << r.err.toStdString();
  EXPECT_FALSE(r.out.contains("msgbox")) << r.out.toStdString();
}

TEST(Walkthrough, ScreenshotsOfTheWindowAndOfThePictureAlone) {
  QTemporaryDir dir;
  QFile walk(dir.path() + "/w.walk");
  ASSERT_TRUE(walk.open(QIODevice::WriteOnly));
  walk.write(QStringLiteral("click Img0\nexpect-frame Shore\nscreenshot %1/picture.png picture\n"
                            "screenshot %1/window.png\nscreenshot %1/x.png frame\n")
                 .arg(dir.path())
                 .toUtf8());
  walk.close();
  const PlayerRun r = runPlayer({"--project", STORYLOOM_DEMO_DIR, "--walkthrough", dir.path() + "/w.walk"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("FAIL line 5: screenshot")) << r.err.toStdString();
  const QImage picture(dir.path() + "/picture.png");
  EXPECT_EQ(picture.size(), QSize(640, 480));
  // The picture shows the frame, not an empty black area.
  EXPECT_NE(picture.pixelColor(320, 100), QColor(Qt::black));
  EXPECT_FALSE(QImage(dir.path() + "/window.png").isNull());
}

TEST(CommandLine, WithoutADisplayOneLineAndExitCodeOne) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* v : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(v);
  env.insert("NO_DISPLAY", "1");
  const PlayerRun r = runPlayer({"--project", STORYLOOM_DEMO_DIR}, env);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "storyloom-player: no graphical display: set DISPLAY or WAYLAND_DISPLAY\n");
}

TEST(CommandLine, ANormalRunKeepsTheTerminalQuiet) {
  QTemporaryDir dir;
  QFile walk(dir.path() + "/w.walk");
  ASSERT_TRUE(walk.open(QIODevice::WriteOnly));
  walk.write("click Img0\nexpect-frame Shore\nwait 300\n");
  walk.close();
  const PlayerRun r = runPlayer({"--project", STORYLOOM_DEMO_DIR, "--walkthrough", dir.path() + "/w.walk"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "") << r.err.toStdString();
}

TEST(Walkthrough, ArgumentsCommandsAndFailures) {
  EXPECT_EQ(WalkthroughRunner::splitArguments("click  \"a b\" x \"say \"\"hi\"\"\""),
            QStringList({"click", "a b", "x", "say \"hi\""}));
  QTemporaryDir dir;
  auto file = [&](const char* text) {
    QFile f(dir.path() + "/t.walk");
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
    f.close();
    return dir.path() + "/t.walk";
  };
  WalkthroughRunner r;
  QString error;
  EXPECT_FALSE(r.load(file("wait 1\nfly away\n"), &error));
  EXPECT_EQ(error, "line 2: unknown command \"fly\"");
  EXPECT_FALSE(r.load(file("wait\n"), &error));
  EXPECT_EQ(error, "line 1: wrong number of arguments for \"wait\"");

  int polls = 0;
  r.addCommand("ready-after-three", 0, 0, [&](const QStringList&) {
    return ++polls < 3 ? WalkthroughRunner::Step::again("not yet") : WalkthroughRunner::Step::done();
  });
  r.addCommand("boom", 0, 0, [](const QStringList&) { return WalkthroughRunner::Step::fail("it broke"); });
  ASSERT_TRUE(r.load(file("# comment\n\nready-after-three\nboom\nwait 1\n"), &error));
  r.start();
  while (!r.finished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(polls, 3);
  EXPECT_EQ(r.exitCode(), 1);
  EXPECT_EQ(r.failureText(), "FAIL line 4: boom: it broke");

  // The last argument may be written without quotes: it is the rest of the line.
  WalkthroughRunner words;
  QStringList got;
  words.addCommand("say", 1, 2, [&](const QStringList& a) {
    got << a.join('|');
    return WalkthroughRunner::Step::done();
  });
  ASSERT_TRUE(words.load(file("say to  the door opens  \nsay \"x y\" \"quoted\"\nsay one\n"), &error));
  words.start();
  while (!words.finished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(got, (QStringList{"to|the door opens", "x y|quoted", "one"}));

  WalkthroughRunner patient;
  patient.setPatience(50);
  patient.addCommand("never", 0, 0, [](const QStringList&) { return WalkthroughRunner::Step::again("never ready"); });
  ASSERT_TRUE(patient.load(file("never\n"), &error));
  patient.start();
  while (!patient.finished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(patient.exitCode(), 1);
  EXPECT_EQ(patient.failureText(), "FAIL line 1: never: never ready");
}
