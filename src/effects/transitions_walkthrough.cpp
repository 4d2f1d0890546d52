// Walkthrough commands for the transitions between frames.
#include "effects/transitions_walkthrough.h"

#include "effects/transitions.h"
#include "game/game.h"
#include "shell/application.h"
#include "shell/walkthrough.h"

namespace storyloom {

using Step = WalkthroughRunner::Step;

void registerTransitionWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  // expect-transition NUMBER|none: the last frame change ran transition NUMBER (an animation
  // that ended), or none.
  runner.addCommand(QStringLiteral("expect-transition"), 1, 1, [&application](const QStringList& a) {
    Game* g = application.game();
    if (!g || !g->isVisible()) return Step::again(QStringLiteral("no game window"));
    std::optional<int> expected;
    if (a[0].compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
      bool ok = false;
      expected = a[0].toInt(&ok);
      if (!ok) return Step::fail(QStringLiteral("\"%1\" is no transition number").arg(a[0]));
    }
    const Transitions& t = g->transitions();
    if (t.TransitionRunning) return Step::again(QStringLiteral("a transition is running"));
    const std::optional<int> ran = t.lastRun() ? std::optional<int>(t.lastRun()->number) : std::nullopt;
    if (ran != expected)
      return Step::again(QStringLiteral("the last frame change ran transition %1")
                             .arg(ran ? QString::number(*ran) : QStringLiteral("none")));
    return Step::done();
  });
}

}  // namespace storyloom
