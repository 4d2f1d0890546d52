#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// expect-component NAME, expect-no-component NAME.
void registerComponentWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
