#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include "support/wave_file.h"
#include "effects/transitions.h"
#include "game/frame_texts.h"
#include "game/game.h"
#include "game/message_bar.h"
#include <QGraphicsVideoItem>

#include "media/audio_channels.h"
#include "media/video.h"
#include "media/video_files.h"
#include "shell/field_reader.h"
#include "game/game_fixture.h"
#include "state/inventory.h"

namespace storyloom {
namespace {

using test::GameFixture;

TEST(OpenFrame, MissingOrEmptyNameReportsTheBrokenLinkAndChangesNothing) {
  GameFixture fx;
  fx.frame("Start", "0,\"255\",#FALSE#,#FALSE#,\"\",#TRUE#,\"3\",\"Start\",\"\",\"\"\r\n");
  fx.project.write("FramesData/Start.fm1",
                   "\"T\",1,,,,,,,,,\"Hello\",150,150,#FALSE#,#FALSE#,\"\",10,#FALSE#,#FALSE#,0,\"\"\r\n");
  Game& g = fx.start();
  g.StartNewGame();
  ASSERT_EQ(g.frame.CurrentFrameName, "Start");
  ASSERT_TRUE(g.Timer1.isActive());
  fx.project.log.clear();

  g.OpenFrame("Nowhere", false, 0, 0);
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].contains(
      R"(A program link is broken. The frame named \"Nowhere\" was not found. Verify that the 'Initial Frame' exists)"));
  EXPECT_TRUE(fx.project.log[0].startsWith("msgbox critical \"Error\""));
  g.OpenFrame("", false, 0, 0);
  ASSERT_EQ(fx.project.log.size(), 2);
  EXPECT_TRUE(fx.project.log[1].endsWith("A program link is broken.\" -> OK"));

  EXPECT_EQ(g.frame.CurrentFrameName, "Start");
  EXPECT_EQ(g.FramesHistory.entries(), QStringList{"Start"});
  EXPECT_TRUE(g.Timer1.isActive());
  EXPECT_EQ(g.Timer1.interval(), 3000);
  EXPECT_EQ(g.texts().highestIndex(), 1);
  EXPECT_EQ(g.BackImage->colour(), QColor(255, 0, 0));
}

TEST(OpenFrame, AFileCutInsideAGroupLeavesAHalfBuiltFrameAndNoTimer) {
  GameFixture fx;
  fx.frame("Start", "0,\"65280\",#FALSE#,#FALSE#,\"\",#TRUE#,\"3\",\"Start\",\"\",\"\"\r\n");
  fx.frame("Broken", "0,\"255\",#FALSE#,#FALSE#,\"\",#TRUE#,\"1\",\"Start\",\"\",\"\"\r\n#TRUE#\r\n");
  Game& g = fx.start();
  g.StartNewGame();
  fx.project.log.clear();
  g.OpenFrame("Broken", false, 0, 0);
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].contains(
      "Unable to load the frame called 'Broken'. Verify that the 'Initial Frame' exists and that the 'Go to "
      "another frame' option in the Hotspot Properties is linked to an existing frame. Input past end of file"));
  EXPECT_EQ(g.frame.CurrentFrameName, "Broken");
  EXPECT_EQ(g.FramesHistory.last(), "Broken");
  EXPECT_FALSE(g.Timer1.isActive());
  EXPECT_EQ(g.BackImage->colour(), QColor(0, 255, 0));  // the background step never ran
}

