#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "game/game.h"
#include "game/game_fixture.h"
#include "scripting/action_module.h"
#include "scripting/file_access.h"
#include "scripting/script_host.h"
#include "shell/editor_and_game.h"

namespace storyloom {
namespace {

const char* kFrame = "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n";

// Scripts of a real game window, run by its script host, with a folder outside the game.
// The helper functions are the game's procedures; each returns what it did or the error
// number it met, as a game's own On Error Resume Next code would see it.
struct FileAccess : ::testing::Test {
  test::GameFixture fx;
  QTemporaryDir outside;
  Game* game = nullptr;

  void SetUp() override {
    fx.frame("Start", kFrame);
    game = &fx.start();
    game->ProceduresText = QStringLiteral(
        "Function TryWrite(p)\r\n"
        "  On Error Resume Next\r\n"
        "  Dim fso, t : Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
        "  Set t = fso.CreateTextFile(p)\r\n"
        "  TryWrite = Err.Number\r\n"
        "  If Err.Number = 0 Then t.Write \"saved\" : t.Close\r\n"
        "End Function\r\n"
        "Function TryRead(p)\r\n"
        "  On Error Resume Next\r\n"
        "  Dim fso : Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
        "  TryRead = fso.OpenTextFile(p).ReadAll\r\n"
        "  If Err.Number <> 0 Then TryRead = \"#\" & Err.Number\r\n"
        "End Function\r\n"
        "Function TryCall(code)\r\n"
        "  On Error Resume Next\r\n"
        "  Execute code\r\n"
        "  TryCall = Err.Number\r\n"
        "End Function\r\n");
    fx.project.log.clear();
  }
  // The Windows form of a host path, as a script would write it.
  static QString win(const QString& hostPath) { return HostPaths::windowsFormOf(hostPath); }
  QString quoted(const QString& s) { return '"' + QString(s).replace('"', QLatin1String("\"\"")) + '"'; }
  QString eval(const QString& expression) {
    return QString::fromStdU16String(game->scripts().Evaluate(expression).toString());
  }
  QString tryWrite(const QString& path) { return eval("TryWrite(" + quoted(path) + ")"); }
  QString tryRead(const QString& path) { return eval("TryRead(" + quoted(path) + ")"); }
  QString tryCall(const QString& code) { return eval("TryCall(" + quoted(code) + ")"); }
  QString gameFile(const QString& relative) { return fx.project.root() + '/' + relative; }
  QStringList questions() {
    QStringList out;
    for (const QString& line : fx.project.log)
      if (line.startsWith(QLatin1String("msgbox question \"File Access\""))) out.append(line);
    return out;
  }
  static QString contents(const QString& hostPath) {
    QFile f(hostPath);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QStringLiteral("(none)");
  }
};

TEST_F(FileAccess, TheGameFolderIsReadAndWrittenWithoutAQuestion) {
  QDir().mkpath(gameFile("Data"));
  QDir().mkpath(gameFile("External"));
  EXPECT_EQ(tryWrite("Data\\notes.txt"), "0");
  EXPECT_EQ(tryRead(win(gameFile("Data/notes.txt"))), "saved");
  EXPECT_EQ(tryCall("WriteINI \"options.ini\", \"Sound\", \"Volume\", \"7\""), "0");
  EXPECT_EQ(eval("ReadINI(\"options.ini\", \"Sound\", \"Volume\")"), "7");
  EXPECT_EQ(eval("DDir(\"Data\\*.txt\", 0)"), "notes.txt");
  EXPECT_EQ(contents(gameFile("Data/notes.txt")), "saved");
  EXPECT_TRUE(questions().isEmpty()) << fx.project.log.join('\n').toStdString();
}

TEST_F(FileAccess, AWriteOutsideIsAskedOnceAndDeniedByDefault) {
  const QString target = outside.path() + "/diary.txt";
  EXPECT_EQ(tryWrite(win(target)), "70");
  EXPECT_EQ(tryWrite(win(outside.path() + "/other.txt")), "70") << "the same folder is not asked again";
  EXPECT_FALSE(QFile::exists(target));
  const QStringList asked = questions();
  ASSERT_EQ(asked.size(), 1) << fx.project.log.join('\n').toStdString();
  EXPECT_TRUE(asked[0].contains("The game 'Test Game' wants to write files in " +
                                FileAccessRule::resolved(outside.path()) + ". Allow?"))
      << asked[0].toStdString();
  EXPECT_TRUE(asked[0].endsWith("[Allow once|Always allow for this game|Deny] -> Deny"));

  // Reading there is a question of its own.
  EXPECT_EQ(tryRead(win(target)), "#70");
  EXPECT_EQ(questions().size(), 2);
  // So are the INI and folder methods of the Action object.
  EXPECT_EQ(tryCall("WriteINI " + quoted(win(outside.path() + "/x.ini")) + ", \"A\", \"B\", \"C\""), "70");
  EXPECT_EQ(tryCall("x = DDir(" + quoted(win(outside.path() + "/*")) + ", 0)"), "70");
  EXPECT_FALSE(QFile::exists(outside.path() + "/x.ini"));
}

TEST_F(FileAccess, AllowOnceHoldsForThisRunOnly) {
  fx.project.messages.queueAnswer(QStringLiteral("allow once"));
  EXPECT_EQ(tryWrite(win(outside.path() + "/a.txt")), "0");
  EXPECT_EQ(tryWrite(win(outside.path() + "/b.txt")), "0");
  EXPECT_EQ(tryRead(win(outside.path() + "/a.txt")), "saved") << "allowed writing allows reading";
  EXPECT_EQ(questions().size(), 1);
  EXPECT_EQ(contents(outside.path() + "/b.txt"), "saved");

  FileAccessRule nextRun(fx.module());
  EXPECT_FALSE(nextRun.allows(outside.path() + "/a.txt", FileAccessRule::Kind::Write));
  EXPECT_EQ(questions().size(), 2);
}

TEST_F(FileAccess, AlwaysIsKeptForThisGameAndHonouredInTheNextRun) {
  fx.project.messages.queueAnswer(QStringLiteral("Always allow for this game"));
  EXPECT_EQ(tryWrite(win(outside.path() + "/a.txt")), "0");
  ASSERT_EQ(questions().size(), 1);

  FileAccessRule nextRun(fx.module());
  EXPECT_TRUE(nextRun.allows(outside.path() + "/sub/b.txt", FileAccessRule::Kind::Write));
  EXPECT_TRUE(nextRun.allows(outside.path() + "/a.txt", FileAccessRule::Kind::Read));
  EXPECT_EQ(questions().size(), 1) << "no question in the next run";

  // Another game does not inherit it.
  fx.module().settings.ProjectName = QStringLiteral("OtherProject");
  FileAccessRule otherGame(fx.module());
  EXPECT_FALSE(otherGame.allows(outside.path() + "/a.txt", FileAccessRule::Kind::Write));
}

TEST_F(FileAccess, NoSpellingOfAPathClimbsOutWithoutTheQuestion) {
  QDir().mkpath(gameFile("Data"));
  QFile::link(outside.path(), gameFile("Data/Shortcut"));
  const QString climb = QDir(fx.project.root()).relativeFilePath(outside.path());  // "../tmp-xyz"
  const QString cases[] = {
      // ".." from the game folder
      QString("Data\\..\\" + climb + "\\a.txt").replace('/', '\\'),
      // a link inside the game folder pointing outside
      QStringLiteral("Data\\Shortcut\\b.txt"),
  };
  for (const QString& path : cases) EXPECT_EQ(tryWrite(path), "70") << path.toStdString();
  // ParentFolder climbing from the game folder
  EXPECT_EQ(tryCall("Set f = CreateObject(\"Scripting.FileSystemObject\").GetFolder(\"Data\")"
                    ".ParentFolder.ParentFolder : x = f.Files.Count"),
            "70");
  EXPECT_TRUE(QDir(outside.path()).entryList(QDir::Files).isEmpty());
  EXPECT_EQ(questions().size(), 2) << "one question for writing in the outside folder, one for reading above the game";
  EXPECT_EQ(eval("CreateObject(\"Scripting.FileSystemObject\").FileExists(\"Data\\Shortcut\\none.txt\")"), "False");
}

TEST_F(FileAccess, ADenialNotHandledByTheScriptIsReportedAndTheGameGoesOn) {
  EXPECT_FALSE(game->scripts().ExecuteVBScript(
      "CreateObject(\"Scripting.FileSystemObject\").CreateTextFile " + quoted(win(outside.path() + "/x.txt")), false));
  EXPECT_TRUE(fx.project.log.last().contains("Permission denied")) << fx.project.log.join('\n').toStdString();
  EXPECT_TRUE(fx.project.log.last().startsWith("msgbox critical"));
  EXPECT_TRUE(game->scripts().ExecuteVBScript(QStringLiteral("x = TryWrite(\"after.txt\")"), false));
  EXPECT_EQ(contents(gameFile("after.txt")), "saved");
}

TEST_F(FileAccess, ProgramsAndDesktopFilesOutsideAreAskedSeparately) {
  const QString program = outside.path() + "/tool.sh";
  QFile f(program);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n");
  f.close();
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  std::vector<QUrl> opened;
  game->actionModule().openUrl = [&](const QUrl& url) {
    opened.push_back(url);
    return true;
  };

  // Reading the folder is allowed for the run; starting what lies there is still asked.
  fx.project.messages.queueAnswer(QStringLiteral("Allow once"));
  EXPECT_EQ(tryRead(win(program)).left(9), "#!/bin/sh");
  EXPECT_EQ(tryCall("OpenExeFileAndWait " + quoted(win(program))), "70");
  EXPECT_EQ(tryCall("OpenFile " + quoted(win(program))), "70");
  EXPECT_FALSE(QFile::exists(outside.path() + "/ran"));
  EXPECT_TRUE(opened.empty());
  const QStringList asked = questions();
  ASSERT_EQ(asked.size(), 3);
  EXPECT_TRUE(asked[1].contains("wants to start the program " + FileAccessRule::resolved(program) + ". Allow?"));
  EXPECT_TRUE(asked[2].contains("wants to open the file " + FileAccessRule::resolved(program) + " with the desktop"));

  EXPECT_EQ(tryCall("OpenExeFileAndWait " + quoted(win(program))), "70");
  EXPECT_EQ(questions().size(), 3) << "a denied program stays denied for the run, without a new question";

  // Allowed, it runs and the game waits for it.
  fx.project.messages.queueAnswer(QStringLiteral("Allow once"));
  const QString second = outside.path() + "/tool2.sh";
  ASSERT_TRUE(QFile::copy(program, second));
  EXPECT_EQ(tryCall("OpenExeFileAndWait " + quoted(win(second))), "0");
  EXPECT_EQ(questions().size(), 4);
  EXPECT_TRUE(QFile::exists(outside.path() + "/ran"));
}

TEST_F(FileAccess, TheGamesOwnPlacesAndATrustedGameNeedNoQuestion) {
  FileAccessRule& rule = game->scripts().fileAccess();
  ASSERT_FALSE(rule.savedGamesFolder().isEmpty());
  EXPECT_TRUE(rule.savedGamesFolder().endsWith("/TestProject"));
  EXPECT_TRUE(rule.allows(rule.savedGamesFolder() + "/slot1.sav", FileAccessRule::Kind::Write));
  const QString temporary = rule.temporaryFolder();
  ASSERT_FALSE(temporary.isEmpty());
  EXPECT_EQ(tryWrite(win(temporary + "/scratch.txt")), "0");
  EXPECT_EQ(contents(temporary + "/scratch.txt"), "saved");
  EXPECT_FALSE(rule.allows(temporary + "/scratch.txt", FileAccessRule::Kind::Run));
  EXPECT_EQ(questions().size(), 1) << "only starting a program from the temporary folder was asked";

  game->mnuTrustGame->trigger();
  EXPECT_EQ(tryWrite(win(outside.path() + "/trusted.txt")), "0");
  EXPECT_EQ(contents(outside.path() + "/trusted.txt"), "saved");
  EXPECT_EQ(questions().size(), 1);
}

}  // namespace
}  // namespace storyloom
