#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// expect-video and expect-no-video.
void registerVideoWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
