// Walkthrough commands for the videos.
#include "media/video_walkthrough.h"

#include "game/game.h"
#include "media/video.h"
#include "shell/application.h"
#include "shell/walkthrough.h"

namespace storyloom {

using Step = WalkthroughRunner::Step;

void registerVideoWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  // expect-video: a one-time video plays; expect-no-video: none plays.
  const auto expectVideo = [&application](bool playing) {
    return [&application, playing](const QStringList&) {
      Game* g = application.game();
      if (!g || !g->isVisible()) return Step::again(QStringLiteral("no game window"));
      if (g->video().IsOneTimeVideoPlaying() != playing)
        return Step::again(playing ? QStringLiteral("no one-time video plays")
                                   : QStringLiteral("a one-time video plays"));
      return Step::done();
    };
  };
  runner.addCommand(QStringLiteral("expect-video"), 0, 0, expectVideo(true));
  runner.addCommand(QStringLiteral("expect-no-video"), 0, 0, expectVideo(false));
}

}  // namespace storyloom
