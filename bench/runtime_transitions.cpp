// One step of a cross-fade at 1024 x 768: the old frame with the new one laid over it at a
// constant alpha, alone and as the game draws it (blend, picture item, repaint of the view).
// Target: at most 2 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include "effects/transitions.h"
#include "bench_project.h"
#include "game/game.h"

namespace {

using namespace storyloom;

QImage frameImage(QRgb a, QRgb b) {
  QImage image(1024, 768, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) line[x] = ((x / 16 + y / 16) % 2) ? a : b;
  }
  return image;
}

void BM_CrossFadeBlend1024x768(benchmark::State& state) {
  const QImage oldFrame = frameImage(qRgb(200, 30, 10), qRgb(10, 90, 200));
  const QImage newFrame = frameImage(qRgb(20, 220, 40), qRgb(240, 240, 0));
  QImage into;
  int alpha = 0;
  for (auto _ : state) {
    BlendFrames(into, oldFrame, newFrame, alpha);
    alpha = (alpha + 7) % 256;
    benchmark::DoNotOptimize(into.constBits());
  }
}
BENCHMARK(BM_CrossFadeBlend1024x768)->Unit(benchmark::kMillisecond);

struct BigPicture : bench::BenchProject {
  BigPicture() {
    write("Config/General", "\"Bench\",\"\",\"Bench\",0,\"A\",\"1\",1024,768,\"a\",\"b\",\"c\"\r\n");
    write("Config/Variables", "\"v\"\r\n\"***\"\r\n");
    write("Frames/A.fme", "0,\"255\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    write("Frames/B.fme", "0,\"16711680\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    openGame();
    game->StartNewGame();
    game->show();
  }
};

void BM_CrossFadeStepInTheGame1024x768(benchmark::State& state) {
  BigPicture picture;
  Game& g = *picture.game;
  Transitions& t = g.transitions();
  t.TransitionStep1(1);
  g.OpenFrame("B", false, 0, 0);
  t.picEnd = t.CaptureCurrentFrame();
  if (t.picStart.size() != QSize(1024, 768) || t.picEnd.size() != QSize(1024, 768)) {
    state.SkipWithError("the pictures are not 1024 x 768");
    return;
  }
  double progress = 0;
  for (auto _ : state) {
    t.DrawStep(1, progress);
    g.PictureBox->viewport()->repaint();
    progress = progress >= 1 ? 0 : progress + 0.01;
  }
}
BENCHMARK(BM_CrossFadeStepInTheGame1024x768)->Unit(benchmark::kMillisecond);

}  // namespace
