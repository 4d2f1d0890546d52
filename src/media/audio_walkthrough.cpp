// Walkthrough commands for the sound channels.
#include "media/audio_walkthrough.h"

#include <cstdlib>
#include <optional>

#include "game/game.h"
#include "media/audio_channels.h"
#include "shell/application.h"
#include "shell/walkthrough.h"

namespace storyloom {

namespace {

using Step = WalkthroughRunner::Step;

// The channel number 1 to 7 of an argument; nothing for anything else.
std::optional<int> channelOf(const QString& text) {
  bool ok = false;
  const int k = text.toInt(&ok);
  if (!ok || k < 1 || k > AudioChannels::kChannels) return std::nullopt;
  return k;
}

QString describe(MediaPlayer& p) {
  if (!p.isPlaying()) return QStringLiteral("the channel is silent");
  return QStringLiteral("the channel plays \"%1\" at volume %2").arg(p.fileName()).arg(p.volume());
}

}  // namespace

void registerAudioWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  auto channelPlayer = [&application](const QString& arg, MediaPlayer*& player) -> std::optional<Step> {
    const std::optional<int> k = channelOf(arg);
    if (!k) return Step::fail(QStringLiteral("\"%1\" is no channel from 1 to 7").arg(arg));
    Game* g = application.game();
    if (!g || !g->isVisible()) return Step::again(QStringLiteral("no game window"));
    player = &g->audio().playerOfChannel(*k);
    return std::nullopt;
  };
  // expect-playing CHANNEL FILE: the channel plays a file whose name ends with FILE.
  runner.addCommand(QStringLiteral("expect-playing"), 2, 2, [channelPlayer](const QStringList& a) {
    MediaPlayer* p = nullptr;
    if (auto step = channelPlayer(a[0], p)) return *step;
    if (!p->isPlaying() || !p->fileName().endsWith(a[1], Qt::CaseInsensitive)) return Step::again(describe(*p));
    return Step::done();
  });
  // expect-silent CHANNEL: the channel's player does not play.
  runner.addCommand(QStringLiteral("expect-silent"), 1, 1, [channelPlayer](const QStringList& a) {
    MediaPlayer* p = nullptr;
    if (auto step = channelPlayer(a[0], p)) return *step;
    if (p->isPlaying()) return Step::again(describe(*p));
    return Step::done();
  });
  // expect-volume CHANNEL LEVEL: the channel plays at the volume of LEVEL (0-10), within
  // one level.
  runner.addCommand(QStringLiteral("expect-volume"), 2, 2, [channelPlayer](const QStringList& a) {
    MediaPlayer* p = nullptr;
    if (auto step = channelPlayer(a[0], p)) return *step;
    bool ok = false;
    const double level = a[1].toDouble(&ok);
    if (!ok) return Step::fail(QStringLiteral("\"%1\" is no volume level").arg(a[1]));
    const qint32 wanted = AudioChannels::VolumeToPlayer(level);
    const qint32 oneLevel = AudioChannels::VolumeToPlayer(10) - AudioChannels::VolumeToPlayer(9);
    if (!p->isPlaying() || std::abs(p->volume() - wanted) > oneLevel) return Step::again(describe(*p));
    return Step::done();
  });
}

}  // namespace storyloom
