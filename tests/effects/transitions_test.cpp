#include "effects/transitions.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGraphicsRectItem>
#include <QTest>
#include <QTimer>

#include "game/game.h"
#include "game/game_fixture.h"
#include "game/picture_items.h"

namespace storyloom {
namespace {

using test::GameFixture;

constexpr int kWidth = 640, kHeight = 480;
const QColor kRed(255, 0, 0), kBlue(0, 0, 255);

// Two solid frames: A red, B blue.
struct TwoFrames : GameFixture {
  TwoFrames() {
    frame("A", "0,\"255\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
    frame("B", "0,\"16711680\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  }
  Game& startOnA() {
    Game& g = start();
    g.OpenFrame("A", false, 0, 0);
    return g;
  }
  // Seconds that opening B with the given transition took.
  double changeToB(int number, double seconds) {
    QElapsedTimer clock;
    clock.start();
    game->transitions().TransitionStep1(number);
    game->OpenFrame("B", true, number, seconds);
    return clock.elapsed() / 1000.0;
  }
};

bool near(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) <= 1 && std::abs(a.green() - b.green()) <= 1 && std::abs(a.blue() - b.blue()) <= 1;
}

TEST(TransitionClock, ProgressAndAlphaFollowTheElapsedTime) {
  EXPECT_DOUBLE_EQ(TransitionProgress(0, 2), 0);
  EXPECT_DOUBLE_EQ(TransitionProgress(0.5, 2), 0.25);
  EXPECT_DOUBLE_EQ(TransitionProgress(2, 2), 1);
  EXPECT_DOUBLE_EQ(TransitionProgress(2.5, 2), 1);
  EXPECT_DOUBLE_EQ(TransitionProgress(1, 0), 1);
  EXPECT_EQ(CrossFadeAlpha(0), 0);
  EXPECT_EQ(CrossFadeAlpha(1), 255);
  // p x 255 with a half going to the even number.
  EXPECT_EQ(CrossFadeAlpha(0.5), 128);
  EXPECT_EQ(CrossFadeAlpha(1.0 / 510), 0);
  EXPECT_EQ(CrossFadeAlpha(3.0 / 510), 2);
  EXPECT_EQ(CrossFadeAlpha(0.25), 64);
}

TEST(TransitionClock, SlidesPushTheOldFrameOutOfTheOppositeEdge) {
  const QSize size(kWidth, kHeight);
  auto at = [&](int n, double p) {
    const SlidePositions s = SlideOffsets(n, p, size);
    return std::make_pair(s.oldFrame, s.newFrame);
  };
  EXPECT_EQ(at(2, 0), std::make_pair(QPoint(0, 0), QPoint(-640, 0)));
  EXPECT_EQ(at(2, 0.25), std::make_pair(QPoint(160, 0), QPoint(-480, 0)));
  EXPECT_EQ(at(3, 0.25), std::make_pair(QPoint(-160, 0), QPoint(480, 0)));
  EXPECT_EQ(at(4, 0.25), std::make_pair(QPoint(0, 120), QPoint(0, -360)));
  EXPECT_EQ(at(5, 0.25), std::make_pair(QPoint(0, -120), QPoint(0, 360)));
  EXPECT_EQ(at(5, 1), std::make_pair(QPoint(0, -480), QPoint(0, 0)));
}

TEST(TransitionClock, AScreenCaptureKeepsOnlyTheWorkArea) {
  const QRect work(0, 0, 1000, 700);
  EXPECT_EQ(CaptureClip(QRect(100, 100, 640, 480), work), QRect(0, 0, 640, 480));
  // Past the right and bottom edges, and past the left and top ones.
  EXPECT_EQ(CaptureClip(QRect(500, 400, 640, 480), work), QRect(0, 0, 500, 300));
  EXPECT_EQ(CaptureClip(QRect(-40, -30, 640, 480), work), QRect(40, 30, 600, 450));
  EXPECT_TRUE(CaptureClip(QRect(2000, 0, 640, 480), work).isEmpty());
}

TEST(Transitions, TheOldFrameCoversThePictureWhileTheNewOneIsBuiltAndTheCrossFadeBlendsThem) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  Transitions& t = g.transitions();
  t.TransitionStep1(1);
  g.OpenFrame("B", false, 0, 0);
  ASSERT_EQ(g.BackImage->colour(), kBlue);
  EXPECT_TRUE(t.pictureShown());
  EXPECT_EQ(fx.render().pixelColor(320, 240), kRed);

  t.picEnd = t.CaptureCurrentFrame();
  EXPECT_EQ(t.picEnd.pixelColor(0, 0), kBlue);
  for (double p : {0.0, 0.25, 0.5, 0.75, 1.0}) {
    t.DrawStep(1, p);
    const double a = CrossFadeAlpha(p) / 255.0;
    const QColor expected(qRound(255 * (1 - a)), 0, qRound(255 * a));
    const QImage shown = fx.render();
    EXPECT_TRUE(near(shown.pixelColor(10, 10), expected)) << p << " " << shown.pixelColor(10, 10).name().toStdString();
    EXPECT_EQ(shown.pixelColor(639, 479), shown.pixelColor(10, 10));
  }
}

TEST(Transitions, EachSlideShowsBothFramesSideBySideAtItsProgress) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  Transitions& t = g.transitions();
  t.TransitionStep1(2);
  g.OpenFrame("B", false, 0, 0);
  t.picEnd = t.CaptureCurrentFrame();
  // Where the new (blue) frame ends and the old (red) one begins, at a quarter of the way.
  struct Case {
    int number;
    QPoint lastBlue, firstRed;
  };
  for (const Case& c : {Case{2, {159, 10}, {160, 10}}, Case{3, {480, 10}, {479, 10}}, Case{4, {10, 119}, {10, 120}},
                        Case{5, {10, 360}, {10, 359}}}) {
    t.DrawStep(c.number, 0.25);
    const QImage shown = fx.render();
    EXPECT_EQ(shown.pixelColor(c.lastBlue), kBlue) << c.number;
    EXPECT_EQ(shown.pixelColor(c.firstRed), kRed) << c.number;
  }
}

TEST(Transitions, ACrossFadeRunsForItsDurationDrawingManyStepsAndEndsOnTheNewFrame) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  g.show();
  QStringList ended;
  g.transitions().finished = [&](const Transitions::Run& r) {
    ended << QString("%1 %2 %3").arg(r.number).arg(r.seconds).arg(r.interrupted);
  };
  const double took = fx.changeToB(1, 0.3);
  EXPECT_GE(took, 0.3);
  EXPECT_LT(took, 2.0);
  EXPECT_EQ(ended, QStringList{"1 0.3 0"});
  ASSERT_TRUE(g.transitions().lastRun().has_value());
  EXPECT_GT(g.transitions().lastRun()->steps, 10);
  EXPECT_FALSE(g.transitions().TransitionRunning);
  EXPECT_FALSE(g.transitions().pictureShown());
  EXPECT_EQ(fx.render().pixelColor(320, 240), kBlue);
  // The next frame change without a transition has none.
  g.OpenFrame("A", false, 0, 0);
  EXPECT_FALSE(g.transitions().lastRun().has_value());
}

// Counts the pictures painted on a widget that differ from the one painted before.
class DistinctPaints : public QObject {
 public:
  explicit DistinctPaints(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && !inside_) {
      inside_ = true;
      const QImage now = widget_->grab().toImage();
      inside_ = false;
      if (now != last_) ++count;
      last_ = now;
    }
    return false;
  }

