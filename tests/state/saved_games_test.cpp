#include "state/saved_games.h"

#include <gtest/gtest.h>

#include "platform/log_lines.h"

#include "dialogue/dialogue.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include "game/game.h"
#include "game/game_fixture.h"
#include "hotspots/frame_areas.h"
#include "platform/platform_error.h"
#include "scripting/control_properties.h"
#include "scripting/timed_events.h"
#include "shell/editor_and_game.h"
#include "shell/field_reader.h"
#include "state/inventory.h"
#include "state/saved_game_windows.h"

namespace storyloom {
namespace {

void setModified(const QString& path, const QDateTime& when) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

vbs::Value text(const char* s) { return scriptText(QString::fromUtf8(s)); }

// Every kind of value a variant variable may hold.
SavedGame everyField() {
  SavedGame g;
  g.resumeFrame = "Hall";
  g.variables = {{"Lamp", 1}, {"Door", -1}, {"Low", -32768}, {"High", 32767}, {"Lamp", 0}};
  g.disappear = {{"Hall", 3}, {"Cellar", 1}};
  g.items = {"Rope", "Hook", "Rope"};
  g.history = QStringList{"Shore", "Hall"};
  g.projectName = "TestProject";
  g.gameTitle = "Test Game";
  g.date = "03/07/2026";
  g.variants = std::vector<std::pair<QString, vbs::Value>>{
      {"Empty", vbs::Value()},
      {"Null", vbs::Value::null()},
      {"Yes", vbs::Value(true)},
      {"No", vbs::Value(false)},
      {"Small", vbs::Value(static_cast<int16_t>(-7))},
      {"Large", vbs::Value(static_cast<int32_t>(100000))},
      {"Half", vbs::Value(2.5)},
      {"Tiny", vbs::Value(1.5e-7)},
      {"Single", vbs::Value(1.1f)},
      {"Day", vbs::Value(vbs::Date{vbs::dateSerial(2004, 2, 28)})},
      {"Moment", vbs::Value(vbs::Date{vbs::dateSerial(2004, 2, 28) + vbs::timeSerial(13, 5, 9)})},
      {"Clock", vbs::Value(vbs::Date{vbs::timeSerial(13, 5, 9)})},
      {"Text", text("a, b")},
      {"Blank", text("")},
      {"Quoted", text("say \"hi\"")},
  };
  return g;
}

SavedGame readBack(const QByteArray& bytes) {
  FieldReader r(bytes);
  SavedGame g;
  readSavedGame(r, g);
  return g;
}

TEST(SavedGameFile, WritesOneFieldPerLineInTheTablesOrder) {
  SavedGame g;
  g.resumeFrame = "Hall";
  g.variables = {{"Lamp", 1}};
  g.items = {"Rope"};
  g.history = QStringList{"Hall"};
  g.projectName = "P";
  g.gameTitle = "T";
  g.date = "12/07/2026";
  g.variants = std::vector<std::pair<QString, vbs::Value>>{{"Flag", vbs::Value(true)}, {"Name", text("Ann")}};
  EXPECT_EQ(
      writeSavedGame(g),
      "\"Hall\"\r\n1\r\n\"Lamp\"\r\n1\r\n0\r\n1\r\n\"Rope\"\r\n1\r\n\"Hall\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
      "\"P\"\r\n\"T\"\r\n\"12/07/2026\"\r\n\"Version 3.4.0\"\r\n2\r\n\"Flag\"\r\n#TRUE#\r\n\"Name\"\r\n\"Ann\"\r\n");
}

TEST(SavedGameFile, EveryFieldAndEveryKindOfValueComesBack) {
  const SavedGame g = everyField();
  const QByteArray bytes = writeSavedGame(g);
  // A quote inside a text cannot end its field early.
  EXPECT_TRUE(bytes.contains("\"say |hi|\"\r\n"));
  EXPECT_TRUE(bytes.contains("\"Single\"\r\n1.1\r\n"));
  EXPECT_TRUE(bytes.contains("\"Moment\"\r\n#2004-02-28 13:05:09#\r\n"));
  EXPECT_TRUE(bytes.contains("\"Empty\"\r\n\r\n\"Null\"\r\n#NULL#\r\n"));
  const SavedGame back = readBack(bytes);
  EXPECT_EQ(back.resumeFrame, g.resumeFrame);
  EXPECT_EQ(back.variables, g.variables);
  EXPECT_EQ(back.disappear, g.disappear);
  EXPECT_EQ(back.items, g.items);
  EXPECT_EQ(back.history, g.history);
  EXPECT_EQ(back.projectName, "TestProject");
  EXPECT_EQ(back.gameTitle, "Test Game");
  EXPECT_EQ(back.date, "03/07/2026");
  EXPECT_EQ(back.version, "Version 3.4.0");
  ASSERT_TRUE(back.variants);
  ASSERT_EQ(back.variants->size(), g.variants->size());
  for (size_t i = 0; i < g.variants->size(); ++i) {
    const auto& [name, value] = (*g.variants)[i];
    const auto& [backName, backValue] = (*back.variants)[i];
    EXPECT_EQ(backName, name);
    const vbs::Value& got = backValue;
    if (name == "Single") {
      EXPECT_EQ(got.toDouble(), 1.1);  // as the platform prints a Single
    } else if (value.type() == vbs::Type::Integer || value.type() == vbs::Type::Long) {
      EXPECT_EQ(got.toLong(), value.toLong()) << name.toStdString();
    } else {
      EXPECT_EQ(got.type(), value.type()) << name.toStdString();
      if (value.type() == vbs::Type::String) {
        EXPECT_EQ(qtText(got.asString()), qtText(value.asString()));
      }
      if (value.type() == vbs::Type::Double || value.type() == vbs::Type::Date) {
        EXPECT_DOUBLE_EQ(got.toDouble(), value.toDouble()) << name.toStdString();
      }
      if (value.type() == vbs::Type::Boolean) {
        EXPECT_EQ(got.asBool(), value.asBool());
      }
    }
  }
}

TEST(SavedGameFile, OlderFilesEndAfterTheItemsOrTheHistoryAndCutFilesKeepWhatWasRead) {
  const QByteArray whole = writeSavedGame(everyField());
  const auto cutAfterLines = [&](int lines) {
    qsizetype at = 0;
    for (int i = 0; i < lines; ++i) at = whole.indexOf("\r\n", at) + 2;
    return whole.left(at);
  };
  // 1 resume, 1 + 10 variables, 1 + 4 markers, 1 + 3 items = 21 lines; history 3; fixed 7.
  const SavedGame afterItems = readBack(cutAfterLines(21));
  EXPECT_EQ(afterItems.items, QStringList({"Rope", "Hook", "Rope"}));
  EXPECT_FALSE(afterItems.history);
  EXPECT_FALSE(afterItems.variants);
  const SavedGame afterHistory = readBack(cutAfterLines(24));
  EXPECT_EQ(afterHistory.history, QStringList({"Shore", "Hall"}));
  EXPECT_FALSE(afterHistory.variants);
  EXPECT_FALSE(readBack(cutAfterLines(31)).variants);

  // Cut inside a group: the read fails with "Input past end of file" and what came before
  // is kept.
  for (const auto& [lines, variablesRead, itemsRead] :
       std::vector<std::tuple<int, size_t, int>>{{0, 0, 0}, {1, 0, 0}, {6, 2, 0}, {14, 5, 0}, {19, 5, 1}}) {
    FieldReader r(cutAfterLines(lines));
    SavedGame partial;
    try {
      readSavedGame(r, partial);
      ADD_FAILURE() << "a file cut after " << lines << " lines was read";
    } catch (const PlatformError& e) {
      EXPECT_EQ(e.code(), 62) << lines;
    }
    EXPECT_EQ(partial.variables.size(), variablesRead) << lines;
    EXPECT_EQ(partial.items.size(), itemsRead) << lines;
  }
  // Cut inside the history, the fixed fields or the variants.
  for (int lines : {22, 26, 33}) EXPECT_THROW(readBack(cutAfterLines(lines)), PlatformError) << lines;
}

// A game with frames, items, variables and a resume table on disk.
struct SavedGamesTest : ::testing::Test {
  test::GameFixture fx{"Hall"};
  QTemporaryDir playerData;  // the player's own data folder
  QString root() const { return fx.project.root(); }

