#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMenuBar>

#include "media/video.h"
#include "media/video_files.h"
#include "game/game.h"
#include "game/message_bar.h"
#include "game/game_fixture.h"
#include "scripting/components.h"

namespace storyloom {
namespace {

using test::GameFixture;

struct MenuFlags {
  bool removeMenuBar, alwaysVisible, disableLoad, disableSave, hideEffects, hideTransitions;
};

class GameMenus : public ::testing::TestWithParam<int> {};

// Every combination of the six menu options.
TEST_P(GameMenus, ShowMenusAndHideMenusFollowTheProjectOptions) {
  const int bits = GetParam();
  const MenuFlags f{bool(bits & 1), bool(bits & 2), bool(bits & 4), bool(bits & 8), bool(bits & 16), bool(bits & 32)};
  GameFixture fx;
  fx.project.init();
  ProjectSettings& s = fx.module().settings;
  s.RemoveMenuBar = f.removeMenuBar;
  s.MenuAlwaysVisible = f.alwaysVisible;
  s.DisableLoad = f.disableLoad;
  s.DisableSave = f.disableSave;
  s.HideDisableEffectsItem = f.hideEffects;
  s.HideDisableTransitionsItem = f.hideTransitions;
  Game g(fx.module());
  g.Form_Load();
  g.ResetAll();
  g.HideMenus();
  g.ShowMenus();
  if (f.removeMenuBar) {
    EXPECT_FALSE(g.mnuExit->isVisible());
    EXPECT_FALSE(g.menuBar()->isVisibleTo(&g));
    return;
  }
  EXPECT_TRUE(g.mnuExit->isVisible());
  EXPECT_EQ(g.mnuLoadGame->isVisible(), !f.disableLoad);
  EXPECT_EQ(g.mnuSaveGame->isVisible(), !f.disableSave);
  EXPECT_EQ(g.mnuOptions->menuAction()->isVisible(), !(f.hideEffects && f.hideTransitions));
  if (!(f.hideEffects && f.hideTransitions)) {
    EXPECT_EQ(g.mnuDisableEffects->isVisible(), !f.hideEffects);
    EXPECT_EQ(g.mnuDisableTransitions->isVisible(), !f.hideTransitions);
  }
  EXPECT_FALSE(g.mnuDebug->menuAction()->isVisible());
  EXPECT_TRUE(g.menuBar()->isVisibleTo(&g));

  // Left click on the picture hides the menus unless they are always visible.
  g.MenuClicked = true;
  g.PictureMouseDown(Qt::LeftButton);
  EXPECT_EQ(g.mnuExit->isVisible(), f.alwaysVisible);
  if (!f.alwaysVisible) {
    EXPECT_FALSE(g.MenuClicked);
    EXPECT_FALSE(g.menuBar()->isVisibleTo(&g));
  }
}

INSTANTIATE_TEST_SUITE_P(AllFlags, GameMenus, ::testing::Range(0, 64));

TEST(GameWindow, RightClickAndEscToggleTheMenus) {
  GameFixture fx;
  Game& g = fx.start();
  EXPECT_FALSE(g.mnuExit->isVisible());
  g.PictureMouseDown(Qt::RightButton);
  EXPECT_TRUE(g.mnuExit->isVisible());
  // A menu title was just clicked: the right click keeps the menus.
  g.MenuClicked = true;
  g.PictureMouseDown(Qt::RightButton);
  EXPECT_TRUE(g.mnuExit->isVisible());
  g.MenuClicked = false;
  g.PictureMouseDown(Qt::RightButton);
  EXPECT_FALSE(g.mnuExit->isVisible());
  EXPECT_TRUE(g.StopMovie && fx.module().UserInterrupt);

  g.Form_KeyDown(27, 0);
  EXPECT_TRUE(g.mnuExit->isVisible());
  g.Form_KeyDown(27, 0);
  EXPECT_FALSE(g.mnuExit->isVisible());

  // While a one-time video plays, Esc and clicks only ask the video to stop.
  fx.project.writeBytes("Frames/long.avi", test::testVideo("long.avi"));
  g.video().PlayMovieWithStop("long.avi", false, 0, 0, 0, 0);
  ASSERT_TRUE(g.video().IsOneTimeVideoPlaying());
  g.StopMovie = false;
  g.Form_KeyDown(27, 0);
  EXPECT_FALSE(g.mnuExit->isVisible());
  EXPECT_TRUE(g.StopMovie);
  g.PictureMouseDown(Qt::RightButton);
  EXPECT_FALSE(g.mnuExit->isVisible());
}

TEST(GameWindow, ControlKeysHonourTheDisableOptionsAndCtrlQAsks) {
  GameFixture fx;
  fx.project.init();
  fx.module().settings.DisableLoad = true;
  fx.module().settings.RemoveMenuBar = true;
  Game g(fx.module());
  g.Form_Load();
  g.ResetAll();
  QStringList opened;
  test::onNextDialog([&](QDialog& d) {
    opened << d.objectName();
    d.reject();
  });
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods) {
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(&g, &e);
  };
  press(Qt::Key_L, Qt::ControlModifier);
  press(Qt::Key_S, Qt::ControlModifier);
  press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  test::runEventsFor(20);
  EXPECT_EQ(opened, QStringList{"frmSaveGame"});
  press(Qt::Key_Escape, Qt::NoModifier);
  EXPECT_FALSE(g.mnuExit->isVisible());

