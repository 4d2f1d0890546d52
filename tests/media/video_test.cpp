#include "media/video.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGraphicsVideoItem>
#include <QTimer>
#include <functional>

#include "effects/transitions.h"
#include "game/game.h"
#include "game/game_fixture.h"
#include "game/picture_items.h"
#include "hotspots/frame_areas.h"
#include "media/video_files.h"
#include "platform/media_player.h"
#include "shell/editor_and_game.h"

namespace storyloom {
namespace {

constexpr const char* kPlainFrame = "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n";

// A frame of one colour that plays `video` once it is shown, in its own size at (2, 3).
QString videoFrame(const QString& video) {
  return "0,\"255\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"" + video +
         "\",\"\"\r\n#FALSE#,#FALSE#,\"\"\r\n"
         "\"\",\"\",\"\",#TRUE#,#TRUE#,2,3,0,0\r\n#TRUE#\r\n#FALSE#,0\r\n0\r\n#FALSE#,\"\"\r\n"
         "\"\",\"\",\"\",\"\",\"\",\"\",\"0\",0,5,0\r\n#FALSE#\r\n";
}

struct Videos : ::testing::Test {
  test::GameFixture fx;
  Game* game = nullptr;

  void SetUp() override {
    fx.frame("Start", kPlainFrame);
    fx.project.writeBytes("Frames/long.avi", test::testVideo("long.avi"));
    fx.project.writeBytes("Frames/short.avi", test::testVideo("short.avi"));
    fx.project.writeBytes("Frames/broken.avi", test::testVideo("broken.avi"));
    ASSERT_FALSE(test::testVideo("long.avi").isEmpty());
  }
  Video& video() { return game->video(); }
  void start() { game = &fx.start(); }
  // The one-time video items now on the picture.
  int oneTimeItems() {
    int n = 0;
    for (QGraphicsItem* item : game->scene().items())
      if (auto* v = dynamic_cast<QGraphicsVideoItem*>(item); v && v->objectName() == "OneTimeVideoPlayer1") ++n;
    return n;
  }
};

TEST_F(Videos, OwnSizeOrStretchedAtTheGivenPlaceAboveTheFrameAndBelowTheInventory) {
  start();
  video().PlayMovieWithStop("long.avi", true, 10, 20, 100, 50);
  ASSERT_TRUE(video().IsOneTimeVideoPlaying());
  QGraphicsVideoItem* item = video().OneTimeVideoItem();
  EXPECT_EQ(item->scene(), &game->scene()) << "drawn inside the game picture, so it scales with it";
  EXPECT_EQ(item->pos(), QPointF(10, 20));
  EXPECT_EQ(item->size(), QSizeF(100, 50));
  EXPECT_GT(item->zValue(), layer::AniGifs);
  EXPECT_LT(item->zValue(), layer::Inventory);
  EXPECT_EQ(video().OneTimeVideoPlayer()->volume(), -1200);

  // Not stretched, a width and height given are not used: the video keeps its own size.
  video().PlayMovieWithStop("long.avi", false, 7, 8, 100, 50);
  item = video().OneTimeVideoItem();
  test::runEventsFor(300);
  EXPECT_EQ(item->pos(), QPointF(7, 8));
  EXPECT_EQ(item->size(), QSizeF(32, 24));
  // Its pictures are drawn into the game picture (the test pattern's top left is light grey).
  const QImage shown = fx.render();
  EXPECT_GT(qGray(shown.pixel(9, 10)), 120) << "the video's picture over the black frame";
  EXPECT_EQ(shown.pixel(60, 60), qRgb(0, 0, 0));
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

TEST_F(Videos, StartingAnotherReplacesTheRunningOneWithoutAMessage) {
  start();
  QStringList started;
  video().started = [&](const QString& f) { started << f; };
  video().PlayMovieWithStop("long.avi", false, 0, 0, 0, 0);
  MediaPlayer* first = video().OneTimeVideoPlayer();
  video().PlayMovieWithStop("long.avi", true, 5, 5, 20, 20);
  EXPECT_NE(video().OneTimeVideoPlayer(), first);
  EXPECT_EQ(oneTimeItems(), 1);
  EXPECT_TRUE(video().IsOneTimeVideoPlaying());
  EXPECT_EQ(started, (QStringList{"long.avi", "long.avi"}));
  EXPECT_TRUE(fx.project.log.isEmpty());

  video().StopOneTimeVideoPlayer();
  EXPECT_FALSE(video().IsOneTimeVideoPlaying());
  EXPECT_EQ(oneTimeItems(), 0);
  EXPECT_EQ(video().OneTimeVideoPlayer(), nullptr);
}

TEST_F(Videos, AShortVideoEndsByItselfAndStaysUntilStopped) {
  start();
  video().PlayMovieWithStop("short.avi", false, 0, 0, 0, 0);
  QElapsedTimer clock;
  clock.start();
  while (video().IsOneTimeVideoPlaying() && clock.elapsed() < 5000) test::runEventsFor(20);
  EXPECT_FALSE(video().IsOneTimeVideoPlaying());
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(oneTimeItems(), 1) << "an ended video stays until the next start or stop";
  EXPECT_TRUE(fx.project.log.isEmpty());
}

TEST_F(Videos, UncompressedAviAndWindowsMediaVideosPlayToTheirEnd) {
  start();
  for (const char* name : {"uncompressed.avi", "wmv8.wmv"}) {
    SCOPED_TRACE(name);
    fx.project.writeBytes(QStringLiteral("Frames/") + name, test::testVideo(name));
    video().PlayMovieWithStop(name, false, 0, 0, 0, 0);
    EXPECT_TRUE(video().IsOneTimeVideoPlaying());
    QElapsedTimer clock;
    clock.start();
    while (video().IsOneTimeVideoPlaying() && clock.elapsed() < 5000) test::runEventsFor(20);
    EXPECT_FALSE(video().IsOneTimeVideoPlaying());
    EXPECT_EQ(video().OneTimeVideoItem()->size(), QSizeF(32, 24)) << "its pictures arrived";
  }
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

TEST_F(Videos, AVideoThatFailsGivesOneMessageAndHotspotClicksWorkAgain) {
  start();
  video().PlayMovieWithStop("broken.avi", false, 0, 0, 0, 0);
  // The backend takes its time to refuse the file when the machine is busy.
  QElapsedTimer waited;
  waited.start();
  while (fx.project.log.isEmpty() && waited.elapsed() < 10000) test::runEventsFor(20);
  test::runEventsFor(100);
  ASSERT_EQ(fx.project.log.size(), 1) << fx.project.log.join('\n').toStdString();
  EXPECT_TRUE(fx.project.log[0].contains(R"(Error while attempting to play the following video file: \"broken.avi\".)"))
      << fx.project.log[0].toStdString();
  EXPECT_FALSE(video().IsOneTimeVideoPlaying());
  EXPECT_FALSE(video().VideoStarting);
  // Clicks work again at once: a right click on a hotspot shows the menus.
  game->areas().actions().AreaClick(1, 2);
  EXPECT_TRUE(game->mnuExit->isVisible());

  // A missing file gives only the lookup's warning.
  fx.project.log.clear();
  video().PlayMovieWithStop("nothere.avi", false, 0, 0, 0, 0);
  test::runEventsFor(100);
  ASSERT_EQ(fx.project.log.size(), 1) << fx.project.log.join('\n').toStdString();
  EXPECT_TRUE(fx.project.log[0].contains("nothere.avi"));
  EXPECT_FALSE(fx.project.log[0].contains("Error while attempting"));
  EXPECT_FALSE(video().IsOneTimeVideoPlaying());
}

TEST_F(Videos, ClicksDuringTheSettlingPauseAreIgnoredAndAClickOrEscEndsTheWait) {
  fx.frame("Film", videoFrame("long.avi"));
  start();
  // Watches the game: a right click on a hotspot during the 0.3 s before the video plays
  // is not taken (no menu); once the video plays, `skip` ends it.
  bool clickedWhileStarting = false, menuWhileStarting = false, skipped = false;
  int playingTicks = 0;
  std::function<void()> skip;
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (video().VideoStarting && !clickedWhileStarting) {
      clickedWhileStarting = true;
      game->areas().actions().AreaClick(1, 2);
      menuWhileStarting = game->mnuExit->isVisible();
    } else if (video().IsOneTimeVideoPlaying() && !skipped && ++playingTicks > 3) {
      // Not at once: the events handled right after the start belong to the start.
      skipped = true;
      skip();
    }
  });
  QStringList played;
  video().started = [&](const QString& f) { played << f; };
  // A click ends the wait of the frame; the video is removed and the frame goes on.
  skip = [&] { game->PictureMouseDown(Qt::LeftButton); };
  watch.start();
  QElapsedTimer clock;
  clock.start();
  game->OpenFrame("Film", false, 0, 0);
  EXPECT_TRUE(clickedWhileStarting);
  EXPECT_FALSE(menuWhileStarting);
  EXPECT_TRUE(skipped);
  EXPECT_EQ(played, QStringList{"long.avi"});
  EXPECT_LT(clock.elapsed(), 5000) << "the 10 s video was cut short";
  EXPECT_FALSE(video().IsOneTimeVideoPlaying());
  EXPECT_EQ(oneTimeItems(), 0);
  EXPECT_FALSE(game->StopMovie);

  // Esc does the same.
  skipped = false;
  playingTicks = 0;
  skip = [&] { game->Form_KeyDown(27, 0); };
  clock.restart();
  game->OpenFrame("Film", false, 0, 0);
  EXPECT_TRUE(skipped);
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_FALSE(video().IsOneTimeVideoPlaying());
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

TEST_F(Videos, LoopingVideosWaitWhileATransitionCoversTheFrameAndRestartAfter) {
  start();
  MediaPlayer& player = video().LoadVideoPlayer(2, QPointF(30, 40));
  player.setFileName("long.avi", fx.module().hostPathOf(fx.module().paths.FramesPath + "long.avi"));
  player.setPlayCount(0);
  video().SetVideoPlayerSize(2, false, QSizeF(20, 10));
  QGraphicsVideoItem* item = video().VideoPlayerItem(2);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->pos(), QPointF(30, 40));
  EXPECT_EQ(item->size(), QSizeF(20, 10));
  EXPECT_LT(item->zValue(), layer::Hotspots) << "the hotspot over its video takes the clicks";
  EXPECT_EQ(video().VideoPlayer(1), nullptr);

  game->transitions().TransitionStep1(1);
  ASSERT_TRUE(game->transitions().pictureShown());
  video().StartVideoPlayer(2);
  video().ShowVideoPlayer(2, true);
  EXPECT_TRUE(item->isVisible());
  EXPECT_FALSE(player.isPlaying()) << "nothing plays under the old frame's picture";
  game->transitions().TransitionStep2(1, 0);
  EXPECT_FALSE(game->transitions().pictureShown());
  video().RestartLoopingVideos();
  EXPECT_TRUE(player.isPlaying());

  // Hidden, it stops; shown again, it plays from its beginning.
  video().ShowVideoPlayer(2, false);
  EXPECT_FALSE(item->isVisible());
  EXPECT_FALSE(player.isPlaying());
  video().RestartLoopingVideos();
  EXPECT_FALSE(player.isPlaying()) << "only visible videos are restarted";
  video().ShowVideoPlayer(2, true);
  EXPECT_TRUE(player.isPlaying());

  video().ResetVideoPlayers();
  EXPECT_EQ(video().VideoPlayer(2), nullptr);
  EXPECT_EQ(video().VideoPlayerItem(2), nullptr);
}

TEST_F(Videos, ALoopingVideoPlaysItsCountThenEnds) {
  start();
  MediaPlayer& once = video().LoadVideoPlayer(1, QPointF(0, 0));
  once.setFileName("short.avi", fx.module().hostPathOf(fx.module().paths.FramesPath + "short.avi"));
  once.setPlayCount(1);
  MediaPlayer& endless = video().LoadVideoPlayer(3, QPointF(0, 0));
  endless.setFileName("short.avi", fx.module().hostPathOf(fx.module().paths.FramesPath + "short.avi"));
  endless.setPlayCount(0);
  video().StartVideoPlayer(1);
  video().StartVideoPlayer(3);
  QElapsedTimer clock;
  clock.start();
  while (once.isPlaying() && clock.elapsed() < 5000) test::runEventsFor(20);
  EXPECT_FALSE(once.isPlaying());
  test::runEventsFor(1000);
  EXPECT_TRUE(endless.isPlaying()) << "a play count of 0 repeats until stopped";
}

// Once a game has played a video, starting, stopping and replacing videos, and leaving a
// frame with looping videos, never hold the game up for long.
TEST_F(Videos, StoppingReplacingAndUnloadingPlayingVideosDoNotHoldUpTheGame) {
  start();
  game->show();
  // The first video of a process loads the media framework and opens the sound output.
  video().PlayMovieWithStop("short.avi", false, 0, 0, 0, 0);
  test::runEventsFor(800);
  video().StopOneTimeVideoPlayer();
  test::runEventsFor(100);
  QElapsedTimer clock;
  const auto took = [&](const std::function<void()>& f) {
    clock.restart();
    f();
    return clock.elapsed();
  };
  // What is checked is that nothing waits on a pipeline (0.3 s for each); tearing pipelines
  // down takes far longer in the sanitizer build.
#if defined(__SANITIZE_ADDRESS__)
  constexpr int kMargin = 450;
#else
  constexpr int kMargin = 150;
#endif
  // The settling pause is 0.3 s; what comes on top of it is the time the start takes.
  EXPECT_LT(took([&] { video().PlayMovieWithStop("long.avi", true, 0, 0, 40, 30); }), 300 + kMargin);
  test::runEventsFor(400);
  ASSERT_TRUE(video().IsOneTimeVideoPlaying());
  EXPECT_LT(took([&] { video().PlayMovieWithStop("long.avi", false, 0, 0, 0, 0); }), 300 + kMargin)
      << "replacing a playing video";
  test::runEventsFor(400);
  EXPECT_LT(took([&] { video().StopOneTimeVideoPlayer(); }), kMargin);
  EXPECT_EQ(oneTimeItems(), 0);

  for (int i : {1, 2}) {
    MediaPlayer& p = video().LoadVideoPlayer(i, QPointF(0, 0));
    p.setFileName("long.avi", fx.module().hostPathOf(fx.module().paths.FramesPath + "long.avi"));
    p.setPlayCount(0);
    video().ShowVideoPlayer(i, true);
  }
  test::runEventsFor(400);
  EXPECT_LT(took([&] { video().ResetVideoPlayers(); }), kMargin) << "leaving a frame with looping videos";

  // Leaving the next frame frees the two players once it is shown, one at a time with events
  // in between, as freeing each takes milliseconds.
  QElapsedTimer wait;
  wait.start();
  while (video().ReadyPlayers() < Video::kReady && wait.elapsed() < 5000) test::runEventsFor(50);
  test::runEventsFor(100);
  const auto players = [&] { return video().findChildren<MediaPlayer*>().size(); };
  const auto before = players();
  video().ResetVideoPlayers();
  EXPECT_EQ(players(), before);
  QCoreApplication::processEvents();
  EXPECT_EQ(players(), before - 1);
  test::runEventsFor(50);
  EXPECT_EQ(players(), before - 2);
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

// A game with video files has two players made ahead once its window is shown, so that its
// first videos do not wait while a player is made; a game without videos makes none.
TEST_F(Videos, AGameWithVideoFilesHasPlayersReadyBeforeItsFirstVideo) {
  start();
  ASSERT_TRUE(video().ProjectHasVideos());
  game->show();
  QElapsedTimer clock;
  clock.start();
  while (video().ReadyPlayers() < Video::kReady && clock.elapsed() < 5000) test::runEventsFor(50);
  ASSERT_EQ(video().ReadyPlayers(), Video::kReady);
  EXPECT_EQ(oneTimeItems(), 0) << "players made ahead are off the picture";

  video().PlayMovieWithStop("long.avi", false, 0, 0, 0, 0);
  EXPECT_TRUE(video().IsOneTimeVideoPlaying());
  EXPECT_EQ(oneTimeItems(), 1);
  EXPECT_EQ(video().ReadyPlayers(), Video::kReady - 1);
  MediaPlayer& looping = video().LoadVideoPlayer(1, QPointF(0, 0));
  EXPECT_EQ(video().ReadyPlayers(), 0u);
  ASSERT_NE(video().VideoPlayerItem(1), nullptr);
  EXPECT_EQ(video().VideoPlayerItem(1)->objectName(), "VideoPlayer1");
  EXPECT_EQ(video().VideoPlayerItem(1)->zValue(), layer::Videos);
  looping.setFileName("short.avi", fx.module().hostPathOf(fx.module().paths.FramesPath + "short.avi"));
  video().ShowVideoPlayer(1, true);
  test::runEventsFor(200);
  EXPECT_TRUE(looping.isPlaying());
  // Made again a while later.
  clock.restart();
  while (video().ReadyPlayers() < Video::kReady && clock.elapsed() < 5000) test::runEventsFor(50);
  EXPECT_EQ(video().ReadyPlayers(), Video::kReady);
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();

  test::GameFixture plain;
  plain.frame("Start", kPlainFrame);
  // A long name is stored with a numbered extension made from it.
  const QString stored = EditorAndGame::AlternateFileName("Cut scene.avi");
  ASSERT_NE(stored, "Cut scene.avi");
  plain.project.writeBytes("Frames/" + stored, test::testVideo("short.avi"));
  Game& withStoredName = plain.start();
  EXPECT_TRUE(withStoredName.video().ProjectHasVideos()) << stored.toStdString();

  test::GameFixture none;
  none.frame("Start", kPlainFrame);
  none.project.writeBytes("Frames/music.mid", QByteArray("MThd"));
  Game& noVideos = none.start();
  EXPECT_FALSE(noVideos.video().ProjectHasVideos());
  noVideos.show();
  test::runEventsFor(1500);
  EXPECT_EQ(noVideos.video().ReadyPlayers(), 0u);
}

}  // namespace
}  // namespace storyloom
