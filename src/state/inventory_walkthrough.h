#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// expect-item NAME, expect-no-item NAME, expect-items N, drag-item N X Y,
// drag-item-on-item N M.
void registerInventoryWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
