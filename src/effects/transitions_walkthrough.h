#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// expect-transition NUMBER|none.
void registerTransitionWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
