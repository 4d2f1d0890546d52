#include "effects/water.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>

#include "effects/transitions.h"
#include "game/game.h"
#include "game/game_fixture.h"
#include "shell/field_reader.h"

namespace storyloom {
namespace {

using test::GameFixture;

// The water rectangle of the test frames and the part of it that the mask keeps as it is
// (its left half is white).
const QRect kWater(100, 200, 200, 120);
constexpr int kKeptWidth = 100;

QRgb texture(int x, int y) { return qRgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255); }

QImage texturePicture(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, texture(x, y));
  return image;
}

// Frames that all have water files: Harbour (a picture), Tiles (a tiled picture), Sea (a
// colour), and Plain (a picture without water files).
struct WaterFrames : GameFixture {
  WaterFrames() {
    frame("Harbour", "1,\"Harbour.bmp\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    frame("Tiles", "1,\"Harbour.bmp\",#TRUE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    frame("Sea", "0,\"16711680\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    frame("Plain", "1,\"Harbour.bmp\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    texturePicture(640, 480).save(project.root() + "/Frames/Harbour.bmp", "BMP");
    for (const QString name : {"Harbour", "Tiles", "Sea"}) {
      waves(name, "6,8");
      mask(name);
    }
  }
  // The frame's .rwe file with the given wave size and speed (and what follows).
  void waves(const QString& name, const QString& sizeAndSpeed) {
    project.write("Frames/" + name + ".rwe", "\"a\",\"b\",1,2,3,4\r\n100,200,200,120," + sizeAndSpeed + "\r\n");
  }
  void mask(const QString& name) {
    QImage m(kWater.size(), QImage::Format_RGB32);
    m.fill(Qt::black);
    for (int y = 0; y < m.height(); ++y)
      for (int x = 0; x < kKeptWidth; ++x) m.setPixel(x, y, qRgb(255, 255, 255));
    m.save(project.root() + "/Frames/" + name + ".rwm", "BMP");
  }
  // Starts the game with the water's clock at `now`.
  Game& startAt(const qint32& now) {
    Game& g = start();
    g.water().routines.timeCount = [&now] { return now; };
    return g;
  }
  // The picture inside the water rectangle as the player sees it.
  QImage water() { return render().copy(kWater); }
};

// How many pixels of the rectangle differ between two pictures of it.
int differingPixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

// The largest difference of one colour of one pixel between two pictures.
int largestDifference(const QImage& a, const QImage& b) {
  int most = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      most =
          std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return most;
}

TEST(WaterFile, ReadsTheRectangleTheWavesAndAnOptionalDirection) {
  WaterFile w;
  FieldReader full(QByteArray("\"x\",\"y\",1,2,3,4\r\n-5,12,320,90,7,-2\r\n#TRUE#\r\n"));
  w.read(full);
  EXPECT_EQ(QRect(w.Left, w.Top, w.Width, w.Height), QRect(-5, 12, 320, 90));
  EXPECT_EQ(w.WaterWaveSize, 7);
  EXPECT_EQ(w.WaterSpeed, -2);
  EXPECT_TRUE(w.WaterReverse);

  WaterFile older;
  older.WaterReverse = true;
  FieldReader shorter(QByteArray("0,0,0,0,0,0\r\n1,2,3,4,5,6\r\n"));
  older.read(shorter);
  EXPECT_EQ(older.WaterSpeed, 6);
  EXPECT_FALSE(older.WaterReverse);

  for (const char* damaged : {"0,0,0,0,0,0\r\n1,2,3,4,5\r\n", "0,0,0,0,0,0\r\n1,\"wide\",3,4,5,6\r\n",
                              "0,0,0,0,0,0\r\n1,2,40000,4,5,6\r\n"}) {
    WaterFile d;
    FieldReader f{QByteArray(damaged)};
    EXPECT_THROW(d.read(f), PlatformError) << damaged;
  }
}

TEST(WaterRoutines, ThePhaseFollowsTheTimeCountAtTheSpeedsRate) {
  // Speed 8: one radian every 300 time units.
  EXPECT_DOUBLE_EQ(WavePhase(300, 8, false), 1.0);
  EXPECT_DOUBLE_EQ(WavePhase(3000, 8, false), 10.0);
  EXPECT_DOUBLE_EQ(WavePhase(3000, 8, true), -10.0);
  // Speed -2 freezes the waves whatever the time.
  EXPECT_DOUBLE_EQ(WavePhase(0, -2, false), 0.0);
  EXPECT_DOUBLE_EQ(WavePhase(123456, -2, false), 0.0);
  EXPECT_DOUBLE_EQ(WavePhase(-9000, -2, true), 0.0);
  // Speed 3: (1/2)^4 of speed 8's rate.
  EXPECT_DOUBLE_EQ(WavePhase(4800, 3, false), 1.0);
  EXPECT_GT(WaterTimeCount() + 0LL, -1LL);
}

TEST(WaterRoutines, TheWaveBendsTheInsideSmoothlyAndKeepsTheBorder) {
  // A source whose colour grows with x (red) and with y (green).
  QImage source(128, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) source.setPixel(x, y, qRgb(x * 2, y * 4, 0));
  QImage into;
  for (float phase : {0.0f, 0.7f, 2.5f, 5.9f}) {
    DrawWave(into, source, 6, 4, phase, 90.0);
    ASSERT_EQ(into.size(), source.size());
    int moved = 0;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 128; ++x) {
        const QRgb p = into.pixel(x, y);
        moved += p != source.pixel(x, y);
        // The border is the source's own: no seam with the picture around the rectangle.
        if (x == 0 || y == 0 || x == 127 || y == 63) {
          EXPECT_EQ(p, source.pixel(x, y)) << x << "," << y;
        }
        // No tearing: along a row the red never goes back and never jumps; down a column
        // the same for the green.
        if (x > 0) {
          const int step = qRed(p) - qRed(into.pixel(x - 1, y));
          EXPECT_TRUE(step >= 0 && step <= 8) << x << "," << y << " step " << step;
        }
        if (y > 0) {
          const int step = qGreen(p) - qGreen(into.pixel(x, y - 1));
          EXPECT_TRUE(step >= 0 && step <= 16) << x << "," << y << " step " << step;
        }
      }
    }
    EXPECT_GT(moved, 128 * 64 / 4) << phase;
  }
  // No wave size, no waves.
  DrawWave(into, source, 0, 4, 1.0f, 90.0);
  EXPECT_EQ(into, source);
}

