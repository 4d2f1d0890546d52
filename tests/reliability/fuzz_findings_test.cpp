// Inputs the fuzz targets found to hurt the player, read back from tests/data/fuzz/: each is
// now read as far as it makes sense, or refused with the program's own message.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "effects/water.h"
#include "game/game.h"
#include "reliability/damaged_project.h"

namespace storyloom {
namespace {

QByteArray finding(const QString& name) {
  QFile f(QStringLiteral(STORYLOOM_TEST_DATA "/fuzz/") + name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The demo with a game window loaded and reset.
struct DemoGame : test::LoadedDemo {
  void openHarbourWithWater(const QByteArray& waterFile) {
    project.writeBytes(QStringLiteral("Frames/Harbour.rwe"), waterFile);
    game->OpenFrame(QStringLiteral("Harbour"), false, 0, 0);
  }
};

// A water rectangle of 32000 by 32000 pixels asked for gigabytes of surfaces.
TEST(FuzzFindings, AWaterRectangleBeyondThePictureIsCutToItAndOneOutsideItIsRefused) {
  DemoGame d;
  const QByteArray oversized = finding(QStringLiteral("Harbour-oversized.rwe"));
  ASSERT_FALSE(oversized.isEmpty());
  d.openHarbourWithWater(oversized);
  Water& water = d.game->water();
  EXPECT_EQ(d.game->frame.CurrentFrameName, "Harbour");
  EXPECT_TRUE(d.project.log.isEmpty()) << d.project.log.join('\n').toStdString();
  ASSERT_TRUE(water.surfaceShown());
  EXPECT_EQ(water.surfaceRect(), QRect(0, 0, 640, 480));

  // Partly beyond the top left: the mask keeps its place on the picture.
  d.openHarbourWithWater("0,0,0,0,0,0\r\n-100,-50,400,200,3,6\r\n#FALSE#\r\n");
  ASSERT_TRUE(water.surfaceShown());
  EXPECT_EQ(water.surfaceRect(), QRect(0, 0, 300, 150));
  const QImage mask =
      QImage(QStringLiteral(STORYLOOM_DEMO_DIR "/Frames/Harbour.rwm")).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(water.PicMask, mask.copy(100, 50, 300, 150));

  // Wholly outside the picture.
  d.openHarbourWithWater("0,0,0,0,0,0\r\n700,500,100,100,3,6\r\n#FALSE#\r\n");
  EXPECT_FALSE(water.surfaceShown());
  EXPECT_EQ(d.game->frame.CurrentFrameName, "Harbour");
  ASSERT_EQ(d.project.log.size(), 1);
  EXPECT_TRUE(d.project.log[0].contains("Error initializing the Rippling Water effect. Invalid property value"))
      << d.project.log[0].toStdString();
}

}  // namespace
}  // namespace storyloom