  void SetUp() override {
    qputenv("XDG_DATA_HOME", playerData.path().toLocal8Bit());
    for (const char* frame : {"Hall", "Cellar", "Entrance"})
      fx.frame(frame, "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    fx.project.write("Config/Variables", "\"v\"\r\n\"Lamp\"\r\n\"Door\"\r\n\"Visits\"\r\n\"***\"\r\n\"Note\"\r\n");
    for (const char* name : {"Rope", "Hook"}) {
      fx.project.write(QString("Areas/%1.obj").arg(name), QString("\"%1.ico\"\r\n").arg(name));
      QImage icon(32, 32, QImage::Format_ARGB32);
      icon.fill(Qt::darkGreen);
      ASSERT_TRUE(icon.save(root() + QString("/Areas/%1.ico").arg(name), "ICO"));
    }
  }
  Game& start() {
    Game& g = fx.start();
    g.savedGames().pause = [](double) {};
    g.StartNewGame();
    fx.project.log.clear();
    return g;
  }
  SavedGames& saved() { return fx.game->savedGames(); }
  QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // Plays a while: variables, a hidden hotspot, items, frames, a variant.
  void play(Game& g) {
    g.vars.ChangeVariableValue("Lamp", 1);
    g.vars.Variables.Item(2)->Value = -1;  // a script may store -1
    g.vars.ChangeVariableValue("Visits", 12);
    g.Disappear.Add("Hall", 2);
    g.inventory().addWithoutPopup("Rope");
    g.inventory().addWithoutPopup("Hook");
    g.OpenFrame("Cellar", false, 0, 0);
    g.vars.ChangeVariableVariantValue("Note", text("the \"key\" is here"));
  }
};

TEST_F(SavedGamesTest, ALoadedGameIsTheGameThatWasSaved) {
  Game& g = start();
  play(g);
  ASSERT_TRUE(saved().SaveGame("First save"));
  EXPECT_TRUE(QFile::exists(root() + "/First save.sav"));

  g.OpenFrame("Entrance", false, 0, 0);
  g.inventory().EmptyInventory();
  g.vars.ChangeVariableValue("Visits", 1);
  ASSERT_TRUE(saved().LoadGame("First save"));
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join("\n").toStdString();
  EXPECT_EQ(g.frame.CurrentFrameName, "Cellar");
  EXPECT_EQ(g.vars.GetVariableValue("Lamp"), 1);
  EXPECT_EQ(g.vars.GetVariableValue("Door"), -1);  // not inverted to 1
  EXPECT_EQ(g.vars.GetVariableValue("Visits"), 12);
  ASSERT_EQ(g.Disappear.Count(), 1);
  EXPECT_EQ(g.Disappear.Item(1)->Name, "Hall");
  EXPECT_EQ(g.Disappear.Item(1)->Value, 2);
  EXPECT_EQ(g.inventory().itemNames(), QStringList({"Rope", "Hook"}));
  EXPECT_EQ(g.FramesHistory.entries(), QStringList({"Hall", "Cellar"}));
  EXPECT_EQ(qtText(g.vars.VariablesVariant.Item(1)->Value.asString()), "the \"key\" is here");
  EXPECT_TRUE(g.isVisible());
  EXPECT_TRUE(g.PictureBox->isVisible());
}

TEST_F(SavedGamesTest, UnknownNamesLoadWhatTheyCanAndDamagedFilesAreReported) {
  Game& g = start();
  // Names the project does not know: the rest still loads.
  fx.project.write("Strange.sav", "\"Entrance\"\r\n2\r\n\"Ghost\"\r\n5\r\n\"Lamp\"\r\n1\r\n0\r\n1\r\n\"Rope\"\r\n");
  ASSERT_TRUE(saved().LoadGame("Strange"));
  EXPECT_EQ(g.vars.GetVariableValue("Lamp"), 1);
  EXPECT_EQ(g.vars.GetVariableValue("Ghost"), -32000);
  EXPECT_EQ(g.inventory().itemNames(), QStringList{"Rope"});
  EXPECT_EQ(g.frame.CurrentFrameName, "Entrance");
  EXPECT_EQ(g.FramesHistory.entries(), QStringList{"Entrance"});  // the reset's, then the frame

  // Text where a count stands, and a file cut in the middle of the items.
  fx.project.write("Broken.sav", "\"Cellar\"\r\n1\r\n\"Lamp\"\r\n1\r\n0\r\n2\r\n\"Hook\"\r\n");
  fx.project.write("Garbled.sav", "\"Cellar\"\r\nlots\r\n");
  fx.project.log.clear();
  EXPECT_FALSE(saved().LoadGame("Broken"));
  // The player sees the file in this machine's form.
  const QString projectPath = root() + "/";
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].endsWith(" Unable to load '" + projectPath + "Broken.sav'.\" -> OK"))
      << fx.project.log[0].toStdString();
  // Half restored, as far as the file went; the frame is not opened.
  EXPECT_EQ(g.vars.GetVariableValue("Lamp"), 1);
  EXPECT_EQ(g.inventory().itemNames(), QStringList{"Hook"});
  EXPECT_EQ(g.frame.CurrentFrameName, "Entrance");
  EXPECT_TRUE(g.PictureBox->isVisible());