TEST(WaterRoutines, TheMaskCopiesTheSourceWhereItIsWhite) {
  QImage into(4, 1, QImage::Format_RGB32), source(4, 1, QImage::Format_RGB32), mask(4, 1, QImage::Format_RGB32);
  into.fill(qRgb(10, 20, 30));
  source.fill(qRgb(200, 150, 100));
  mask.setPixel(0, 0, qRgb(255, 255, 255));
  mask.setPixel(1, 0, qRgb(0, 0, 0));
  mask.setPixel(2, 0, qRgb(255, 255, 255));
  mask.setPixel(3, 0, qRgb(0, 0, 0));
  DrawThroughMask(into, source, mask);
  EXPECT_EQ(into.pixel(0, 0), qRgb(200, 150, 100));
  EXPECT_EQ(into.pixel(1, 0), qRgb(10, 20, 30));
  EXPECT_EQ(into.pixel(2, 0), qRgb(200, 150, 100));
  MergeMask(source, mask);
  EXPECT_EQ(source.pixel(0, 0), qRgb(200, 150, 100));
  EXPECT_EQ(source.pixel(1, 0), qRgb(255, 255, 255));
  QImage other(3, 1, QImage::Format_RGB32);
  EXPECT_THROW(DrawThroughMask(into, other, mask), PlatformError);
}

