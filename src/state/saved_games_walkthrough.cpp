// Walkthrough commands for saved games: which are listed, and picking one in the save or
// load window with the mouse.
#include "state/saved_games_walkthrough.h"

#include <QApplication>
#include <QListWidget>

#include "game/game.h"
#include "shell/application.h"
#include "shell/walkthrough.h"
#include "state/saved_games.h"

namespace storyloom {
namespace {

using Step = WalkthroughRunner::Step;

// The list of the save or load window that is open.
QListWidget* openList() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal ||
      (modal->objectName() != QLatin1String("frmSaveGame") && modal->objectName() != QLatin1String("frmLoadGame")))
    return nullptr;
  return modal->findChild<QListWidget*>(QStringLiteral("List1"));
}

}  // namespace

void registerSavedGamesWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  // The names listed: by the open window, else as the game would list them.
  auto listed = [&application](QStringList* names) {
    if (QListWidget* list = openList()) {
      for (int i = 0; i < list->count(); ++i) names->append(list->item(i)->text());
      return true;
    }
    Game* g = application.game();
    if (!g) return false;
    for (const SavedGameFile& f : g->savedGames().listSavedGames()) names->append(f.name);
    return true;
  };
  auto expectListed = [listed](bool wanted) {
    return [listed, wanted](const QStringList& a) {
      QStringList names;
      if (!listed(&names)) return Step::again(QStringLiteral("no game window"));
      if (names.contains(a[0]) != wanted)
        return Step::again(QStringLiteral("the saved games are \"%1\"").arg(names.join(QStringLiteral("\", \""))));
      return Step::done();
    };
  };
  // expect-saved NAME / expect-no-saved NAME: a saved game of that name is (is not) listed.
  runner.addCommand(QStringLiteral("expect-saved"), 1, 1, expectListed(true));
  runner.addCommand(QStringLiteral("expect-no-saved"), 1, 1, expectListed(false));
  // choose-saved NAME: clicks the entry NAME in the list of the open save or load window.
  runner.addCommand(QStringLiteral("choose-saved"), 1, 1, [](const QStringList& a) {
    QListWidget* list = openList();
    if (!list) return Step::again(QStringLiteral("no save or load window"));
    const auto found = list->findItems(a[0], Qt::MatchExactly);
    if (found.isEmpty()) return Step::again(QStringLiteral("\"%1\" is not listed").arg(a[0]));
    list->scrollToItem(found.first());
    sendWalkthroughClick(list->viewport(), list->visualItemRect(found.first()).center(), Qt::LeftButton);
    return Step::done();
  });
}

}  // namespace storyloom