  fx.project.log.clear();
  EXPECT_FALSE(saved().LoadGame("Garbled"));
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].contains("Unable to load '" + projectPath + "Garbled.sav'."));
}

TEST_F(SavedGamesTest, TheResumeTableRedirectsAndItsLastMatchWins) {
  Game& g = start();
  EXPECT_EQ(saved().GetResumeLocation("Hall"), "Hall");  // no table
  fx.project.write("Config/Resume",
                   "1,2,3,4,5,6\r\n\"Hall\",\"Cellar\"\r\n\"Hall\",\"Entrance\"\r\n\"hall\",\"\"\r\n"
                   "\"Cellar\",\"Hall\"\r\n\"Lonely\"\r\n");
  EXPECT_EQ(saved().GetResumeLocation("HALL"), "Entrance");
  EXPECT_EQ(saved().GetResumeLocation("Cellar"), "Hall");
  EXPECT_EQ(saved().GetResumeLocation("Attic"), "Attic");
  EXPECT_EQ(saved().GetResumeLocation(""), "");
  EXPECT_EQ(saved().GetResumeLocation("Lonely"), "Lonely");

  g.OpenFrame("Hall", false, 0, 0);
  ASSERT_TRUE(saved().SaveGame("In the hall"));
  ASSERT_TRUE(saved().LoadGame("In the hall"));
  EXPECT_EQ(g.frame.CurrentFrameName, "Entrance");
}