TEST(Water, ThePictureRipplesOnlyWhereTheMaskIsBlack) {
  WaterFrames fx;
  qint32 now = 0;
  Game& g = fx.startAt(now);
  g.OpenFrame("Harbour", false, 0, 0);
  ASSERT_TRUE(g.water().WaterActive);
  EXPECT_TRUE(g.water().surfaceShown());
  EXPECT_TRUE(g.water().TimerRipplingWater.isActive());
  EXPECT_EQ(g.water().TimerRipplingWater.interval(), 30);
  EXPECT_EQ(g.water().surfaceRect(), kWater);
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join("\n").toStdString();

  for (qint32 t : {0, 150, 1000, 2345}) {
    now = t;
    g.water().TimerRipplingWater_Timer();
    EXPECT_TRUE(g.water().WaterTickIdle);
    const QImage shown = fx.render();
    int rippled = 0;
    for (int y = kWater.top(); y <= kWater.bottom(); ++y) {
      for (int x = kWater.left(); x <= kWater.right(); ++x) {
        const bool kept = x < kWater.left() + kKeptWidth;
        const bool border = y == kWater.top() || y == kWater.bottom() || x == kWater.right();
        if (kept || border)
          ASSERT_EQ(shown.pixel(x, y), texture(x, y)) << "t " << t << " at " << x << "," << y;
        else
          rippled += shown.pixel(x, y) != texture(x, y);
      }
    }
    EXPECT_GT(rippled, 100 * 120 / 4) << "t " << t;
    // Around the rectangle the picture is untouched.
    EXPECT_EQ(shown.pixel(kWater.left() - 1, kWater.top() + 50), texture(kWater.left() - 1, kWater.top() + 50));
    EXPECT_EQ(shown.pixel(kWater.right() + 1, kWater.top() + 50), texture(kWater.right() + 1, kWater.top() + 50));
  }
  // The timer draws the steps by itself.
  const QImage before = g.water().PicRipplingWater();
  now = 777;
  test::runEventsFor(100);
  EXPECT_NE(g.water().PicRipplingWater(), before);
}

TEST(Water, SpeedEightMovesTheWavesAndSpeedMinusTwoFreezesThem) {
  WaterFrames fx;
  fx.waves("Harbour", "6,-2");
  qint32 now = 0;
  Game& g = fx.startAt(now);
  g.OpenFrame("Harbour", false, 0, 0);
  const QImage frozen = fx.water();
  for (qint32 t : {150, 1000, 100000}) {
    now = t;
    g.water().TimerRipplingWater_Timer();
    EXPECT_EQ(fx.water(), frozen) << t;
  }

  fx.waves("Harbour", "6,8");
  now = 0;
  g.OpenFrame("Harbour", false, 0, 0);
  const QImage atZero = fx.water();
  now = 150;
  g.water().TimerRipplingWater_Timer();
  EXPECT_GT(differingPixels(fx.water(), atZero), 100 * 120 / 4);
  // A whole period later (2 pi radians, 1885 time units) the waves are where they were.
  now = 1885;
  g.water().TimerRipplingWater_Timer();
  EXPECT_LE(largestDifference(fx.water(), atZero), 2);
  // Backwards: the same picture at the opposite time.
  fx.waves("Harbour", "6,8,#TRUE#");
  now = -150;
  g.OpenFrame("Harbour", false, 0, 0);
  EXPECT_TRUE(g.water().WaterReverse);
  const QImage backwards = fx.water();
  fx.waves("Harbour", "6,8");
  now = 150;
  g.OpenFrame("Harbour", false, 0, 0);
  EXPECT_FALSE(g.water().WaterReverse);
  EXPECT_EQ(fx.water(), backwards);
}

