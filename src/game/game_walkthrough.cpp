// Walkthrough commands of the game window.
#include <QTimer>

#include "dialogue/dialogue_walkthrough.h"
#include "effects/transitions_walkthrough.h"
#include "effects/water_walkthrough.h"
#include "game/game.h"
#include "game/monkey_walkthrough.h"
#include "hotspots/hotspot_walkthrough.h"
#include "media/audio_walkthrough.h"
#include "media/video_walkthrough.h"
#include "scripting/components_walkthrough.h"
#include "scripting/script_walkthrough.h"
#include "shell/application.h"
#include "shell/display_walkthrough.h"
#include "shell/walkthrough.h"
#include "state/inventory_walkthrough.h"
#include "state/saved_games_walkthrough.h"

namespace storyloom {

void registerGameWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  using Step = WalkthroughRunner::Step;
  auto playing = [&application]() -> Game* {
    Game* g = application.game();
    return g && g->isVisible() ? g : nullptr;
  };
  registerHotspotWalkthroughCommands(runner, application);
  registerScriptWalkthroughCommands(runner, application);
  registerTransitionWalkthroughCommands(runner, application);
  registerWaterWalkthroughCommands(runner, application);
  registerDisplayWalkthroughCommands(runner, application);
  registerInventoryWalkthroughCommands(runner, application);
  registerDialogueWalkthroughCommands(runner, application);
  registerAudioWalkthroughCommands(runner, application);
  registerSavedGamesWalkthroughCommands(runner, application);
  registerVideoWalkthroughCommands(runner, application);
  registerComponentWalkthroughCommands(runner, application);
  registerMonkeyWalkthroughCommand(runner, application);
  // expect-frame NAME: the current frame is NAME.
  runner.addCommand(QStringLiteral("expect-frame"), 1, 1, [playing](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    if (g->frame.CurrentFrameName != a[0])
      return Step::again(QStringLiteral("the frame is \"%1\"").arg(g->frame.CurrentFrameName));
    return Step::done();
  });
  // expect-text TEXT: a frame text or the message bar shows TEXT.
  runner.addCommand(QStringLiteral("expect-text"), 1, 1, [playing](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    const QStringList shown = g->shownTexts();
    if (!shown.contains(a[0]))
      return Step::again(QStringLiteral("shown: \"%1\"").arg(shown.join(QStringLiteral("\", \""))));
    return Step::done();
  });
  // menu TEXT: chooses the visible menu item with that caption.
  runner.addCommand(QStringLiteral("menu"), 1, 1, [playing](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    QAction* item = g->menuItemByCaption(a[0]);
    if (!item) return Step::again(QStringLiteral("no visible menu item \"%1\"").arg(a[0]));
    // Chosen from the event loop, as a player's choice is: the following lines run while
    // what it started waits (a video that a click skips).
    QTimer::singleShot(0, item, [item] { item->trigger(); });
    return Step::done();
  });
}

}  // namespace storyloom
