#include "scripting/script_walkthrough.h"

#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "scripting/script_host.h"
#include "shell/application.h"
#include "shell/walkthrough.h"

namespace storyloom {

void registerScriptWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  using Step = WalkthroughRunner::Step;
  auto playing = [&application]() -> Game* {
    Game* g = application.game();
    return g && g->isVisible() ? g : nullptr;
  };
  // run CODE: runs code as the debug console does, with the requests it leaves applied.
  runner.addCommand(QStringLiteral("run"), 1, 1, [playing](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    g->areas().ExecuteVBScriptAndConsequences(a[0], true);
    return Step::done();
  });
  // expect-script EXPR VALUE: EXPR, evaluated with the game's named objects, reads VALUE.
  runner.addCommand(QStringLiteral("expect-script"), 2, 2, [playing](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    QString value;
    try {
      value = QString::fromStdU16String(g->scripts().Evaluate(a[0]).toConcatString());
    } catch (const vbs::ScriptError& e) {
      return Step::again(QStringLiteral("error %1: %2").arg(e.number).arg(QString::fromStdU16String(e.description)));
    }
    if (value != a[1]) return Step::again(QStringLiteral("found \"%1\"").arg(value));
    return Step::done();
  });
}

}  // namespace storyloom
