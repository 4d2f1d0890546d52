#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// resize W H, fullscreen on|off, expect-scale FACTOR, expect-display W H|start.
void registerDisplayWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
