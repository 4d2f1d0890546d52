// Walkthrough commands for the rippling water.
#include "effects/water_walkthrough.h"

#include "effects/water.h"
#include "game/game.h"
#include "shell/application.h"
#include "shell/walkthrough.h"

namespace storyloom {

using Step = WalkthroughRunner::Step;

void registerWaterWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  // expect-water on|off: the current frame shows moving water (its surface is shown and its
  // steps are running), or shows none.
  runner.addCommand(QStringLiteral("expect-water"), 1, 1, [&application](const QStringList& a) {
    Game* g = application.game();
    if (!g || !g->isVisible()) return Step::again(QStringLiteral("no game window"));
    const QString wanted = a[0].toLower();
    if (wanted != QLatin1String("on") && wanted != QLatin1String("off"))
      return Step::fail(QStringLiteral("expect-water takes on or off, not \"%1\"").arg(a[0]));
    const Water& w = g->water();
    const bool shown = w.surfaceShown();
    const bool running = w.WaterActive && w.TimerRipplingWater.isActive();
    if (wanted == QLatin1String("on") && !(shown && running))
      return Step::again(shown ? QStringLiteral("the water is shown but does not move")
                               : QStringLiteral("the frame shows no water"));
    if (wanted == QLatin1String("off") && shown) return Step::again(QStringLiteral("the frame shows water"));
    return Step::done();
  });
}

}  // namespace storyloom
