// Saving and loading a game with 1,000 variables and 100 items, without the load's own
// pauses. Target: each at most 10 ms.
#include <benchmark/benchmark.h>

#include <QImage>

#include "bench_project.h"
#include "game/game.h"
#include "state/inventory.h"
#include "state/saved_games.h"

namespace {

using namespace storyloom;

constexpr int kVariables = 1000;
constexpr int kItems = 100;

struct PlayedGame : bench::BenchProject {
  PlayedGame() {
    write("Config/General", "\"Bench\",\"\",\"Bench\",0,\"Room\",\"1\",640,480,\"a\",\"b\",\"c\"\r\n");
    QString vars = "\"v\"\r\n";
    for (int k = 0; k < kVariables; ++k) vars += QStringLiteral("\"Var%1\"\r\n").arg(k);
    vars += "\"***\"\r\n";
    for (int k = 0; k < 20; ++k) vars += QStringLiteral("\"Note%1\"\r\n").arg(k);
    write("Config/Variables", vars);
    write("Frames/Room.fme", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    for (int i = 0; i < 10; ++i) write(QStringLiteral("Areas/Item%1.obj").arg(i), "\"Item.ico\"\r\n");
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::darkBlue);
    icon.save(dir.path() + "/Areas/Item.ico", "ICO");

    openGame();
    // The pop-up slide of the bar after a pick-up is one of the load's own pauses.
    module->settings.PopUpInventoryOnPickUp = false;
    game->savedGames().pause = [](double) {};
    game->StartNewGame();
    for (int k = 0; k < kVariables; ++k) game->vars.ChangeVariableValue(QStringLiteral("Var%1").arg(k), k % 300);
    for (int i = 0; i < kItems; ++i) game->inventory().addWithoutPopup(QStringLiteral("Item%1").arg(i % 10));
  }
};

void BM_SaveGame(benchmark::State& state) {
  PlayedGame played;
  for (auto _ : state) benchmark::DoNotOptimize(played.game->savedGames().SaveGame("Bench save"));
}
BENCHMARK(BM_SaveGame)->Unit(benchmark::kMillisecond);

void BM_LoadGame(benchmark::State& state) {
  PlayedGame played;
  SavedGames& saved = played.game->savedGames();
  saved.SaveGame("Bench save");
  for (auto _ : state) {
    if (!saved.LoadGame("Bench save") || played.game->inventory().count() != kItems) {
      state.SkipWithError("the game did not load");
      return;
    }
  }
}
BENCHMARK(BM_LoadGame)->Unit(benchmark::kMillisecond);

}  // namespace
