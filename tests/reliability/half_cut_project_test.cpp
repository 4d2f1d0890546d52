// The demo with one of its files cut in half is started and each of its frames opened: the
// game goes on with the program's own messages, whatever file was cut.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTimer>

#include "game/game.h"
#include "media/video.h"
#include "reliability/damaged_project.h"

namespace storyloom {
namespace {

bool isFieldStreamFile(const QString& relative) {
  const QString folder = relative.section('/', 0, 0);
  const QString ext = QFileInfo(relative).suffix().toLower();
  if (folder == QLatin1String("Config") || folder == QLatin1String("FramesData")) return true;
  return ext == QLatin1String("fme") || ext == QLatin1String("lks") || ext == QLatin1String("obj") ||
         ext == QLatin1String("drg") || relative.endsWith(QLatin1String("Scheme.txt"));
}

QStringList demoFrames() {
  QStringList frames;
  for (const QString& f : test::demoFiles())
    if (f.startsWith(QLatin1String("Frames/")) && f.endsWith(QLatin1String(".fme")))
      frames.append(QFileInfo(f).completeBaseName());
  return frames;
}

TEST(HalfCutProject, TheDemoStartsAndEveryFrameOpensWhicheverFileIsCutInHalf) {
  test::TempProject project;
  test::copyDemo(project);
  const QStringList frames = demoFrames();
  ASSERT_GE(frames.size(), 5);
  int files = 0;
  int noticed = 0;
  for (const QString& file : test::demoFiles()) {
    if (!isFieldStreamFile(file)) continue;
    ++files;
    const QByteArray whole = test::demoBytes(file);
    project.writeBytes(file, whole.left(whole.size() / 2));
    project.log.clear();
    try {
      project.init();
      Game game(*project.module);
      game.Form_Load();
      game.ResetAll();
      // A frame's video is skipped as soon as it plays, as a player's click would: the
      // frames, not the videos, are what is walked here.
      QTimer skipVideo;
      QObject::connect(&skipVideo, &QTimer::timeout, [&game] {
        if (game.video().IsOneTimeVideoPlaying()) game.StopMovie = true;
      });
      skipVideo.start(20);
      game.StartNewGame();
      // A frame's own files touch only that frame; the others may touch every frame.
      const QString owner = QFileInfo(file).completeBaseName();
      const QStringList walked = frames.contains(owner) ? QStringList{frames.first(), owner} : frames;
      for (const QString& frame : walked) {
        game.OpenFrame(frame, false, 0, 0);
        EXPECT_EQ(game.frame.CurrentFrameName, frame) << file.toStdString();
      }
      game.StopAllActivity();
    } catch (const std::exception& e) {
      ADD_FAILURE() << file.toStdString() << " cut in half: " << e.what();
    }
    for (const QString& line : project.log)
      EXPECT_TRUE(line.startsWith(QLatin1String("msgbox critical")) ||
                  line.startsWith(QLatin1String("msgbox exclamation")) ||
                  line.startsWith(QLatin1String("msgbox information")))
          << file.toStdString() << ": " << line.toStdString();
    if (!project.log.isEmpty()) ++noticed;
    project.writeBytes(file, whole);
  }
  EXPECT_GT(files, 30);
  // Many cuts are told to the player; others fall where a file may end, or in a record of
  // a frame or item the walk does not use.
  EXPECT_GT(noticed, files / 3);
}

}  // namespace
}  // namespace storyloom
