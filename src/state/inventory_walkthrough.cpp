// Walkthrough commands for the inventory: what it holds, and dragging its items with the
// mouse onto the picture or onto each other.
#include "state/inventory_walkthrough.h"

#include <QApplication>
#include <QMouseEvent>

#include "game/game.h"
#include "shell/application.h"
#include "shell/editor_and_game.h"
#include "shell/walkthrough.h"
#include "state/inventory.h"
#include "shell/display.h"

namespace storyloom {

namespace {

using Step = WalkthroughRunner::Step;

void sendMouse(Game& game, QEvent::Type type, QPointF scenePos, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QWidget* viewport = game.PictureBox->viewport();
  const QPoint at = ViewPointOfPicturePixel(*game.PictureBox, PicturePixelAt(scenePos));
  QMouseEvent e(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(viewport, &e);
}

}  // namespace

Step dragInventoryItem(Game& game, int n, const std::function<QPointF()>& where) {
  Inventory& inventory = game.inventory();
  InventoryPart* item = inventory.PickedObject(n);
  if (!item) return Step::again(QStringLiteral("the inventory holds %1 items").arg(inventory.count()));
  if (inventory.InventoryMoving) return Step::again(QStringLiteral("the inventory bar is moving"));
  if (game.module().settings.InventoryEnabled && inventory.BarTop() < 0) {
    if (!inventory.Inventory2().isVisible()) return Step::again(QStringLiteral("the inventory button is hidden"));
    sendMouse(game, QEvent::MouseMove, inventory.Inventory2().sceneBoundingRect().center(), Qt::NoButton, Qt::NoButton);
    if (inventory.BarTop() < 0) return Step::again(QStringLiteral("the inventory bar is not open"));
  }
  const QPointF from = item->sceneBoundingRect().center();
  const QPointF to = where();
  sendMouse(game, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  sendMouse(game, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
  sendMouse(game, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  sendMouse(game, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  return Step::done();
}

void registerInventoryWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  auto playing = [&application]() -> Game* {
    Game* g = application.game();
    return g && g->isVisible() ? g : nullptr;
  };
  auto number = [](const QString& text, int* n) {
    bool ok = false;
    *n = text.toInt(&ok);
    return ok;
  };
  auto held = [playing](bool wanted) {
    return [playing, wanted](const QStringList& a) {
      Game* g = playing();
      if (!g) return Step::again(QStringLiteral("no game window"));
      const QStringList names = g->inventory().itemNames();
      if (names.contains(a[0]) != wanted)
        return Step::again(QStringLiteral("the inventory holds \"%1\"").arg(names.join(QStringLiteral("\", \""))));
      return Step::done();
    };
  };
  // expect-item NAME / expect-no-item NAME: an item of that name is (is not) held.
  runner.addCommand(QStringLiteral("expect-item"), 1, 1, held(true));
  runner.addCommand(QStringLiteral("expect-no-item"), 1, 1, held(false));
  // expect-items N: the inventory holds N items.
  runner.addCommand(QStringLiteral("expect-items"), 1, 1, [playing, number](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    int n = 0;
    if (!number(a[0], &n)) return Step::fail(QStringLiteral("\"%1\" is no number").arg(a[0]));
    if (g->inventory().count() != n)
      return Step::again(QStringLiteral("the inventory holds %1 items").arg(g->inventory().count()));
    return Step::done();
  });
  // expect-inventory-settled: the pop-up after a pick-up has ended and the bar is still.
  runner.addCommand(QStringLiteral("expect-inventory-settled"), 0, 0, [playing](const QStringList&) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    const Inventory& inventory = g->inventory();
    if (inventory.InventoryPopUp || inventory.TimerInventory.isActive())
      return Step::again(QStringLiteral("the inventory is popped up"));
    if (inventory.InventoryMoving) return Step::again(QStringLiteral("the inventory bar is moving"));
    return Step::done();
  });
  // drag-item N X Y: drags item N and drops it at pixel (X, Y) of the picture.
  runner.addCommand(QStringLiteral("drag-item"), 3, 3, [playing, number](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    int n = 0, x = 0, y = 0;
    if (!number(a[0], &n) || !number(a[1], &x) || !number(a[2], &y))
      return Step::fail(QStringLiteral("drag-item takes an item number and a point"));
    return dragInventoryItem(*g, n, [x, y] { return QPointF(x + 0.5, y + 0.5); });
  });
  // drag-item-on-item N M: drags item N and drops it on item M.
  runner.addCommand(QStringLiteral("drag-item-on-item"), 2, 2, [playing, number](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    int n = 0, m = 0;
    if (!number(a[0], &n) || !number(a[1], &m))
      return Step::fail(QStringLiteral("drag-item-on-item takes two numbers"));
    InventoryPart* target = g->inventory().PickedObject(m);
    if (!target) return Step::again(QStringLiteral("the inventory holds %1 items").arg(g->inventory().count()));
    return dragInventoryItem(*g, n, [target] { return target->sceneBoundingRect().center(); });
  });
}

}  // namespace storyloom
