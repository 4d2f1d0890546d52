#pragma once
#include <QPointF>
#include <functional>

#include "shell/walkthrough.h"

namespace storyloom {

class Application;
class Game;

// Opens the bar as the player does, by moving the pointer onto the inventory button, and
// drags item n to the scene point that `where` gives once the bar is open: a press on the
// item, moves, and the release there.
WalkthroughRunner::Step dragInventoryItem(Game& game, int n, const std::function<QPointF()>& where);

// expect-item NAME, expect-no-item NAME, expect-items N, drag-item N X Y,
// drag-item-on-item N M.
void registerInventoryWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