TEST(Water, TiledColourAndPlainFramesHaveNoWaterAndLeavingAFrameStopsIt) {
  WaterFrames fx;
  Game& g = fx.start();
  g.OpenFrame("Harbour", false, 0, 0);
  ASSERT_TRUE(g.water().surfaceShown());
  for (const QString name : {"Tiles", "Sea", "Plain"}) {
    g.OpenFrame(name, false, 0, 0);
    EXPECT_EQ(g.frame.CurrentFrameName, name);
    EXPECT_FALSE(g.water().WaterActive) << name.toStdString();
    EXPECT_FALSE(g.water().surfaceShown()) << name.toStdString();
    EXPECT_FALSE(g.water().TimerRipplingWater.isActive()) << name.toStdString();
    // Switching effects off and on again does not bring water to such a frame.
    g.EnableOrDisableEffects();
    g.EnableOrDisableEffects();
    EXPECT_FALSE(g.water().surfaceShown()) << name.toStdString();
  }
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join("\n").toStdString();
  const QImage shown = fx.render();
  EXPECT_EQ(shown.pixel(kWater.center()), texture(kWater.center().x(), kWater.center().y()));
}

TEST(Water, DisablingEffectsStopsTheWaterBringsItBackAndSurvivesARestart) {
  WaterFrames fx;
  Game& g = fx.start();
  g.OpenFrame("Harbour", false, 0, 0);
  ASSERT_TRUE(g.water().TimerRipplingWater.isActive());

  g.mnuDisableEffects->trigger();
  EXPECT_TRUE(g.mnuDisableEffects->isChecked());
  EXPECT_FALSE(g.water().WaterActive);
  EXPECT_FALSE(g.water().surfaceShown());
  EXPECT_FALSE(g.water().TimerRipplingWater.isActive());
  EXPECT_EQ(fx.render().copy(kWater), texturePicture(640, 480).copy(kWater));
  // A frame opened meanwhile gets no water.
  g.OpenFrame("Harbour", false, 0, 0);
  EXPECT_FALSE(g.water().surfaceShown());

  g.EnableOrDisableEffects();
  EXPECT_FALSE(g.mnuDisableEffects->isChecked());
  EXPECT_TRUE(g.water().WaterActive);
  EXPECT_TRUE(g.water().surfaceShown());
  EXPECT_TRUE(g.water().TimerRipplingWater.isActive());

  g.EnableOrDisableEffects();
  fx.game.reset();
  Game& again = fx.start();
  EXPECT_TRUE(again.mnuDisableEffects->isChecked());
  again.OpenFrame("Harbour", false, 0, 0);
  EXPECT_FALSE(again.water().surfaceShown());
  again.EnableOrDisableEffects();
  fx.game.reset();
  Game& third = fx.start();
  EXPECT_FALSE(third.mnuDisableEffects->isChecked());
  third.OpenFrame("Harbour", false, 0, 0);
  EXPECT_TRUE(third.water().surfaceShown());
}

TEST(Water, SwitchingOffWhileAStepLetsEventsRunNeitherFreezesNorLeavesTheWaterRunning) {
  WaterFrames fx;
  Game& g = fx.start();
  g.OpenFrame("Harbour", false, 0, 0);
  int steps = 0;
  qint64 switchingOffTook = -1;
  bool stepFinished = false;
  // A slow step that lets events run while it draws; the player switches effects off then.
  g.water().routines.wave = [&](QImage& into, const QImage& from, int a, int n, float p, double angle) {
    ++steps;
    QTimer::singleShot(20, [&] {
      QElapsedTimer clock;
      clock.start();
      g.EnableOrDisableEffects();
      switchingOffTook = clock.elapsed();
    });
    test::runEventsFor(200);
    DrawWave(into, from, a, n, p, angle);
    stepFinished = true;
  };
  g.water().TimerRipplingWater_Timer();
  EXPECT_EQ(steps, 1) << "the ticks meanwhile drew no second step";
  EXPECT_TRUE(stepFinished);
  EXPECT_GE(switchingOffTook, 0);
  EXPECT_LT(switchingOffTook, 1000);
  EXPECT_TRUE(g.mnuDisableEffects->isChecked());
  EXPECT_FALSE(g.water().WaterActive);
  EXPECT_FALSE(g.water().surfaceShown());
  EXPECT_FALSE(g.water().TimerRipplingWater.isActive());
  EXPECT_TRUE(g.water().WaterTickIdle);
}