TEST(OpenFrame, BackgroundsColourPictureAndTiles) {
  GameFixture fx;
  QDir().mkpath(fx.project.root() + "/Frames");
  QImage tile(100, 50, QImage::Format_RGB32);
  tile.fill(Qt::blue);
  QPainter(&tile).fillRect(0, 0, 10, 10, Qt::yellow);
  tile.save(fx.project.root() + "/Frames/tile.bmp", "BMP");
  QImage picture(320, 200, QImage::Format_RGB32);
  picture.fill(QColor(10, 200, 30));
  picture.save(fx.project.root() + "/Frames/pic.jpg", "JPEG", 95);
  fx.project.writeBytes("Frames/broken.gif", "GIF89a not really");
  fx.frame("Colour", "0,\"255\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  fx.frame("Tiled", "1,\"TILE.BMP\",#TRUE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  fx.frame("Picture", "1,\"pic.jpg\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  fx.frame("Bad", "1,\"broken.gif\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  fx.frame("Odd", "7,\"\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  Game& g = fx.start();

  g.OpenFrame("Colour", false, 0, 0);
  QImage shot = fx.render();
  EXPECT_EQ(shot.pixelColor(320, 240), QColor(255, 0, 0));

  // A tile 100 wide on 640: painted at 0, 100, ..., 600 with the last one cut.
  g.OpenFrame("Tiled", false, 0, 0);
  shot = fx.render();
  for (int x : {0, 100, 200, 600}) EXPECT_EQ(shot.pixelColor(x + 2, 452), QColor(Qt::yellow)) << x;
  EXPECT_EQ(shot.pixelColor(639, 479), QColor(Qt::blue));

  g.OpenFrame("Picture", false, 0, 0);
  shot = fx.render();
  EXPECT_NEAR(shot.pixelColor(100, 100).green(), 200, 6);
  EXPECT_EQ(shot.pixelColor(400, 300), QColor(Qt::black));  // outside the picture

  // The kind the picture reader cannot decode: the frame report, no crash.
  fx.project.log.clear();
  g.OpenFrame("Bad", false, 0, 0);
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].contains("Unable to load the frame called 'Bad'")) << fx.project.log[0].toStdString();
  EXPECT_TRUE(fx.project.log[0].contains("Invalid picture"));

  // Another frame type leaves the background as it was.
  g.OpenFrame("Colour", false, 0, 0);
  g.OpenFrame("Odd", false, 0, 0);
  EXPECT_EQ(fx.render().pixelColor(5, 5), QColor(255, 0, 0));
}

TEST(OpenFrame, MusicAndFrameSoundUseTheirChannelsPlayers) {
  GameFixture fx;
  const QByteArray wav = test::silentWave(100);
  fx.project.writeBytes("Areas/Sea.wav", wav);
  fx.project.writeBytes("Frames/Ding.wav", wav);
  fx.frame("A", "0,\"\",#FALSE#,#FALSE#,\"Sea.wav\",#FALSE#,\"\",\"\",\"\",\"\"\r\n#FALSE#,#FALSE#,\"Ding.wav\"\r\n");
  fx.frame("B",
           "0,\"\",#FALSE#,#FALSE#,\"Sea.wav\",#FALSE#,\"\",\"\",\"\",\"\"\r\n#FALSE#,#FALSE#,\"\"\r\n"
           "\"\",\"\",\"\",#FALSE#,#FALSE#,0,0,0,0\r\n#FALSE#\r\n");
  Game& g = fx.start();
  g.OpenFrame("A", false, 0, 0);
  MediaPlayer& music = g.audio().playerOfChannel(6);
  MediaPlayer& sound = g.audio().playerOfChannel(7);
  EXPECT_EQ(music.fileName(), fx.module().paths.AreasPath + "Sea.wav");
  EXPECT_EQ(music.playState(), 2);
  EXPECT_EQ(music.playCount(), 0);  // LoopMusic defaults to true
  EXPECT_EQ(music.volume(), -1200);
  EXPECT_EQ(sound.fileName(), fx.module().paths.FramesPath + "Ding.wav");
  EXPECT_EQ(sound.playCount(), 1);
  EXPECT_EQ(sound.volume(), -800);
  EXPECT_EQ(sound.playState(), 2);

  // Already playing: not restarted, so its play count stays.
  g.OpenFrame("B", false, 0, 0);
  EXPECT_EQ(music.playCount(), 0);
  EXPECT_EQ(music.playState(), 2);
}

