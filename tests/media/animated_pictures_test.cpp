#include "media/animated_pictures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGraphicsSceneMouseEvent>
#include <QImage>

#include "effects/transitions.h"
#include "game/game.h"
#include "game/game_fixture.h"
#include "game/picture_items.h"
#include "hotspots/frame_areas.h"
#include "hotspots/records.h"

namespace storyloom {
namespace {

// An 8 x 8 animation: white for 100 ms, then red for 100 ms.
QByteArray twoColours() {
  QFile f(QStringLiteral(STORYLOOM_TEST_DATA "/animated/two_colours.gif"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

struct AnimatedPicturesTest : ::testing::Test {
  test::GameFixture fx{"Room"};
  Game* game = nullptr;

  void SetUp() override {
    ASSERT_FALSE(twoColours().isEmpty());
    fx.project.writeBytes("Areas/Blink.gif", twoColours());
    fx.project.write("Config/Variables", "\"v\",\"Lamp\",\"***\",\"Note\"\r\n");
    fx.frame("Room", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
  }
  void start() {
    game = &fx.start();
    game->vars.LoadVariables(fx.module());
    fx.project.log.clear();
  }
  AnimatedPictures& gifs() { return game->animatedPictures(); }
  QString gifPath() { return fx.module().paths.AreasPath + "Blink.gif"; }
  int boxesOnThePicture() {
    int n = 0;
    for (QGraphicsItem* item : game->scene().items())
      if (dynamic_cast<AniGifBox*>(item)) ++n;
    return n;
  }
};

TEST_F(AnimatedPicturesTest, SpeedBelowOneIsFiftyAndFiftyIsTheFilesOwnTiming) {
  EXPECT_EQ(AnimatedPictures::speedPercent(0), 100);
  EXPECT_EQ(AnimatedPictures::speedPercent(-7), 100);
  EXPECT_EQ(AnimatedPictures::speedPercent(1), 2);
  EXPECT_EQ(AnimatedPictures::speedPercent(50), 100);
  EXPECT_EQ(AnimatedPictures::speedPercent(25), 50);
  EXPECT_EQ(AnimatedPictures::speedPercent(100), 200);

  // The pictures follow: the file's 100 ms at 50, twice as long at 25, half at 100. The
  // time taken to make the picture now shown comes off its delay (a few milliseconds under
  // a sanitizer on a busy machine).
  start();
  const auto expectDelayAt = [&](qint16 speed, int expected) {
    gifs().AniGifNewWithIndex(1, gifPath(), 0, 0, speed);
    const AniGifBox* box = gifs().Box(1);
    ASSERT_NE(box, nullptr);
    EXPECT_LE(box->frameDelay(), expected) << "speed " << speed;
    EXPECT_GT(box->frameDelay(), expected - 30) << "speed " << speed;
  };
  expectDelayAt(0, 100);
  expectDelayAt(-3, 100);
  expectDelayAt(50, 100);
  expectDelayAt(25, 200);
  expectDelayAt(100, 50);
}

TEST_F(AnimatedPicturesTest, ABoxAtItsPlaceShowsTheAnimationAndTransitionsSeeTheFirstPicture) {
  start();
  EXPECT_EQ(gifs().AniGifNewWithIndex(4, gifPath(), 150, 300, 50), 4);
  const AniGifBox* box = gifs().Box(4);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->pos(), QPointF(10, 20));
  EXPECT_EQ(box->boundingRect().size(), QSizeF(8, 8)) << "the box takes the picture's size";
  EXPECT_TRUE(box->isVisible());
  EXPECT_TRUE(box->running());
  EXPECT_GT(box->zValue(), layer::Hotspots);
  EXPECT_EQ(gifs().Box(1), nullptr);

  // Running, the picture turns red; a transition's drawing of the frame has the first one.
  test::runEventsFor(150);
  bool sawRed = false;
  for (int k = 0; k < 20 && !sawRed; ++k) {
    sawRed = fx.render().pixel(12, 22) == qRgb(255, 0, 0);
    if (!sawRed) test::runEventsFor(20);
  }
  EXPECT_TRUE(sawRed);
  gifs().AniGifOperation(4, 2);
  EXPECT_FALSE(box->running());
  const QImage frame = game->transitions().CaptureCurrentFrame();
  EXPECT_EQ(frame.pixel(12, 22), qRgb(255, 255, 255));
  EXPECT_EQ(frame.pixel(30, 30), qRgb(0, 0, 0));

  // Hidden boxes stay stopped after a transition; visible ones start again.
  gifs().RestartAniGifs();
  EXPECT_TRUE(box->running());
  gifs().SetAniGifBoxVisible(4, false);
  gifs().AniGifOperation(4, 2);
  gifs().RestartAniGifs();
  EXPECT_FALSE(box->running());
}

TEST_F(AnimatedPicturesTest, AMissingOrEmptyFileLeavesNothingBehindAndNoMessage) {
  start();
  EXPECT_EQ(gifs().AniGifNewWithIndex(2, fx.module().paths.AreasPath + "Gone.gif", 0, 0), 2);
  EXPECT_EQ(gifs().Box(2), nullptr);
  EXPECT_EQ(boxesOnThePicture(), 0);
  EXPECT_EQ(gifs().AniGifNewWithIndex(3, "", 0, 0), 0);
  EXPECT_EQ(gifs().AniGifNewWithIndex(0, gifPath(), 0, 0), 0);
  EXPECT_EQ(boxesOnThePicture(), 0);
  // An existing GIF updated to a missing file goes too.
  gifs().AniGifNewWithIndex(1, gifPath(), 0, 0);
  EXPECT_EQ(boxesOnThePicture(), 1);
  gifs().AniGifUpdate(1, fx.module().paths.AreasPath + "Gone.gif");
  EXPECT_EQ(gifs().Box(1), nullptr);
  EXPECT_EQ(boxesOnThePicture(), 0);
  // Calls on an element that is not there change nothing and say nothing.
  gifs().SetAniGifBoxVisible(2, true);
  gifs().AniGifOperation(2, 1);
  gifs().SetAniGifBoxPointer(2, nullptr);
  EXPECT_FALSE(gifs().AniGifBoxVisible(2));
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

TEST_F(AnimatedPicturesTest, AClickOnTheBoxIsAClickOnItsHotspotAndTheBoxKeepsItsPointer) {
  test::HotspotSpec lamp;
  lamp.x = 100, lamp.y = 60;
  lamp.animated = 1;
  lamp.showPicture = true;
  lamp.picture = "Blink.gif";
  lamp.cursor = "Hand.cur";
  fx.project.write("FramesData/Room.fm2", lamp.text());
  test::ActionLines setLamp;
  setLamp.A = R"(1,"Lamp",0,1,0,0,"",0,"",0,0,0,"")";
  fx.project.write("FramesData/Room.fm3", setLamp.text());
  start();
  game->OpenFrame("Room", false, 0, 0);
  AniGifBox* box = gifs().Box(1);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->pos(), QPointF(102, 62)) << "2 pixels inside the rectangle drawn in the editor";
  EXPECT_TRUE(box->isVisible());
  // The missing pointer file was reported by the lookup; the box has the default pointer.
  EXPECT_EQ(box->cursor().shape(), game->defaultPointer().cursor().shape());
  fx.project.log.clear();

  QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
  press.setButton(Qt::LeftButton);
  press.setPos(QPointF(3, 4));
  game->scene().sendEvent(box, &press);
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
  EXPECT_EQ(game->LastClickPosition, QPoint(105, 66)) << "the click point in the picture";

  // The frame opened again replaces the box; its first element is gone from the picture.
  game->OpenFrame("Room", false, 0, 0);
  EXPECT_EQ(boxesOnThePicture(), 1);
  EXPECT_NE(gifs().Box(1), nullptr);
  ASSERT_EQ(fx.project.log.size(), 1) << "only the missing pointer, again";
  EXPECT_TRUE(fx.project.log[0].contains("Hand.cur"));
}

}  // namespace
}  // namespace storyloom
