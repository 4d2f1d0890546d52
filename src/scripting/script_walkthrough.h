#pragma once

// Walkthrough commands for scripts: "run CODE" (as the debug console runs it) and
// "expect-script EXPR VALUE" (EXPR evaluated in a fresh run has the text form VALUE).
namespace storyloom {

class WalkthroughRunner;
class Application;

void registerScriptWalkthroughCommands(WalkthroughRunner& runner, Application& application);

}  // namespace storyloom
