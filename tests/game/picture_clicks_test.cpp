#include <gtest/gtest.h>

#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QTest>

#include "game/frame_texts.h"
#include "game/game.h"
#include "game/message_bar.h"
#include "game/game_fixture.h"

namespace storyloom {
namespace {

// A game shown on the offscreen screen, on a frame with one large text; the menus hidden.
struct ShownGame {
  test::GameFixture fx;
  Game* g = nullptr;

  ShownGame() {
    fx.frame("Start", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
    fx.project.write("FramesData/Start.fm1",
                     "\"x\",1,,,,,,,,,\"WWWWWW\",1500,1500,#FALSE#,#FALSE#,\"\",60,#FALSE#,#FALSE#,0,\"\"\r\n");
    g = &fx.start();
    g->StartNewGame();
    g->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(g));
  }
  // A point of the picture in the window's coordinates.
  QPoint onWindow(QPointF scenePos) const {
    return g->PictureBox->viewport()->mapTo(g, g->PictureBox->mapFromScene(scenePos));
  }
  void doubleClick(Qt::MouseButton button, QPointF scenePos) {
    QTest::mouseDClick(g->windowHandle(), button, {}, onWindow(scenePos));
    QCoreApplication::processEvents();
  }
  bool menusShown() const { return g->mnuExit->isVisible(); }
};

TEST(PictureClicks, ADoubleClickIsOneMouseDown) {
  ShownGame s;
  Game& g = *s.g;
  ASSERT_EQ(g.texts().highestIndex(), 1);
  const QPointF onText = g.texts().Text(1)->sceneBoundingRect().center();
  ASSERT_EQ(g.scene().itemAt(onText, {}), g.texts().Text(1));
  const QPointF onBackground(600, 400);
  ASSERT_EQ(g.scene().itemAt(onBackground, {}), g.BackImage);

  // A right click shows the menus, a second one hides them: a right double-click is one.
  for (const QPointF& where : {onBackground, onText}) {
    SCOPED_TRACE(where.x());
    g.HideMenus();
    s.doubleClick(Qt::RightButton, where);
    EXPECT_TRUE(s.menusShown());
    s.doubleClick(Qt::RightButton, where);
    EXPECT_FALSE(s.menusShown());
  }

  // The picture outside any element, and the window around the picture.
  g.BackImage->hide();
  g.HideMenus();
  s.doubleClick(Qt::RightButton, onBackground);
  EXPECT_TRUE(s.menusShown());
  g.BackImage->show();
  g.HideMenus();
  ASSERT_GT(g.PictureBox->x(), 10);
  QTest::mouseDClick(g.windowHandle(), Qt::RightButton, {}, g.PictureBox->mapTo(&g, QPoint(-10, 50)));
  EXPECT_TRUE(s.menusShown());
}

TEST(PictureClicks, ADoubleClickOnTheMessageBarHidesItAndReachesNothingBelow) {
  ShownGame s;
  Game& g = *s.g;
  g.ShowMenus();
  g.ShowFrameMessage("Hello there", true);
  QCoreApplication::processEvents();
  ASSERT_TRUE(s.menusShown());
  MessageBar& bar = g.messageBar();
  const QPointF onBar(5, bar.sceneBoundingRect().center().y());
  s.doubleClick(Qt::LeftButton, onBar);
  EXPECT_FALSE(bar.isShowing());
  // A left mouse-down on the picture would have hidden the menus.
  EXPECT_TRUE(s.menusShown());
  s.doubleClick(Qt::LeftButton, onBar);
  EXPECT_FALSE(s.menusShown());
}

TEST(MessageBar, LiesInFrontOfEverythingOnThePicture) {
  test::GameFixture fx;
  fx.frame("Start", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  // A text on the bottom edge, under the bar.
  fx.project.write("FramesData/Start.fm1",
                   "\"x\",1,,,,,,,,,\"Under\",0,6900,#FALSE#,#FALSE#,\"\",20,#FALSE#,#FALSE#,0,\"\"\r\n");
  Game& g = fx.start();
  g.StartNewGame();
  const QRectF picture = g.scene().sceneRect();
  // Hotspots, animated pictures, the inventory, a dialogue box and a running transition,
  // each over the whole picture.
  for (double z : {layer::Hotspots, layer::AniGifs, layer::Inventory, layer::Dialogue, layer::Transition})
    g.scene().addRect(picture)->setZValue(z);
  g.ShowFrameMessage("In front", true);
  // A transition that starts while the message shows.
  g.scene().addRect(picture)->setZValue(layer::Transition);
  MessageBar& bar = g.messageBar();

  const QPointF onLabel = bar.LabelMessageBox()->sceneBoundingRect().center();
  const QPointF onBar(3, picture.bottom() - 3);
  ASSERT_TRUE(g.texts().Text(1)->sceneBoundingRect().contains(onBar));
  EXPECT_EQ(g.scene().itemAt(onLabel, {}), bar.LabelMessageBox());
  EXPECT_EQ(g.scene().itemAt(onBar, {}), &bar);

  // A click there reaches the bar.
  QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
  press.setButton(Qt::LeftButton);
  press.setScenePos(onBar);
  QCoreApplication::sendEvent(&g.scene(), &press);
  EXPECT_FALSE(bar.isShowing());
}

}  // namespace
}  // namespace storyloom
