#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// expect-playing CHANNEL FILE, expect-silent CHANNEL, expect-volume CHANNEL LEVEL.
void registerAudioWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
