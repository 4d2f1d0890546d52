#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "game/frame_texts.h"
#include "game/game.h"
#include "shell/application.h"
#include "shell/frm_welcome.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

void runEventsFor(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(GameStart, StartPlaysTheInitialFrameAndQuittingBringsTheWelcomeWindowBack) {
  test::TempProject p;
  p.writeGeneral("First");
  p.write("Config/Variables", "\"\",\"***\"\r\n");  // a project without variables
  p.write("Frames/First.fme", "0,\"255\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  p.write("FramesData/First.fm1",
          "\"T\",1,,,,,,,,,\"Hello\",150,150,#FALSE#,#FALSE#,\"\",10,#FALSE#,#FALSE#,0,\"\"\r\n");
  Application app(p.root(), p.messages, *p.userSettings);
  ASSERT_TRUE(app.start());
  const QString title = app.welcome().txtAdventureName->text();
  app.welcome().ClickButton(0);
  Game* game = app.game();
  ASSERT_NE(game, nullptr);
  EXPECT_TRUE(game->isVisible());
  EXPECT_FALSE(app.welcome().isVisible());
  EXPECT_EQ(game->frame.CurrentFrameName, "First");
  EXPECT_EQ(game->texts().Text(1)->caption(), "Hello");
  EXPECT_TRUE(p.log.isEmpty()) << p.log.join('\n').toStdString();

  game->StartUnloading();
  runEventsFor(400);
  EXPECT_FALSE(game->isVisible());
  EXPECT_TRUE(app.welcome().isVisible());
  EXPECT_EQ(app.welcome().txtAdventureName->text(), title);

  // A second game gets a fresh window at the initial frame.
  app.welcome().ClickButton(0);
  ASSERT_NE(app.game(), nullptr);
  EXPECT_EQ(app.game()->FramesHistory.entries(), QStringList{"First"});

  // With the welcome window skipped, closing the game does not show it again.
  app.module().settings.SkipWelcomeWindow = true;
  app.game()->close();
  EXPECT_FALSE(app.welcome().isVisible());
}

TEST(GameStart, AMissingInitialFrameIsReportedAndTheWindowStaysOpen) {
  test::TempProject p;
  p.writeGeneral("Gone");
  p.write("Config/Variables", "\"\",\"***\"\r\n");
  Application app(p.root(), p.messages, *p.userSettings);
  ASSERT_TRUE(app.start());
  p.log.clear();
  app.welcome().ClickButton(0);
  ASSERT_EQ(p.log.size(), 1);
  EXPECT_TRUE(p.log[0].contains(R"(The frame named \"Gone\" was not found.)"));
  EXPECT_TRUE(app.game()->isVisible());
}

}  // namespace
}  // namespace storyloom
