// Walkthrough commands for additional components: whether a component of a name is placed
// on the picture. Components are clicked with "click NAME" (their lower-case name).
#include "scripting/components_walkthrough.h"

#include "game/game.h"
#include "scripting/components.h"
#include "shell/application.h"
#include "shell/walkthrough.h"

namespace storyloom {

void registerComponentWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  using Step = WalkthroughRunner::Step;
  auto placed = [&application](bool wanted) {
    return [&application, wanted](const QStringList& a) {
      Game* g = application.game();
      if (!g || !g->isVisible()) return Step::again(QStringLiteral("no game window"));
      const ComponentControl* c = g->components().find(a[0]);
      if ((c && c->widget()) != wanted) {
        const QStringList names = g->components().names();
        return Step::again(names.isEmpty()
                               ? QStringLiteral("no component is placed")
                               : QStringLiteral("the components are \"%1\"").arg(names.join(QStringLiteral("\", \""))));
      }
      return Step::done();
    };
  };
  // expect-component NAME / expect-no-component NAME: a component of that name (any case)
  // is (is not) placed on the picture.
  runner.addCommand(QStringLiteral("expect-component"), 1, 1, placed(true));
  runner.addCommand(QStringLiteral("expect-no-component"), 1, 1, placed(false));
}

}  // namespace storyloom