  fx.project.messages.queueAnswer(msg::No);
  press(Qt::Key_Q, Qt::ControlModifier);
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_EQ(fx.project.log[0], "msgbox question \"Test Game\" \"Do you really want to quit?\" -> No");
  EXPECT_FALSE(g.TimerUnloadMe.isActive());
}

TEST(GameWindow, FourFunctionKeysInARowShowTheDebugMenu) {
  GameFixture fx;
  Game& g = fx.start();
  for (int key : {120, 121, 122}) g.Form_KeyDown(key, 0);
  EXPECT_EQ(g.DebugKeyCount, 3);
  g.Form_KeyDown('A', 0);  // any other key starts again
  EXPECT_EQ(g.DebugKeyCount, 0);
  for (int key : {120, 121, 122, 123}) g.Form_KeyDown(key, 0);
  EXPECT_TRUE(g.mnuDebug->menuAction()->isVisible());
  EXPECT_EQ(g.DebugKeyCount, 0);
  g.ShowMenus();
  EXPECT_FALSE(g.mnuDebug->menuAction()->isVisible());
}

TEST(GameWindow, DebugFrameListHoldsEveryFrameFileAndOpensIt) {
  GameFixture fx;
  fx.frame("b", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  fx.frame("a", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  fx.frame("R&D", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  fx.project.write("Frames/.fme", "");
  fx.project.write("Frames/c.FME", "0\r\n");
  fx.project.write("Frames/notes.txt", "");
  Game& g = fx.start();
  QStringList names;
  for (QAction* a : g.mnuFrameName) names << a->data().toString();
  EXPECT_EQ(names, (QStringList{"a", "b", "c", "R&D"}));
  EXPECT_EQ(g.mnuFrameName[3]->text(), "R&&D");
  g.mnuFrameName_Click(4);
  EXPECT_EQ(g.frame.CurrentFrameName, "R&D");
  // A second reset lists the frames once.
  g.ResetAll();
  EXPECT_EQ(g.mnuFrameName.size(), 4u);
}

TEST(GameWindow, ResetAllRestoresTheStartState) {
  GameFixture fx;
  Game& g = fx.start();
  fx.module().userSettings().set("TestProject", "DisableTransitions", "True");
  g.FramesHistory.FramesHistoryAdd("X");
  g.AllowControlsReferences = 2;
  g.Timer1.start(1000);
  fx.module().EverythingStopped = true;
  g.ShowFrameMessage("hello", true);
  g.ResetAll();
  EXPECT_TRUE(g.FramesHistory.isEmpty());
  EXPECT_EQ(g.AllowControlsReferences, 0);
  EXPECT_FALSE(g.Timer1.isActive());
  EXPECT_FALSE(fx.module().EverythingStopped);
  EXPECT_TRUE(g.StopMovie && fx.module().UserInterrupt);
  EXPECT_FALSE(g.messageBar().isShowing());
  EXPECT_TRUE(g.mnuDisableTransitions->isChecked());
  EXPECT_FALSE(g.mnuDisableEffects->isChecked());
  EXPECT_TRUE(fx.project.log.isEmpty());

  // The Options item flips its tick and stores it.
  g.mnuDisableEffects->trigger();
  EXPECT_EQ(fx.module().userSettings().get("TestProject", "DisableEffects"), "True");
}

TEST(GameWindow, ResetAllPutsEveryPartIntoItsStartState) {
  GameFixture fx;
  fx.project.init();
  Game g(fx.module());
  g.Form_Load();
  g.components().AddAdditionalComponent("Forms.Label.1", "early");
  fx.project.write("Frames/a.fme", "0\r\n");
  fx.module().userSettings().set("TestProject", "DisableEffects", "True");
  g.ResetAll();
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
  EXPECT_EQ(g.components().ComponentsCount, 0);
  EXPECT_EQ(g.mnuFrameName.size(), 1u);
  EXPECT_TRUE(g.mnuDisableEffects->isChecked());
}

TEST(GameWindow, QuittingClosesAfterTheDelayAndHandsBack) {
  GameFixture fx;
  fx.frame("Start", "0,\"0\",#FALSE#,#FALSE#,\"\",#TRUE#,\"1\",\"Start\",\"\",\"\"\r\n");
  Game& g = fx.start();
  g.StartNewGame();
  g.show();
  int unloaded = 0;
  g.unloaded = [&] {
    EXPECT_FALSE(g.isVisible());
    EXPECT_FALSE(g.Timer1.isActive());
    ++unloaded;
  };
  fx.project.messages.queueAnswer(msg::Yes);
  g.mnuExit_Click();
  EXPECT_TRUE(g.TimerUnloadMe.isActive());
  EXPECT_EQ(g.TimerUnloadMe.interval(), 100);
  EXPECT_EQ(unloaded, 0);  // the event that asked finishes first
  test::runEventsFor(400);
  EXPECT_EQ(unloaded, 1);
  EXPECT_FALSE(g.TimerUnloadMe.isActive());
}

}  // namespace
}  // namespace storyloom
