// One click's action on a frame with 200 hotspots: the action file is searched for the
// hotspot's record, the record is read and done, and the visibility of every hotspot is
// decided again from the hotspot file. Target: at most 2 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_project.h"
#include "game/game.h"
#include "hotspots/frame_areas.h"

namespace {

using namespace storyloom;

constexpr int kHotspots = 200;
const char* kSep = "\"----- SEPARATOR -----\"\r\n";

struct BigFrame : bench::BenchProject {
  BigFrame() {
    write("Config/General", "\"Bench\",\"\",\"Bench\",0,\"Big\",\"1\",640,480,\"a\",\"b\",\"c\"\r\n");
    QString vars = "\"v\"\r\n";
    for (int k = 0; k < 40; ++k) vars += QStringLiteral("\"Var%1\"\r\n").arg(k);
    write("Config/Variables", vars + "\"***\"\r\n");
    write("Frames/Big.fme", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    QString spots, actions;
    for (int i = 1; i <= kHotspots; ++i) {
      const int x = (i % 20) * 30, y = (i / 20) * 40;
      spots += QStringLiteral("\"Hotspot %1\",%1,0,0,0,0,0,0,0,0\r\n").arg(i);
      spots += QStringLiteral("%1,%2,450,600,0,#FALSE#,\"\",0,\"default\",1\r\n").arg(x * 15).arg(y * 15);
      spots += QStringLiteral("2,\"Var%1\",\"Var%2\"\r\n1,\"Var%3\"\r\n0\r\n#FALSE#,\"\",0,10,0,0,1,1,0,0\r\n")
                   .arg(i % 40)
                   .arg((i + 7) % 40)
                   .arg((i + 13) % 40);
      spots += kSep;
      actions += QStringLiteral("\"Action %1\",%1,0,0,0,0,0,0,0,0\r\n").arg(i);
      actions += QStringLiteral("1,\"Var%1\",0,0,#TRUE#,0,\"\",0,\"\",0,0,0,\"\"\r\n").arg(i % 40);
      actions += "0,0,0,\"\",#FALSE#,#FALSE#,0,0,0,0\r\n0,0,\"\",0,\"\"\r\n0,0,0,0\r\n0,0,0,0\r\n";
      actions += "0,0,0,0,0,0,0\r\n#FALSE#,0,0\r\n#FALSE#,\"\",0\r\n0,0,0,0,0,0,0\r\n0,5,0\r\n#FALSE#,\"\"\r\n";
      actions += kSep;
    }
    write("FramesData/Big.fm2", spots);
    write("FramesData/Big.fm3", actions);

    openGame();
    game->StartNewGame();
  }
};

void BM_ClickActionOn200Hotspots(benchmark::State& state) {
  BigFrame frame;
  if (frame.game->areas().AreaCount() != kHotspots) {
    state.SkipWithError("the frame did not load its hotspots");
    return;
  }
  // The last hotspot: its record is the furthest into the action file.
  for (auto _ : state) benchmark::DoNotOptimize(frame.game->areas().MakeAction(kHotspots));
}
BENCHMARK(BM_ClickActionOn200Hotspots)->Unit(benchmark::kMillisecond);

}  // namespace
