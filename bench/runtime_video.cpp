// Videos and animated pictures: how long starting a one-time video keeps the user-interface
// thread from handling events (target: at most 5 ms), and the processor time an idle game
// spends on an animated picture and a looping video (target: below 10 % of one core).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsVideoItem>
#include <QVideoSink>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>

#include "bench_project.h"
#include "game/game.h"
#include "media/animated_pictures.h"
#include "media/video.h"
#include "platform/media_player.h"

namespace {

using namespace storyloom;

QByteArray demoFile(const QString& relative) {
  QFile f(QStringLiteral(STORYLOOM_DEMO_DIR "/") + relative);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct VideoProject : bench::BenchProject {
  VideoProject() {
    write("Config/General", "\"Bench\",\"\",\"Bench\",0,\"A\",\"1\",640,480,\"a\",\"b\",\"c\"\r\n");
    write("Config/Variables", "\"v\"\r\n\"***\"\r\n");
    write("Frames/A.fme", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    // A looping video (fitted to its hotspot) and an animated picture.
    const QString sep = "\"----- SEPARATOR -----\"\r\n";
    write("FramesData/A.fm2",
          "\"a\",1,0,0,0,0,0,0,0,0\r\n900,900,2400,1800,0,#FALSE#,\"\",1,\"default\",0\r\n0\r\n0\r\n0\r\n"
          "#TRUE#,\"Fountain.avi\",1,5,0,0,0,0,0,0\r\n" +
              sep +
              "\"a\",2,0,0,0,0,0,0,0,0\r\n6000,4500,360,480,1,#TRUE#,\"Lantern.gif\",1,\"default\",0\r\n0\r\n0\r\n"
              "50\r\n#FALSE#,\"\",1,5,0,0,0,0,0,0\r\n" +
              sep);
    for (const char* f : {"Frames/Fountain.avi", "Frames/Intro.avi", "Areas/Lantern.gif"}) {
      QDir().mkpath(QFileInfo(dir.path() + '/' + f).path());
      QFile out(dir.path() + '/' + f);
      out.open(QIODevice::WriteOnly);
      out.write(demoFile(f));
    }
    openGame();
    game->show();
  }
};

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Processor time of the calling thread alone.
double threadCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_THREAD, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Lets the event loop run for `ms` milliseconds, sleeping while there is nothing to do.
void idleFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Processor time of the calling thread alone, in nanoseconds.
qint64 threadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// What `step` did to the user-interface thread's handling of events, measured by a timer that
// wants to run every millisecond. `wall` is the longest gap between its runs, in milliseconds;
// `busy` is the most processor time the thread itself spent within one gap: its own work. A
// gap longer than that is a wait: for a lock, or for a processor core the machine gave to
// another thread or, in a virtual machine, to another machine (`BM_IdleGapsOfThisMachine`
// measures that for an empty event loop).
struct Block {
  double wall = 0;
  double busy = 0;
};

template <typename Step>
Block longestBlockDuring(const Step& step) {
  QElapsedTimer clock;
  qint64 last = 0, longest = 0, lastCpu = threadCpuNs(), busiest = 0;
  const auto gapEnds = [&] {
    const qint64 now = clock.nsecsElapsed(), cpu = threadCpuNs();
    longest = std::max(longest, now - last);
    busiest = std::max(busiest, cpu - lastCpu);
    last = now;
    lastCpu = cpu;
  };
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, gapEnds);
  clock.start();
  tick.start(1);
  step();
  gapEnds();
  tick.stop();
  return {longest / 1e6, busiest / 1e6};
}

// The figures of several runs of one step: the longest and the shortest of their longest
// stalls, and the most work done in one stall.
struct Blocks {
  double worst = 0, best = 1e9, busiest = 0;
  void add(const Block& b) {
    worst = std::max(worst, b.wall);
    best = std::min(best, b.wall);
    busiest = std::max(busiest, b.busy);
  }
  void report(benchmark::State& state, const std::string& prefix) const {
    state.counters[prefix + "longest_block_ms"] = worst;
    state.counters[prefix + "shortest_longest_block_ms"] = best;
    state.counters[prefix + "longest_busy_ms"] = busiest;
  }
};

// The floor under the figures below: the same measurement of an event loop with nothing to
// do, 300 ms at a time as in a video's start.
void BM_IdleGapsOfThisMachine(benchmark::State& state) {
  Blocks idle;
  for (auto _ : state) idle.add(longestBlockDuring([] { idleFor(300); }));
  idle.report(state, "");
}
BENCHMARK(BM_IdleGapsOfThisMachine)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StartOneTimeVideoLongestBlock(benchmark::State& state) {
  VideoProject project;
  Game& g = *project.game;
  if (demoFile("Frames/Intro.avi").isEmpty()) {
    state.SkipWithError("the demo's Intro.avi is missing");
    return;
  }
  // A player sees the game window for a moment before the first video starts.
  idleFor(1000);
  const Block first = longestBlockDuring([&] {
    g.video().PlayMovieWithStop("Intro.avi", true, 10, 10, 320, 240);
    QCoreApplication::processEvents();
  });
  idleFor(300);
  Blocks starts, stops, playing;
  double worstCpu = 0;
  for (auto _ : state) {
    // Stopped while it plays, as a click skips a cut scene, then the next one starts.
    stops.add(longestBlockDuring([&] { g.video().StopOneTimeVideoPlayer(); }));
    const double cpu0 = threadCpuSeconds();
    starts.add(longestBlockDuring([&] {
      g.video().PlayMovieWithStop("Intro.avi", true, 10, 10, 320, 240);
      QCoreApplication::processEvents();
    }));
    worstCpu = std::max(worstCpu, (threadCpuSeconds() - cpu0) * 1000);
    // For comparison: the longest stretch while the video only plays.
    playing.add(longestBlockDuring([] { idleFor(300); }));
  }
  state.counters["first_start_longest_block_ms"] = first.wall;
  state.counters["first_start_longest_busy_ms"] = first.busy;
  starts.report(state, "");
  stops.report(state, "stop_");
  playing.report(state, "playing_");
  // The user-interface thread's processor time for a whole start, settling pause included.
  state.counters["start_ui_thread_cpu_ms"] = worstCpu;
}
BENCHMARK(BM_StartOneTimeVideoLongestBlock)->Unit(benchmark::kMillisecond)->Iterations(5);

// The start proper, without the pictures it then draws: loading the file into a player made
// ahead and the play call, each timed on its own (the longest of each over the runs).
void BM_LoadAndPlayVideoInAReadyPlayer(benchmark::State& state) {
  VideoProject project;
  Game& g = *project.game;
  const QString path = project.dir.path() + QStringLiteral("/Frames/Intro.avi");
  idleFor(1000);
  double worstLoad = 0, worstPlay = 0;
  for (auto _ : state) {
    auto item = std::make_unique<QGraphicsVideoItem>();
    g.scene().addItem(item.get());
    auto player = std::make_unique<MediaPlayer>();
    player->setVideoOutput(item.get());
    idleFor(200);
    QElapsedTimer clock;
    clock.start();
    player->setFileName(path, path);
    worstLoad = std::max(worstLoad, clock.nsecsElapsed() / 1e6);
    idleFor(300);  // the settling pause of a start
    clock.restart();
    player->Play();
    worstPlay = std::max(worstPlay, clock.nsecsElapsed() / 1e6);
    idleFor(300);
    player->Stop();
    idleFor(100);
  }
  state.counters["load_ms"] = worstLoad;
  state.counters["play_ms"] = worstPlay;
}
BENCHMARK(BM_LoadAndPlayVideoInAReadyPlayer)->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening a frame whose hotspot plays a looping video: the longest stretch in which the
// opening (reading the frame, drawing it, loading and starting the video) held the
// user-interface thread, each time after the frame had played for a while.
void BM_OpenFrameWithLoopingVideoLongestBlock(benchmark::State& state) {
  VideoProject project;
  Game& g = *project.game;
  // A player sees the game window for a moment before the frame opens.
  idleFor(1500);
  const Block first = longestBlockDuring([&] {
    g.OpenFrame("A", false, 0, 0);
    QCoreApplication::processEvents();
  });
  Blocks opens;
  for (auto _ : state) {
    idleFor(800);
    opens.add(longestBlockDuring([&] {
      g.OpenFrame("A", false, 0, 0);
      QCoreApplication::processEvents();
    }));
  }
  state.counters["first_open_longest_block_ms"] = first.wall;
  state.counters["first_open_longest_busy_ms"] = first.busy;
  opens.report(state, "");
}
BENCHMARK(BM_OpenFrameWithLoopingVideoLongestBlock)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_IdleGameWithAnimatedPictureAndLoopingVideo(benchmark::State& state) {
  VideoProject project;
  Game& g = *project.game;
  g.OpenFrame("A", false, 0, 0);
  idleFor(500);
  // What the game shows meanwhile: the video's pictures arrive and the GIF runs.
  int videoFrames = 0;
  if (QGraphicsVideoItem* item = g.video().VideoPlayerItem(1))
    QObject::connect(item->videoSink(), &QVideoSink::videoFrameChanged, [&] { ++videoFrames; });
  AniGifBox* gif = g.animatedPictures().Box(2);
  int gifFrames = 0;
  QImage lastGifPicture;
  QTimer watchGif;
  QObject::connect(&watchGif, &QTimer::timeout, [&] {
    if (gif && gif->currentPicture() != lastGifPicture) ++gifFrames;
    if (gif) lastGifPicture = gif->currentPicture();
  });
  watchGif.start(20);
  double percent = 0;
  for (auto _ : state) {
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = cpuSeconds();
    idleFor(3000);
    percent = (cpuSeconds() - cpu0) / (wall.elapsed() / 1000.0) * 100;
  }
  state.counters["cpu_percent_of_one_core"] = percent;
  state.counters["video_pictures_per_s"] = videoFrames / 3.0;
  state.counters["gif_pictures_per_s"] = gifFrames / 3.0;
}
BENCHMARK(BM_IdleGameWithAnimatedPictureAndLoopingVideo)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
