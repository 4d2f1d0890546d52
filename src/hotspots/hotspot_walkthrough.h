#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// click-hotspot N [left|right], expect-var NAME VALUE, expect-visible N, expect-hidden N.
void registerHotspotWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