 private:
  QWidget* widget_;
  QImage last_;
  bool inside_ = false;
};

TEST(Transitions, EveryStepOfTheAnimationReachesTheScreen) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  g.show();
  test::runEventsFor(50);
  DistinctPaints paints(g.PictureBox->viewport());
  // A second's cross-fade shows many distinct pictures (about 60 on an idle 60 Hz screen;
  // far fewer would mean steps lost to buffering).
  fx.changeToB(1, 1.0);
  EXPECT_GT(paints.count, 8);
}

TEST(Transitions, AClickOrAKeyEndsTheAnimationAtOnce) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  g.show();
  QTimer::singleShot(150, [&] { QTest::mouseClick(g.PictureBox->viewport(), Qt::LeftButton, {}, QPoint(300, 200)); });
  EXPECT_LT(fx.changeToB(3, 10), 3.0);
  ASSERT_TRUE(g.transitions().lastRun().has_value());
  EXPECT_TRUE(g.transitions().lastRun()->interrupted);
  EXPECT_FALSE(g.module().UserInterrupt);
  EXPECT_FALSE(g.transitions().pictureShown());
  EXPECT_EQ(fx.render().pixelColor(600, 240), kBlue);

  g.OpenFrame("A", false, 0, 0);
  QTimer::singleShot(150, [&] { QTest::keyClick(&g, Qt::Key_Space); });
  EXPECT_LT(fx.changeToB(1, 10), 3.0);
  ASSERT_TRUE(g.transitions().lastRun().has_value());
  EXPECT_TRUE(g.transitions().lastRun()->interrupted);
}

