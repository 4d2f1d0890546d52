#pragma once

namespace storyloom {

class Application;
class WalkthroughRunner;

// click-question TEXT, expect-question TEXT [asked|new], expect-no-question TEXT.
void registerDialogueWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
