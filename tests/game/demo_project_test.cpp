#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "game/frame_file.h"
#include "game/placement.h"
#include "hotspots/hotspot_file.h"
#include "shell/field_reader.h"
#include "shell/project_settings.h"

// The demo game as a player meets it: drawn scenes at the game's size, objects on clear
// backgrounds, a pointer over every hotspot, and frame timers that lead somewhere.
namespace storyloom {
namespace {

const QDir kDemo(QStringLiteral(STORYLOOM_DEMO_DIR));

QString demoFile(const QString& folder, const QString& name) { return kDemo.filePath(folder + '/' + name); }

ProjectSettings demoSettings() {
  ProjectSettings settings;
  FieldReader file = FieldReader::fromFile(demoFile("Config", "General"));
  settings.LoadGeneralSettings(file);
  return settings;
}

double opaqueShare(const QImage& image) {
  int opaque = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) > 0;
  return double(opaque) / (image.width() * image.height());
}

TEST(DemoProject, EveryHotspotShowsAnObjectOnAClearBackgroundWithItsOwnPointer) {
  int hotspots = 0;
  const QStringList files = QDir(kDemo.filePath("FramesData")).entryList({"*.fm2", "*.mr2"}, QDir::Files);
  ASSERT_FALSE(files.isEmpty());
  for (const QString& name : files) {
    // The cinema's hotspots are its videos and animated picture, shown as they are.
    if (name.startsWith(QLatin1String("Cinema."))) continue;
    HotspotFileReader reader(FieldReader::fromFile(demoFile("FramesData", name)));
    for (int i = 1; !reader.atEnd(); ++i) {
      const HotspotRecord r = reader.next();
      SCOPED_TRACE(QStringLiteral("%1 hotspot %2").arg(name).arg(i).toStdString());
      EXPECT_TRUE(r.readErrors.empty());
      const QString picture = r.PictureFile.toString();
      ASSERT_TRUE(picture.endsWith(".gif")) << picture.toStdString();
      const QImage image(demoFile("Areas", picture));
      ASSERT_FALSE(image.isNull());
      EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
      EXPECT_GT(opaqueShare(image), 0.1);
      const PointerFile pointer = LoadPointerFile(demoFile("Icons", r.CursorFile.toString()));
      EXPECT_FALSE(pointer.isNull()) << r.CursorFile.toString().toStdString();
      ++hotspots;
    }
  }
  EXPECT_GT(hotspots, 30);
}

TEST(DemoProject, PointersClickWhereTheyPoint) {
  const PointerFile hand = LoadPointerFile(demoFile("Icons", "Hand.cur"));
  const PointerFile eye = LoadPointerFile(demoFile("Icons", "Eye.cur"));
  ASSERT_FALSE(hand.isNull());
  ASSERT_FALSE(eye.isNull());
  // The finger tip of the hand, the middle of the eye.
  EXPECT_LT(hand.frames[0].hotSpot().y(), 4);
  EXPECT_GT(qAlpha(hand.frames[0].pixmap().toImage().pixel(hand.frames[0].hotSpot() + QPoint(0, 2))), 0);
  EXPECT_EQ(eye.frames[0].hotSpot(), QPoint(15, 15));

  // The project's own arrow is the pointer everywhere else.
  const ProjectSettings settings = demoSettings();
  EXPECT_FALSE(IsSystemPointerName(settings.DefaultPointer));
  DefaultPointer arrow;
  EXPECT_TRUE(arrow.load(settings.DefaultPointer, demoFile("Icons", settings.DefaultPointer)));
  EXPECT_TRUE(arrow.isCustom());
  EXPECT_EQ(arrow.cursor().hotSpot(), QPoint(1, 1));
}

TEST(DemoProject, ScenesAreDrawnAtTheGamesSizeAndTimersLeadToFramesThatExist) {
  const ProjectSettings settings = demoSettings();
  const QStringList frames = QDir(kDemo.filePath("Frames")).entryList({"*.fme"}, QDir::Files);
  int scenes = 0;
  for (const QString& name : frames) {
    SCOPED_TRACE(name.toStdString());
    FrameFile frame;
    FieldReader file = FieldReader::fromFile(demoFile("Frames", name));
    frame.read(file);
    if (frame.FrameTimerEnabled) {
      EXPECT_TRUE(QFileInfo::exists(demoFile("Frames", frame.FrameTimerTarget + ".fme")))
          << "the timer leads to " << frame.FrameTimerTarget.toStdString();
    }
    if (frame.FrameType != 1 || frame.FrameTiled) continue;
    const QImage scene(demoFile("Frames", frame.FramePicture));
    EXPECT_EQ(scene.size(), QSize(settings.ScreenWidth, settings.ScreenHeight));
    ++scenes;
  }
  EXPECT_GE(scenes, 12);
}

}  // namespace
}  // namespace storyloom