TEST_F(SavedGamesTest, ASaveThatFailsHalfWayLeavesTheEarlierSaveWhole) {
  Game& g = start();
  play(g);
  ASSERT_TRUE(saved().SaveGame("Slot"));
  const QByteArray before = fileBytes(root() + "/Slot.sav");
  ASSERT_FALSE(before.isEmpty());

  g.vars.ChangeVariableValue("Visits", 99);
  saved().writeBytes = [](QIODevice& file, const QByteArray& bytes) {
    file.write(bytes.left(bytes.size() / 2));
    return qint64(-1);  // the disk is full
  };
  EXPECT_FALSE(saved().SaveGame("Slot"));
  ASSERT_EQ(fx.project.log.size(), 1);
  const UITexts& t = fx.module().texts;
  EXPECT_EQ(fx.project.log[0], "msgbox critical \"" + t(29) + "\" " +
                                   quotedForLog(t(30) + "\n\n" + t(31) + " Unable to save '" + root() +
                                                "/Slot.sav'.\nVerify that this file is not Read-Only and that it does "
                                                "not contain any of the following characters: \" \\ / : * ? < > | ,") +
                                   " -> OK");
  EXPECT_EQ(fileBytes(root() + "/Slot.sav"), before);
  QStringList left = QDir(root()).entryList(QDir::Files);
  EXPECT_EQ(left.filter("Slot"), QStringList{"Slot.sav"});
}