TEST(Transitions, NoDurationOrAnUnknownNumberChangesTheFrameAtOnce) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  for (auto [number, seconds] : {std::pair{1, 0.0}, std::pair{6, 5.0}, std::pair{-1, 5.0}}) {
    g.OpenFrame("A", false, 0, 0);
    EXPECT_LT(fx.changeToB(number, seconds), 1.0) << number;
    EXPECT_FALSE(g.transitions().lastRun().has_value()) << number;
    EXPECT_FALSE(g.transitions().pictureShown()) << number;
    EXPECT_EQ(fx.render().pixelColor(320, 240), kBlue) << number;
  }
}

TEST(Transitions, AFrameChangeThatFailsDoesNotLeaveTheOldFrameOverThePicture) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  g.transitions().TransitionStep1(1);
  ASSERT_TRUE(g.transitions().pictureShown());
  g.OpenFrame("Nowhere", true, 1, 1);
  EXPECT_FALSE(g.transitions().pictureShown());
  EXPECT_TRUE(g.transitions().picStart.isNull());
}

TEST(Transitions, ACrossFadeRemovesTheTemporaryPicture) {
  TwoFrames fx;
  fx.project.write("Temp001.dat", "x");
  Game& g = fx.startOnA();
  ASSERT_TRUE(g.module().FileExists(g.module().paths.ProjectPath + "Temp001.dat"));
  fx.changeToB(2, 0.05);
  EXPECT_TRUE(g.module().FileExists(g.module().paths.ProjectPath + "Temp001.dat"));
  g.OpenFrame("A", false, 0, 0);
  fx.changeToB(1, 0.05);
  EXPECT_FALSE(g.module().FileExists(g.module().paths.ProjectPath + "Temp001.dat"));
}

TEST(Transitions, TheOldFrameLeavesOutTheInventoryAndTheNewOneIsDrawnFromTheFrameParts) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  auto* bar = g.scene().addRect(0, 400, 640, 80, Qt::NoPen, QColor(0, 255, 0));
  bar->setZValue(layer::Inventory);
  auto* video = g.scene().addRect(0, 0, 100, 100, Qt::NoPen, QColor(0, 255, 0));
  video->setZValue(layer::Videos);
  auto* spot = g.scene().addRect(200, 0, 100, 100, Qt::NoPen, QColor(255, 255, 0));
  spot->setZValue(layer::Hotspots);
  Transitions& t = g.transitions();

  const QImage seen = t.CaptureActualFrame();
  EXPECT_EQ(seen.pixelColor(10, 450), kRed);
  EXPECT_EQ(seen.pixelColor(10, 10), QColor(0, 255, 0));
  EXPECT_EQ(fx.render().pixelColor(10, 450), QColor(0, 255, 0));

  const QImage drawn = t.CaptureCurrentFrame();
  EXPECT_EQ(drawn.pixelColor(10, 10), kRed);
  EXPECT_EQ(drawn.pixelColor(250, 50), QColor(255, 255, 0));
  EXPECT_EQ(drawn.pixelColor(10, 450), kRed);
}

TEST(Transitions, DisablingThemSkipsTheCaptureAndTheAnimationAndSurvivesARestart) {
  TwoFrames fx;
  Game& g = fx.startOnA();
  g.EnableOrDisableTransitions();
  g.transitions().TransitionStep1(1);
  EXPECT_FALSE(g.transitions().pictureShown());
  EXPECT_TRUE(g.transitions().picStart.isNull());
  EXPECT_LT(fx.changeToB(1, 5), 1.0);
  EXPECT_FALSE(g.transitions().lastRun().has_value());
  EXPECT_EQ(g.frame.CurrentFrameName, "B");

  fx.game.reset();
  Game& again = fx.start();
  EXPECT_TRUE(again.mnuDisableTransitions->isChecked());
  again.EnableOrDisableTransitions();
  fx.game.reset();
  EXPECT_FALSE(fx.start().mnuDisableTransitions->isChecked());
}

}  // namespace
}  // namespace storyloom
