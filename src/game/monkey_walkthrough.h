#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// monkey SECONDS SEED: plays at random for the given time, the same way for the same seed.
void registerMonkeyWalkthroughCommand(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
