#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// expect-saved NAME, expect-no-saved NAME, choose-saved NAME.
void registerSavedGamesWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