TEST(OpenFrame, FrameTimerOpensItsTargetAndWalksBackThroughTheHistory) {
  GameFixture fx;
  for (const char* name : {"A", "B", "C"})
    fx.frame(name, QString("0,\"0\",#FALSE#,#FALSE#,\"\",#TRUE#,\"0.5\",\"[Last Visited Frame]\",\"\",\"\"\r\n"));
  fx.frame("Bad", "0,\"0\",#FALSE#,#FALSE#,\"\",#TRUE#,\"later\",\"A\",\"\",\"\"\r\n");
  fx.frame("Slow", "0,\"0\",#FALSE#,#FALSE#,\"\",#TRUE#,\"90.5\",\"A\",\"\",\"\"\r\n");
  Game& g = fx.start();
  g.OpenFrame("A", false, 0, 0);
  g.OpenFrame("B", false, 0, 0);
  g.OpenFrame("C", false, 0, 0);
  EXPECT_EQ(g.Timer1.interval(), 500);
  EXPECT_EQ(g.Timer1Tag, "[Last Visited Frame]");
  g.Timer1_Timer();
  EXPECT_EQ(g.frame.CurrentFrameName, "B");
  EXPECT_EQ(g.FramesHistory.entries(), (QStringList{"A", "B"}));
  g.Timer1_Timer();
  EXPECT_EQ(g.frame.CurrentFrameName, "A");
  // One entry left: the timer does nothing and stays enabled.
  g.Timer1_Timer();
  EXPECT_EQ(g.frame.CurrentFrameName, "A");
  EXPECT_TRUE(g.Timer1.isActive());

  // While the inventory slides the timer tries again a second later.
  g.inventory().InventoryMoving = true;
  g.Timer1_Timer();
  EXPECT_EQ(g.Timer1.interval(), 1000);
  g.inventory().InventoryMoving = false;

  // A duration that is no number: its own report, and the frame is shown.
  fx.project.log.clear();
  g.OpenFrame("Bad", false, 0, 0);
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].contains("Unable to load timer duration."));
  EXPECT_FALSE(g.Timer1.isActive());
  EXPECT_EQ(g.frame.CurrentFrameName, "Bad");

  // A delay longer than 65,535 ms runs in full.
  g.OpenFrame("Slow", false, 0, 0);
  EXPECT_TRUE(g.Timer1.isActive());
  EXPECT_EQ(g.Timer1.interval(), 90500);
}

TEST(OpenFrame, AFrameTimerToAMissingFrameReportsItOnceAndTheFrameStays) {
  GameFixture fx;
  fx.frame("Lost", "0,\"255\",#FALSE#,#FALSE#,\"\",#TRUE#,\"0.1\",\"Nowhere\",\"\",\"\"\r\n");
  fx.frame("Next", "0,\"0\",#FALSE#,#FALSE#,\"\",#TRUE#,\"0.1\",\"Lost\",\"\",\"\"\r\n");
  Game& g = fx.start();
  g.OpenFrame("Lost", false, 0, 0);
  fx.project.log.clear();
  test::runEventsFor(700);
  ASSERT_EQ(fx.project.log.size(), 1) << fx.project.log.join('\n').toStdString();
  EXPECT_TRUE(fx.project.log[0].contains(R"(The frame named \"Nowhere\" was not found.)"));
  EXPECT_EQ(g.frame.CurrentFrameName, "Lost");
  EXPECT_FALSE(g.Timer1.isActive());
  // A visit to a frame whose timer works, and back: the timer runs again as the frame says.
  g.OpenFrame("Next", false, 0, 0);
  test::runEventsFor(400);
  EXPECT_EQ(g.frame.CurrentFrameName, "Lost");
  EXPECT_EQ(fx.project.log.size(), 2);
}