TEST(Water, SetUpAndStepErrorsAreReportedAndMissingFilesAreNot) {
  WaterFrames fx;
  Game& g = fx.start();
  // A value of the wrong type.
  fx.project.write("Frames/Harbour.rwe", "0,0,0,0,0,0\r\n100,\"top\",200,120,6,8\r\n");
  g.OpenFrame("Harbour", false, 0, 0);
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].startsWith("msgbox critical \"Error\""));
  EXPECT_TRUE(fx.project.log[0].endsWith("Error initializing the Rippling Water effect. Type mismatch\" -> OK"))
      << fx.project.log[0].toStdString();
  EXPECT_FALSE(g.water().surfaceShown());
  // A rectangle of no width.
  fx.waves("Harbour", "6,8");
  fx.project.write("Frames/Harbour.rwe", "0,0,0,0,0,0\r\n100,200,0,120,6,8\r\n");
  g.OpenFrame("Harbour", false, 0, 0);
  ASSERT_EQ(fx.project.log.size(), 2);
  EXPECT_TRUE(fx.project.log[1].contains("Error initializing the Rippling Water effect. Invalid property value"));
  EXPECT_FALSE(g.water().WaterActive);

  // No mask, or a mask that is no picture: no water and no message.
  fx.waves("Harbour", "6,8");
  QFile::remove(fx.project.root() + "/Frames/Harbour.rwm");
  g.OpenFrame("Harbour", false, 0, 0);
  EXPECT_FALSE(g.water().surfaceShown());
  fx.project.write("Frames/Harbour.rwm", "not a picture");
  g.OpenFrame("Harbour", false, 0, 0);
  EXPECT_FALSE(g.water().surfaceShown());
  EXPECT_EQ(fx.project.log.size(), 2);
  EXPECT_EQ(g.frame.CurrentFrameName, "Harbour");

  // A step that fails stops the water with its report.
  fx.mask("Harbour");
  g.OpenFrame("Harbour", false, 0, 0);
  ASSERT_TRUE(g.water().TimerRipplingWater.isActive());
  g.water().routines.wave = [](QImage&, const QImage&, int, int, float, double) {
    throw PlatformError(7, "Out of memory");
  };
  test::runEventsFor(100);
  ASSERT_EQ(fx.project.log.size(), 3);
  EXPECT_TRUE(fx.project.log[2].startsWith("msgbox critical \"Error\""));
  EXPECT_TRUE(fx.project.log[2].endsWith("Error rendering rippling water. Out of memory\" -> OK"))
      << fx.project.log[2].toStdString();
  EXPECT_FALSE(g.water().WaterActive);
  EXPECT_FALSE(g.water().TimerRipplingWater.isActive());
  EXPECT_TRUE(g.water().WaterTickIdle);
}

TEST(Water, TheNewFrameOfATransitionIsDrawnWithItsWater) {
  WaterFrames fx;
  qint32 now = 400;
  Game& g = fx.startAt(now);
  g.OpenFrame("Harbour", false, 0, 0);
  const QImage drawn = g.transitions().CaptureCurrentFrame();
  EXPECT_EQ(drawn.copy(kWater), g.water().PicRipplingWater());
  EXPECT_GT(differingPixels(drawn.copy(kWater), texturePicture(640, 480).copy(kWater)), 100 * 120 / 4);
}

}  // namespace
}  // namespace storyloom
