#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// expect-water on|off.
void registerWaterWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