TEST(OpenFrame, AFrameTimerWithATransitionCapturesTheOldFrameAndFinishesOnTheNew) {
  GameFixture fx;
  fx.frame("A",
           "0,\"0\",#FALSE#,#FALSE#,\"\",#TRUE#,\"0.2\",\"B\",\"\",\"\"\r\n#FALSE#,#FALSE#,\"\"\r\n"
           "\"\",\"\",\"\",#FALSE#,#FALSE#,0,0,0,0\r\n#TRUE#\r\n#TRUE#,150\r\n3\r\n");
  fx.frame("B", "0,\"255\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  Game& g = fx.start();
  QStringList calls;
  Transitions& t = g.transitions();
  t.finished = [&](const Transitions::Run& run) {
    calls << QString("%1, %2 s from %3 to %4 on %5")
                 .arg(run.number)
                 .arg(run.seconds)
                 .arg(t.picStart.pixelColor(5, 5).name(), t.picEnd.pixelColor(5, 5).name(), g.frame.CurrentFrameName);
  };
  g.OpenFrame("A", false, 0, 0);
  EXPECT_TRUE(calls.isEmpty());
  test::runEventsFor(500);
  EXPECT_EQ(g.frame.CurrentFrameName, "B");
  EXPECT_EQ(calls, (QStringList{"3, 0.15 s from #000000 to #ff0000 on B"}));
  ASSERT_TRUE(t.lastRun().has_value());
  EXPECT_GT(t.lastRun()->steps, 1);
  EXPECT_FALSE(t.pictureShown());
  EXPECT_EQ(g.BackImage->colour(), QColor(255, 0, 0));
  EXPECT_FALSE(g.Timer1.isActive());
  EXPECT_TRUE(fx.project.log.isEmpty());
}

TEST(OpenFrame, VideoBeforeTheTransitionStartsAgainAfterIt) {
  GameFixture fx;
  auto videoFrame = [&](const QString& name, const QString& modes, const QString& before) {
    fx.frame(name,
             "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"Film.avi\",\"\"\r\n#FALSE#,#FALSE#,\"\"\r\n"
             "\"\",\"\",\"\"," +
                 modes +
                 ",5,6,7,8\r\n#TRUE#\r\n#FALSE#,0\r\n0\r\n#FALSE#,\"\"\r\n"
                 "\"\",\"\",\"\",\"\",\"\",\"\",\"0\",0,5,0\r\n" +
                 before + "\r\n");
  };
  videoFrame("Early", "#FALSE#,#FALSE#", "#TRUE#");
  videoFrame("Origin", "#TRUE#,#FALSE#", "#FALSE#");
  videoFrame("Own", "#TRUE#,#TRUE#", "#FALSE#");
  fx.project.writeBytes("Frames/Film.avi", test::testVideo("short.avi"));
  Game& g = fx.start();
  // Where each video started: its file, place and size in pixels of the picture.
  QStringList calls;
  g.video().started = [&](const QString& f) {
    const QGraphicsVideoItem* item = g.video().OneTimeVideoItem();
    test::runEventsFor(100);  // a video in its own size takes it once the first picture came
    calls << QString("%1 %2 %3 %4 %5")
                 .arg(f)
                 .arg(item->pos().x())
                 .arg(item->pos().y())
                 .arg(item->size().width())
                 .arg(item->size().height());
  };
  int transitions = 0;
  g.transitions().finished = [&](const Transitions::Run& run) {
    EXPECT_EQ(run.number, 2);
    EXPECT_DOUBLE_EQ(run.seconds, 0.05);
    ++transitions;
  };
  g.OpenFrame("Early", false, 0, 0);
  EXPECT_EQ(calls, QStringList{"Film.avi 5 6 7 8"});
  calls.clear();
  g.transitions().TransitionStep1(2);
  g.OpenFrame("Early", true, 2, 0.05);
  EXPECT_EQ(calls, (QStringList{"Film.avi 5 6 7 8", "Film.avi 5 6 7 8"}));
  EXPECT_EQ(transitions, 1);
  calls.clear();
  g.OpenFrame("Origin", false, 0, 0);
  g.OpenFrame("Own", false, 0, 0);
  EXPECT_EQ(calls, (QStringList{"Film.avi 0 0 48 32", "Film.avi 5 6 48 32"}));
  EXPECT_FALSE(g.StopMovie);
}

TEST(OpenFrame, TextsComeFromTheMergedFileFirst) {
  GameFixture fx;
  fx.frame("M", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  auto rec = [](int own, const QString& caption, const QString& font = "") {
    return QString("\"x\",%1,,,,,,,,,\"%2\",300,450,#TRUE#,#FALSE#,\"%3\",12,#FALSE#,#TRUE#,255,\"\"\r\n")
        .arg(own)
        .arg(caption, font);
  };
  fx.project.write("FramesData/M.fm1", rec(1, "plain"));
  fx.project.write("FramesData/M.mr1", rec(1, "a") + rec(2, "[EMPTY]") + rec(3, "[empty] x", "Times New Roman") +
                                           rec(1, "d") + rec(2, "e"));
  Game& g = fx.start();
  g.OpenFrame("M", false, 0, 0);
  FrameTexts& t = g.texts();
  ASSERT_EQ(t.highestIndex(), 5);
  EXPECT_EQ(t.MergedTextIndex, 4);
  EXPECT_EQ(t.Text(1)->caption(), "a");
  EXPECT_EQ(t.Text(2)->caption(), "");
  EXPECT_EQ(t.Text(3)->caption(), "[empty] x");
  EXPECT_EQ(t.Text(1)->font().family(), "Liberation Sans");
  EXPECT_EQ(t.Text(3)->font().family(), "Liberation Serif");
  EXPECT_TRUE(t.Text(1)->font().bold() && t.Text(1)->font().underline());
  EXPECT_EQ(t.Text(1)->font().pixelSize(), 16);
  EXPECT_EQ(t.Text(1)->pos(), QPointF(20, 30));
  EXPECT_EQ(t.Text(1)->brush().color(), QColor(255, 0, 0));
  EXPECT_TRUE(t.Text(1)->isVisible());
  t.ResetFrameTexts();
  t.ResetFrameTexts();
  EXPECT_EQ(t.highestIndex(), 0);
}

TEST(FrameTexts, TheReaderGivesEachRecordWithTheValuesThatRead) {
  // Record 2 has a number and a colour that are text, record 3 ends after its caption.
  FieldReader file(QByteArray(
      "\"x\",1,,,,,,,,,\"[Empty]\",30,45,#TRUE#,#FALSE#,\"\",12,#FALSE#,#TRUE#,65280,\"\"\r\n"
      "\"x\",\"two\",,,,,,,,,\"Hello\",\"far\",60.5,#FALSE#,#TRUE#,\"Courier New\",9,#TRUE#,#FALSE#,\"red\",\"\"\r\n"
      "\"x\",3,,,,,,,,,\"cut\"\r\n"));
  const std::vector<TextRecord> records = ReadTextRecords(file);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].ownNumber, 1);
  EXPECT_EQ(records[0].caption, "");
  EXPECT_FLOAT_EQ(records[0].top, 45);
  EXPECT_TRUE(records[0].bold && records[0].underline && !records[0].italic);
  EXPECT_FLOAT_EQ(records[0].fontSize, 12);
  EXPECT_EQ(records[0].colour, 65280);
  // A number that fails keeps the previous record's; the other values go on.
  EXPECT_EQ(records[1].ownNumber, 1);
  EXPECT_EQ(records[1].caption, "Hello");
  EXPECT_FLOAT_EQ(records[1].left, 0);
  EXPECT_FLOAT_EQ(records[1].top, 60.5);
  EXPECT_EQ(records[1].fontName, "Courier New");
  EXPECT_TRUE(records[1].italic && records[1].strikeOut);
  EXPECT_FALSE(records[1].colour.has_value());
  EXPECT_EQ(records[2].caption, "cut");
  EXPECT_FLOAT_EQ(records[2].fontSize, 8.25f);
  EXPECT_FALSE(records[2].colour.has_value());
}