TEST_F(SavedGamesTest, AGameFolderThatCannotBeWrittenSavesInThePlayersFolder) {
  Game& g = start();
  play(g);
  fx.project.write("Shipped.sav", "\"Hall\"\r\n0\r\n0\r\n0\r\n");
  const QString folder = root();
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  bool immutable = false;
  if (QFile probe(folder + "/probe"); probe.open(QIODevice::WriteOnly)) {
    probe.remove();
    // Running with every right: the folder is made unchangeable instead.
    immutable = QProcess::execute("chattr", {"+i", folder}) == 0;
    if (!immutable) {
      QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
      GTEST_SKIP() << "no folder here can be made read-only";
    }
  }
  const auto restore = qScopeGuard([&] {
    if (immutable) QProcess::execute("chattr", {"-i", folder});
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  });

  ASSERT_TRUE(saved().SaveGame("Mine"));
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join("\n").toStdString();
  const QString mine = saved().userSaveFolder() + "/Mine.sav";
  EXPECT_TRUE(QFile::exists(mine));
  EXPECT_TRUE(saved().userSaveFolder().startsWith(playerData.path()));
  EXPECT_TRUE(saved().userSaveFolder().endsWith("/TestProject"));
  setModified(root() + "/Shipped.sav", QDateTime::currentDateTime().addDays(-1));
  std::vector<QString> names;
  for (const SavedGameFile& f : saved().listSavedGames()) names.push_back(f.name);
  EXPECT_EQ(names, (std::vector<QString>{"Shipped", "Mine"}));
  // Saving under the shipped game's name keeps the shipped file and lists the new one.
  ASSERT_TRUE(saved().SaveGame("Shipped"));
  EXPECT_EQ(QFileInfo(saved().savedGameFile("Shipped")).absolutePath(), QDir(saved().userSaveFolder()).absolutePath());

  g.inventory().EmptyInventory();
  ASSERT_TRUE(saved().LoadGame("Mine"));
  EXPECT_EQ(g.inventory().itemNames(), QStringList({"Rope", "Hook"}));
  EXPECT_EQ(g.frame.CurrentFrameName, "Cellar");
}

TEST_F(SavedGamesTest, TheListRunsFromOldestToNewestWithoutShortNames) {
  start();
  const QDateTime now = QDateTime::currentDateTime();
  const std::vector<std::pair<QString, int>> files = {{"Middle", -2}, {"Newest", 0}, {"Oldest", -9}, {"", -1}};
  for (const auto& [name, daysAgo] : files) {
    fx.project.write(name + ".sav", "\"Hall\"\r\n0\r\n0\r\n0\r\n");
    setModified(root() + "/" + name + ".sav", now.addDays(daysAgo));
  }
  fx.project.write("notes.txt", "x");
  frmLoadGame window(saved(), fx.module(), nullptr);
  window.LoadSaveGames();
  QStringList shown;
  for (int i = 0; i < window.List1->count(); ++i) shown << window.List1->item(i)->text();
  EXPECT_EQ(shown, QStringList({"Oldest", "Middle", "Newest"}));
  EXPECT_EQ(window.windowTitle(), fx.module().texts(17));
  EXPECT_EQ(window.Command2->text(), fx.module().texts(19));
}

