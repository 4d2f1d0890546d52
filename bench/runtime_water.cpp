// Rippling water: one step on a 400 x 200 rectangle (the waves of the picture, then the copy
// through the mask), alone and as the game draws it (with the repaint of the view); and the
// share of one core that a game idling on a frame with water takes.
// Targets: one step at most 1 ms; an idle game below 10 % of one core.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>

#include "bench_project.h"
#include "effects/water.h"
#include "game/game.h"

namespace {

using namespace storyloom;

QImage texture(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) line[x] = qRgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255);
  }
  return image;
}

// A mask with a white block (a boat) in a black sea.
QImage boatMask(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  p.fillRect(w / 3, h / 4, w / 4, h / 5, Qt::white);
  return image;
}

void BM_WaterStep400x200(benchmark::State& state) {
  const QImage original = texture(400, 200);
  const QImage mask = boatMask(400, 200);
  QImage masked = original.copy();
  MergeMask(masked, mask);
  QImage surface = original.copy();
  qint32 t = 0;
  for (auto _ : state) {
    DrawWave(surface, original, 6, 4, static_cast<float>(WavePhase(t, 8, false)), 90.0);
    DrawThroughMask(surface, masked, mask);
    t += 30;
    benchmark::DoNotOptimize(surface.constBits());
  }
}
BENCHMARK(BM_WaterStep400x200)->Unit(benchmark::kMillisecond);

struct Harbour : bench::BenchProject {
  Harbour() {
    write("Config/General", "\"Bench\",\"\",\"Bench\",0,\"Harbour\",\"1\",640,480,\"a\",\"b\",\"c\"\r\n");
    write("Config/Variables", "\"v\"\r\n\"***\"\r\n");
    write("Frames/Harbour.fme", "1,\"Harbour.bmp\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    write("Frames/Harbour.rwe", "0,0,0,0,0,0\r\n120,270,400,200,6,8\r\n");
    texture(640, 480).save(dir.path() + "/Frames/Harbour.bmp", "BMP");
    boatMask(400, 200).save(dir.path() + "/Frames/Harbour.rwm", "BMP");
    openGame();
    game->StartNewGame();
    game->show();
  }
};

void BM_WaterStepInTheGame400x200(benchmark::State& state) {
  Harbour harbour;
  Game& g = *harbour.game;
  if (!g.water().TimerRipplingWater.isActive()) {
    state.SkipWithError("the harbour has no water");
    return;
  }
  for (auto _ : state) {
    g.water().TimerRipplingWater_Timer();
    g.PictureBox->viewport()->repaint();
  }
}
BENCHMARK(BM_WaterStepInTheGame400x200)->Unit(benchmark::kMillisecond);

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The game shows the harbour and waits for the player for two seconds; the counter is the
// share of one core the whole process used meanwhile.
void BM_IdleGameWithWater(benchmark::State& state) {
  Harbour harbour;
  if (!harbour.game->water().TimerRipplingWater.isActive()) {
    state.SkipWithError("the harbour has no water");
    return;
  }
  double share = 0;
  for (auto _ : state) {
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop idle;
    QTimer::singleShot(2000, &idle, &QEventLoop::quit);
    idle.exec();
    share = 100 * (cpuSeconds() - cpu0) / (wall.elapsed() / 1000.0);
  }
  state.counters["cpu_percent_of_one_core"] = share;
}
BENCHMARK(BM_IdleGameWithWater)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