TEST(OpenFrame, AFailingTextValueIsSkippedAndTheRecordGoesOn) {
  GameFixture fx;
  fx.frame("M", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  // A left position that is text, then a file that ends in the middle of the second record.
  fx.project.write("FramesData/M.fm1",
                   "\"x\",1,,,,,,,,,\"one\",\"left\",150,#FALSE#,#TRUE#,\"Courier New\",9,#TRUE#,#FALSE#,0,\"\"\r\n"
                   "\"x\",2,,,,,,,,,\"two\",600\r\n");
  fx.project.write("FramesData/Empty.fm1", "");
  fx.frame("Empty", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  Game& g = fx.start();
  g.OpenFrame("M", false, 0, 0);
  ASSERT_EQ(g.texts().highestIndex(), 2);
  EXPECT_EQ(g.texts().Text(1)->pos(), QPointF(0, 10));
  EXPECT_TRUE(g.texts().Text(1)->font().italic() && g.texts().Text(1)->font().strikeOut());
  EXPECT_EQ(g.texts().Text(1)->font().family(), "Liberation Mono");
  EXPECT_EQ(g.texts().Text(2)->caption(), "two");
  EXPECT_EQ(g.texts().Text(2)->pos(), QPointF(40, 0));
  EXPECT_TRUE(fx.project.log.isEmpty());

  g.OpenFrame("Empty", false, 0, 0);
  EXPECT_EQ(g.texts().highestIndex(), 0);
  EXPECT_EQ(g.texts().MergedTextIndex, 1);
}

}  // namespace
}  // namespace storyloom
