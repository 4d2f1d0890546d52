#include "shell/launcher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "platform/message_boxes.h"
#include "platform/user_settings.h"

using namespace storyloom;

namespace {
// A folder that is a game as far as the launcher can tell: it has the settings file.
QString makeGame(const QString& parent, const QString& name, const QString& settingsPath = "Config/General") {
  const QString folder = parent + "/" + name;
  const QString file = folder + "/" + settingsPath;
  QDir().mkpath(QFileInfo(file).path());
  QFile f(file);
  f.open(QIODevice::WriteOnly);
  f.write("[General]\r\n");
  return folder;
}

struct LauncherTest : ::testing::Test {
  QTemporaryDir dir;
  UserSettings settings{dir.path() + "/Software.ini"};
  MessageBoxes messages;
  QStringList shown;
  void SetUp() override {
    messages.setAutomatic([this](const QString& line) { shown.append(line); });
  }
};
}  // namespace

TEST(GameFolder, NeedsTheSettingsFileInAnyCase) {
  QTemporaryDir dir;
  EXPECT_TRUE(isGameFolder(makeGame(dir.path(), "Exact")));
  EXPECT_TRUE(isGameFolder(makeGame(dir.path(), "FromWindows", "CONFIG/general")));
  // Config without General, a General file elsewhere, and a folder that does not exist.
  QDir().mkpath(dir.path() + "/OnlyConfig/Config");
  EXPECT_FALSE(isGameFolder(dir.path() + "/OnlyConfig"));
  EXPECT_FALSE(isGameFolder(makeGame(dir.path(), "Flat", "General")));
  EXPECT_FALSE(isGameFolder(dir.path() + "/Missing"));
  EXPECT_FALSE(isGameFolder(QString()));

  EXPECT_TRUE(notAGameMessage(dir.path() + "/OnlyConfig").contains("is not a game"));
  EXPECT_TRUE(notAGameMessage(dir.path() + "/Missing").contains("does not exist"));
}

TEST(GameFolder, TheDemoIsFoundBesideAnInstalledProgram) {
  QTemporaryDir prefix;
  QDir().mkpath(prefix.path() + "/bin");
  const QString demo = makeGame(prefix.path() + "/share/storyloom-player", "demo");
  EXPECT_EQ(findDemoFolder(prefix.path() + "/bin"), QDir::cleanPath(demo));
  // Elsewhere, a build's program plays the source tree's demo.
  EXPECT_EQ(findDemoFolder(prefix.path()), QDir::cleanPath(STORYLOOM_DEMO_DIR));
}

TEST_F(LauncherTest, RecentGamesMostRecentFirstOnceEachAndKeptAcrossRuns) {
  RecentGames recent(settings);
  EXPECT_TRUE(recent.folders().isEmpty());
  recent.add(dir.path() + "/A");
  recent.add(dir.path() + "/B/");
  recent.add(dir.path() + "/sub/../A");  // the same folder again moves to the front
  EXPECT_EQ(recent.folders(), (QStringList{dir.path() + "/A", dir.path() + "/B"}));

  for (int i = 0; i < RecentGames::Kept + 2; ++i) recent.add(dir.path() + QStringLiteral("/G%1").arg(i));
  const QStringList kept = recent.folders();
  ASSERT_EQ(kept.size(), RecentGames::Kept);
  EXPECT_EQ(kept.first(), dir.path() + QStringLiteral("/G%1").arg(RecentGames::Kept + 1));
  EXPECT_FALSE(kept.contains(dir.path() + "/A"));

  recent.remove(kept.first());
  UserSettings reopened(dir.path() + "/Software.ini");
  EXPECT_EQ(RecentGames(reopened).folders(), kept.mid(1));
}

TEST_F(LauncherTest, AFolderThatIsNotAGameIsRefusedWithItsReason) {
  QDir().mkpath(dir.path() + "/Pictures");
  GameLauncher launcher(settings, messages, {});
  launcher.findChild<QLineEdit*>("txtGameFolder")->setText(dir.path() + "/Pictures");
  launcher.findChild<QPushButton*>("cmdPlay")->click();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].contains(dir.path() + "/Pictures is not a game: it has no Config/General file"));
  EXPECT_EQ(launcher.result(), QDialog::Rejected);
  EXPECT_TRUE(launcher.chosenFolder().isEmpty());
  EXPECT_TRUE(RecentGames(settings).folders().isEmpty());

  launcher.findChild<QLineEdit*>("txtGameFolder")->clear();
  launcher.findChild<QPushButton*>("cmdPlay")->click();
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[1].contains("Type or browse for the folder of a game first."));
}

TEST_F(LauncherTest, AChosenGameIsPlayedAndListedNextTime) {
  const QString game = makeGame(dir.path(), "Castle");
  {
    GameLauncher launcher(settings, messages, {});
    EXPECT_TRUE(launcher.findChild<QPushButton*>("cmdPlayDemo")->isHidden());
    launcher.findChild<QLineEdit*>("txtGameFolder")->setText(game);
    launcher.findChild<QPushButton*>("cmdPlay")->click();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(launcher.result(), QDialog::Accepted);
    EXPECT_EQ(launcher.chosenFolder(), game);
  }
  GameLauncher next(settings, messages, {});
  auto* list = next.findChild<QListWidget*>("lstRecentGames");
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), game);
  // Picking it fills in the folder; activating it plays it.
  list->setCurrentRow(0);
  EXPECT_EQ(next.findChild<QLineEdit*>("txtGameFolder")->text(), game);
  Q_EMIT list->itemActivated(list->item(0));
  EXPECT_EQ(next.result(), QDialog::Accepted);
  EXPECT_EQ(next.chosenFolder(), game);
}

TEST_F(LauncherTest, TheDemoIsPlayedWithoutJoiningTheRecentGames) {
  const QString demo = makeGame(dir.path(), "demo");
  GameLauncher launcher(settings, messages, demo);
  auto* playDemo = launcher.findChild<QPushButton*>("cmdPlayDemo");
  EXPECT_FALSE(playDemo->isHidden());
  playDemo->click();
  EXPECT_EQ(launcher.result(), QDialog::Accepted);
  EXPECT_EQ(launcher.chosenFolder(), demo);
  EXPECT_TRUE(RecentGames(settings).folders().isEmpty());
}
