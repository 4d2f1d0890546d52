// Walkthrough commands for the game's display and the size of the game window.
#include "shell/display_walkthrough.h"

#include <cmath>

#include "game/game.h"
#include "shell/application.h"
#include "shell/display.h"
#include "shell/editor_and_game.h"
#include "shell/walkthrough.h"

namespace storyloom {

using Step = WalkthroughRunner::Step;

void registerDisplayWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  auto playing = [&application]() -> Game* {
    Game* g = application.game();
    return g && g->isVisible() ? g : nullptr;
  };
  // resize W H: the game window in a window, its inner area (below a menu bar always shown)
  // W x H pixels.
  runner.addCommand(QStringLiteral("resize"), 2, 2, [playing](const QStringList& a) {
    bool okW = false, okH = false;
    const int w = a[0].toInt(&okW), h = a[1].toInt(&okH);
    if (!okW || !okH || w < 1 || h < 1) return Step::fail(QStringLiteral("resize takes a width and a height"));
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    if (g->FullScreenChosen()) g->SetFullScreen(false);
    const QSize inner = g->screenArea().size();
    if (inner == QSize(w, h) && !g->isFullScreen()) return Step::done();
    g->resize(g->width() + w - inner.width(), g->height() + h - inner.height());
    return Step::again(QStringLiteral("the inner area is %1 x %2").arg(inner.width()).arg(inner.height()));
  });
  // fullscreen on|off
  runner.addCommand(QStringLiteral("fullscreen"), 1, 1, [playing](const QStringList& a) {
    const bool on = a[0] == QLatin1String("on");
    if (!on && a[0] != QLatin1String("off")) return Step::fail(QStringLiteral("fullscreen takes on or off"));
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    if (g->FullScreenChosen() != on) g->SetFullScreen(on);
    if (g->isFullScreen() != on) return Step::again(QStringLiteral("the window is changing"));
    return Step::done();
  });
  // expect-scale FACTOR: the picture is shown at FACTOR screen pixels per picture pixel.
  runner.addCommand(QStringLiteral("expect-scale"), 1, 1, [playing](const QStringList& a) {
    bool ok = false;
    const double wanted = a[0].toDouble(&ok);
    if (!ok) return Step::fail(QStringLiteral("\"%1\" is no scale").arg(a[0]));
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    const double factor = g->screenArea().scale().factor;
    if (std::abs(factor - wanted) > 0.001) return Step::again(QStringLiteral("the scale is %1").arg(factor));
    return Step::done();
  });
  // expect-display W H: the display the game sees is W x H pixels; expect-display start: it
  // is the screen the program started on.
  runner.addCommand(QStringLiteral("expect-display"), 1, 2, [&application](const QStringList& a) {
    const Display& display = application.module().display();
    const QSize size = display.size();
    const QSize wanted = a[0] == QLatin1String("start")
                             ? QSize(display.StartupDisplayWidth, display.StartupDisplayHeight)
                             : QSize(a[0].toInt(), a.value(1).toInt());
    if (size != wanted)
      return Step::again(QStringLiteral("the display is %1 x %2").arg(size.width()).arg(size.height()));
    return Step::done();
  });
}

}  // namespace storyloom
