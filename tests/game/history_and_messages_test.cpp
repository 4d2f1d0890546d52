#include <gtest/gtest.h>

#include "platform/log_lines.h"

#include <QGraphicsSceneMouseEvent>

#include "game/frame_history.h"
#include "game/game.h"
#include "game/message_bar.h"
#include "game/placement.h"
#include "game/game_fixture.h"

namespace storyloom {
namespace {

TEST(FrameHistory, RecordsVisitsOnceEachAndKeepsTheLastTwenty) {
  FrameHistory h;
  for (const char* f : {"A", "B", "A", "B", "B"}) h.FramesHistoryAdd(f);
  EXPECT_EQ(h.entries(), (QStringList{"A", "B", "A", "B"}));
  h.FramesHistoryAdd("b");  // compared exactly
  EXPECT_EQ(h.last(), "b");
  FrameHistory many;
  for (int i = 1; i <= 25; ++i) many.FramesHistoryAdd(QString::number(i));
  ASSERT_EQ(many.size(), 20);
  EXPECT_EQ(many.entries().first(), "6");
  EXPECT_EQ(many.last(), "25");
}

TEST(FrameHistory, TimerTargets) {
  FrameHistory h;
  h.FramesHistoryAdd("A");
  EXPECT_FALSE(FrameTimerTarget("", h));
  EXPECT_FALSE(FrameTimerTarget("[last visited frame]", h));
  EXPECT_EQ(h.size(), 1);
  h.FramesHistoryAdd("B");
  EXPECT_EQ(FrameTimerTarget("[LAST visited Frame]", h), QString("A"));
  EXPECT_EQ(h.entries(), QStringList{"A"});
  EXPECT_EQ(FrameTimerTarget("Cellar Door", h), QString("Cellar Door"));
}

TEST(FrameHistory, HotspotCountFromTheLinksFile) {
  test::TempProject p;
  p.writeGeneral();
  p.init();
  p.write("Frames/A.lks", "12\r\n\"more\"\r\n");
  p.write("Frames/B.lks", "\"many\"\r\n");
  EXPECT_EQ(ReadHotspotCount(*p.module, "A"), 12);
  EXPECT_EQ(ReadHotspotCount(*p.module, "Missing"), 0);
  EXPECT_TRUE(p.log.isEmpty());
  EXPECT_EQ(ReadHotspotCount(*p.module, "B"), 0);
  ASSERT_EQ(p.log.size(), 1);
  EXPECT_EQ(p.log[0], "msgbox exclamation \"Error\" " +
                          quotedForLog("Error reading the hotspots count from the file \"" + p.root() +
                                       "/Frames/B.lks\".\n\nType mismatch") +
                          " -> OK");
  // The count is read as text and then converted: an empty value or #TRUE# is no count.
  p.write("Frames/C.lks", "\r\n");
  p.write("Frames/D.lks", "#TRUE#\r\n");
  p.write("Frames/E.lks", "40000\r\n");
  EXPECT_EQ(ReadHotspotCount(*p.module, "C"), 0);
  EXPECT_EQ(ReadHotspotCount(*p.module, "D"), 0);
  EXPECT_EQ(ReadHotspotCount(*p.module, "E"), 0);
  ASSERT_EQ(p.log.size(), 4);
  EXPECT_TRUE(p.log[1].endsWith(R"(C.lks\".\n\nType mismatch" -> OK)")) << p.log[1].toStdString();
  EXPECT_TRUE(p.log[2].endsWith(R"(D.lks\".\n\nType mismatch" -> OK)")) << p.log[2].toStdString();
  EXPECT_TRUE(p.log[3].endsWith(R"(E.lks\".\n\nOverflow" -> OK)")) << p.log[3].toStdString();
}

TEST(MessageBar, DisplayTimeGrowsWithTheTextAndANewMessageRestartsIt) {
  test::GameFixture fx;
  Game& g = fx.start();
  MessageBar& bar = g.messageBar();
  std::vector<QString> logged;
  g.frameMessages().shown = [&](const QString& t) { logged.push_back(t); };
  const QString thirty(30, 'x');
  g.ShowFrameMessage(thirty, true);
  EXPECT_TRUE(bar.isShowing());
  EXPECT_EQ(bar.TimerMessageBox().interval(), 3100);
  EXPECT_TRUE(bar.TimerMessageBox().isActive());
  // Full width of the picture, on its bottom edge, 525 twips taller than the label.
  EXPECT_EQ(bar.twipsLeft(), 0);
  EXPECT_EQ(bar.twipsWidth(), 640 * 15);
  EXPECT_DOUBLE_EQ(bar.twipsHeight(), bar.labelTwipsHeight() + 525);
  EXPECT_DOUBLE_EQ(bar.twipsTop() + bar.twipsHeight(), 480 * 15);
  EXPECT_EQ(g.shownTexts().last(), thirty);

  g.ShowFrameMessage("", true);
  EXPECT_EQ(bar.TimerMessageBox().interval(), 1000);
  EXPECT_TRUE(bar.isShowing());
  EXPECT_EQ(logged, (std::vector<QString>{thirty, ""}));

  bar.TimerMessageBox_Timer();
  EXPECT_FALSE(bar.isShowing());
  EXPECT_FALSE(bar.TimerMessageBox().isActive());
  EXPECT_EQ(bar.TimerMessageBox().interval(), 0);
}

TEST(MessageBar, HideByTextOrClickAndTheInformationBox) {
  test::GameFixture fx;
  Game& g = fx.start();
  MessageBar& bar = g.messageBar();
  g.ShowFrameMessage("Look!", true);
  g.ShowFrameMessage("[HIDE]", true);
  EXPECT_FALSE(bar.isShowing());
  EXPECT_TRUE(fx.project.log.isEmpty());

  g.ShowFrameMessage("[hide]", false);
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_EQ(fx.project.log[0], "msgbox information \"Test Game\" \"[hide]\" -> OK");

  // A click on the bar or on its label hides it before its time.
  g.ShowFrameMessage("Click me", true);
  const QPointF onLabel = bar.LabelMessageBox()->sceneBoundingRect().center();
  QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
  press.setButton(Qt::LeftButton);
  press.setScenePos(onLabel);
  QCoreApplication::sendEvent(&g.scene(), &press);
  EXPECT_FALSE(bar.isShowing());
  g.ShowFrameMessage("Click me", true);
  press.setScenePos(QPointF(2, 478));
  QCoreApplication::sendEvent(&g.scene(), &press);
  EXPECT_FALSE(bar.isShowing());
}

TEST(MessageBar, HidesByItselfAfterItsTime) {
  test::GameFixture fx;
  Game& g = fx.start();
  g.ShowFrameMessage("", true);
  test::runEventsFor(600);
  EXPECT_TRUE(g.messageBar().isShowing());
  test::runEventsFor(700);
  EXPECT_FALSE(g.messageBar().isShowing());
}

TEST(Placement, CentringArithmetic) {
  // Menu always visible: the inner area is exactly the game, centred on the desktop.
  PlacementInput in{true, 1024 * 15, 768 * 15, 0, 300, 640, 480};
  Placement p = ComputePlacement(in);
  EXPECT_EQ(p.innerWidth, 9600);
  EXPECT_EQ(p.innerHeight, 7200);
  EXPECT_EQ(p.windowHeight, 7500);
  EXPECT_EQ(p.windowLeft, 15360 / 2 - 9600 / 2);
  EXPECT_EQ(p.windowTop, 11520 / 2 - 7500 / 2);
  EXPECT_EQ(p.pictureLeft, 0);
  EXPECT_EQ(p.pictureTop, 0);

  // Desktop-sized window, the picture centred in it.
  in = {false, 1024 * 15, 768 * 15, 0, 0, 640, 480};
  p = ComputePlacement(in);
  EXPECT_EQ(p.windowWidth, 15360);
  EXPECT_EQ(p.windowLeft, 0);
  EXPECT_EQ(p.pictureLeft, 7680 - 4800);
  EXPECT_EQ(p.pictureTop, 5760 - 3600);

  // A desktop smaller than the game: the top stops at 0, the left goes negative.
  in = {false, 600 * 15, 400 * 15, 0, 0, 640, 480};
  p = ComputePlacement(in);
  EXPECT_EQ(p.pictureTop, 0);
  EXPECT_EQ(p.pictureLeft, 4500 - 4800);
  // Odd sizes round down on each half.
  in = {false, 15 * 101 + 1, 15 * 101 + 1, 0, 0, 1, 1};
  p = ComputePlacement(in);
  EXPECT_EQ(p.pictureLeft, 758 - 7);
}

TEST(Placement, ClickPositionsRoundHalfToEven) {
  EXPECT_EQ(ClickPositionFromTwips(22, 23), QPoint(1, 2));
  EXPECT_EQ(ClickPositionFromTwips(22.5f, 37.5f), QPoint(2, 2));
  EXPECT_EQ(ClickPositionFromTwips(7.5f, 0), QPoint(0, 0));
  test::GameFixture fx;
  Game& g = fx.start();
  g.SaveClickPos(1507.5f, 300);
  EXPECT_EQ(g.LastClickPosition, QPoint(100, 20));
}

}  // namespace
}  // namespace storyloom