TEST_F(SavedGamesTest, TheSaveWindowRefusesBadNamesAndAsksBeforeReplacing) {
  start();
  frmSaveGame window(saved(), fx.module(), nullptr);
  window.LoadSaveGames();
  const UITexts& t = fx.module().texts;
  const auto saveAs = [&](const QString& name) {
    fx.project.log.clear();
    window.Text1->setText(name);
    window.Command2_Click();
  };
  for (const QString name : {"a,b", "pipe|", "say \"x\"", "dir/x", "c:x", "what?"}) {
    saveAs(name);
    ASSERT_EQ(fx.project.log.size(), 1) << name.toStdString();
    EXPECT_EQ(fx.project.log[0],
              "msgbox information \"Test Game\" " + quotedForLog(t(35) + "\n\" \\ / : * ? < > | ,") + " -> OK");
  }
  saveAs("");
  EXPECT_EQ(fx.project.log, QStringList{"msgbox information \"" + t(21) + "\" \"" + t(23) + "\" -> OK"});
  EXPECT_EQ(QDir(root()).entryList({"*.sav"}, QDir::Files), QStringList());

  saveAs("Good game");
  EXPECT_TRUE(fx.project.log.isEmpty());
  EXPECT_EQ(window.result(), QDialog::Accepted);
  const QByteArray first = fileBytes(root() + "/Good game.sav");
  fx.game->vars.ChangeVariableValue("Visits", 5);
  fx.project.messages.queueAnswer(msg::Cancel);
  saveAs("Good game");
  EXPECT_EQ(fx.project.log, QStringList{"msgbox question \"" + t(21) + "\" \"'Good game' " + t(24) + "\" -> Cancel"});
  EXPECT_EQ(fileBytes(root() + "/Good game.sav"), first);
  fx.project.messages.queueAnswer(msg::OK);
  saveAs("Good game");
  EXPECT_NE(fileBytes(root() + "/Good game.sav"), first);

  // Remove: nothing chosen, then the question.
  window.LoadSaveGames();
  fx.project.log.clear();
  window.Command3_Click();
  EXPECT_EQ(fx.project.log, QStringList{"msgbox information \"" + t(26) + "\" \"" + t(9) + "\" -> OK"});
  window.List1->item(0)->setSelected(true);
  fx.project.log.clear();
  fx.project.messages.queueAnswer(msg::OK);
  window.Command3_Click();
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].contains(t(27) + " '" + root() + "/Good game.sav'?"));
  EXPECT_FALSE(QFile::exists(root() + "/Good game.sav"));
  EXPECT_EQ(window.List1->count(), 0);
}

TEST_F(SavedGamesTest, TheWindowsPauseTheGameAndALoadWindowCanStepAsideForTimers) {
  Game& g = start();
  g.Timer1.start(60000);
  // A click on an entry copies it into the name; the focus starts in the name field.
  fx.project.write("Kept game.sav", "\"Hall\"\r\n0\r\n0\r\n0\r\n");
  QString focused, named;
  test::onNextDialog([&](QDialog& d) {
    auto& w = static_cast<frmSaveGame&>(d);
    focused = w.focusWidget() ? w.focusWidget()->objectName() : QString();
    EXPECT_FALSE(g.Timer1.isActive());
    w.List1->setCurrentRow(0);
    Q_EMIT w.List1->itemClicked(w.List1->item(0));
    named = w.Text1->text();
    w.Command1->click();
  });
  saved().ShowSaveGameWindow();
  EXPECT_EQ(focused, "Text1");
  EXPECT_EQ(named, "Kept game");
  EXPECT_TRUE(g.Timer1.isActive());

  test::onNextDialog([&](QDialog& d) { static_cast<frmLoadGame&>(d).Command1->click(); });
  saved().ShowLoadGameWindow();
  EXPECT_TRUE(saved().LoadCancelled);
  EXPECT_TRUE(g.Timer1.isActive());

  // A running script timer keeps a script's load window away.
  g.timedEvents().TimerObject(1).setInterval(500);
  g.timedEvents().TimerObject(1).setEnabled(true);
  bool opened = false;
  test::onNextDialog([&](QDialog& d) {
    opened = true;
    d.reject();
  });
  saved().ShowLoadGameWindow(true);
  test::runEventsFor(50);
  EXPECT_FALSE(opened);
  saved().ShowLoadGameWindow(false);
  EXPECT_TRUE(opened);
}

TEST_F(SavedGamesTest, ScriptsAskForTheWindowsAndADialogueGivesTheResumeFrame) {
  Game& g = start();
  QStringList opened;
  for (const char* code : {"PopupSaveGame", "PopupLoadGame"}) {
    test::onNextDialog([&](QDialog& d) {
      opened << d.objectName();
      d.reject();
    });
    g.areas().ExecuteVBScriptAndConsequences(code, false);
    test::runEventsFor(20);
  }
  EXPECT_EQ(opened, QStringList({"frmSaveGame", "frmLoadGame"}));
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join("\n").toStdString();

  EXPECT_EQ(saved().capture().resumeFrame, "Hall");
  g.dialogue().DialogueActive = true;
  g.dialogue().DialogueFrame = QStringLiteral("Cellar");
  ASSERT_TRUE(saved().SaveGame("Talking"));
  g.dialogue().EndDialogue();
  ASSERT_TRUE(saved().LoadGame("Talking"));
  EXPECT_EQ(g.frame.CurrentFrameName, "Cellar");
}

}  // namespace
}  // namespace storyloom
