#include "media/audio_channels.h"

#include <QElapsedTimer>

#include "hotspots/record_fields.h"
#include "platform/conversions.h"
#include "platform/message_boxes.h"
#include "platform/skipped_steps.h"
#include "shell/editor_and_game.h"
#include "shell/field_reader.h"

namespace storyloom {

namespace {

constexpr int kFadeTickMs = 100;

// Extensions of the sampled sounds that "stop all sounds" stops; MIDI is not among them.
bool isSampledSound(const QString& name) {
  if (name.size() < 5) return false;
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return false;
  const QString ext = name.mid(dot + 1).toLower();
  static const QStringList kSampled = {QStringLiteral("wav"), QStringLiteral("mp3"), QStringLiteral("wma"),
                                       QStringLiteral("ogg"), QStringLiteral("au"),  QStringLiteral("snd"),
                                       QStringLiteral("rmi"), QStringLiteral("mpa"), QStringLiteral("mp2"),
                                       QStringLiteral("wm"),  QStringLiteral("asf")};
  return kSampled.contains(ext);
}

}  // namespace

AudioChannels::AudioChannels(EditorAndGame& module) : module_(module) {
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  // One second added, so that no reading is ever 0 (the mark of a fade not yet begun).
  clock = [started] { return 1.0 + started->nsecsElapsed() / 1e9; };
  for (int i = 0; i <= kChannels; ++i) {
    players_[static_cast<size_t>(i)] = std::make_unique<MediaPlayer>();
    QObject::connect(players_[static_cast<size_t>(i)].get(), &MediaPlayer::failed, &TimerAudioFade,
                     [this] { showAudioProblem(); });
    // Made one at a time, with the game's events handled in between.
    if (i > 0) players_[static_cast<size_t>(i)]->makeBackendAhead(kFadeTickMs * i);
  }
  TimerAudioFade.setInterval(kFadeTickMs);
  QObject::connect(&TimerAudioFade, &QTimer::timeout, &TimerAudioFade, [this] { TimerAudioFade_Timer(); });
  ResetAudioChannels();
}

AudioChannels::~AudioChannels() {
  for (auto& p : players_) p->disconnect(&TimerAudioFade);
}

bool AudioChannels::isMidi(const QString& name) {
  return name.size() > 4 && name.right(3).compare(QLatin1String("mid"), Qt::CaseInsensitive) == 0;
}

void AudioChannels::startPlayer(int channel, MediaPlayer& player, const QString& windowsPath, qint32 playCount,
                                qint32 volume) {
  player.Stop();
  player.setFileName(windowsPath, module_.hostPathOf(windowsPath));
  player.setVolume(volume);
  player.setPlayCount(playCount);
  player.Play();
  if (soundStarted) soundStarted(channel, windowsPath);
}

void AudioChannels::ResetAudioChannels() {
  TimerAudioFade.stop();
  for (int i = 1; i <= kChannels; ++i) MPlayer(i).Stop();
  for (int k = 1; k <= kChannels; ++k) {
    table_[static_cast<size_t>(k)] = AudioChannel{};
    table_[static_cast<size_t>(k)].PlayerIndex = static_cast<qint16>(k);
  }
  AudioFadeDuration = 0;
  AudioFadeStart = 0;
}

void AudioChannels::StopAnyWavOrMP3() {
  for (int i = 1; i <= kChannels; ++i) {
    MediaPlayer& p = MPlayer(i);
    if (p.playState() == MediaPlayer::kPlaying && isSampledSound(p.fileName())) p.Stop();
  }
}

bool AudioChannels::IsSoundPlaying(const QString& Path) const {
  for (int i = 1; i <= kChannels; ++i) {
    const MediaPlayer& p = *players_[static_cast<size_t>(i)];
    if (p.fileName() == Path && p.playState() == MediaPlayer::kPlaying) return true;
  }
  return false;
}

int AudioChannels::FindFreePlayer() const {
  for (int i = 1; i <= kChannels; ++i)
    if (players_[static_cast<size_t>(i)]->playState() != MediaPlayer::kPlaying) return i;
  return -1;
}

void AudioChannels::StopOtherMidi(int Channel) {
  if (!isMidi((*this)[Channel].SoundFile)) return;
  for (int i = 1; i <= kChannels; ++i)
    if (isMidi(MPlayer(i).fileName())) MPlayer(i).Stop();
}

void AudioChannels::startFaded(int ch, const QString& path) {
  AudioChannel& c = (*this)[ch];
  MediaPlayer& P = playerOfChannel(ch);
  const qint32 count = c.LoopSound ? 0 : 1;
  if (!P.isPlaying()) {
    c.FadingOutPlayer = 0;
    startPlayer(ch, P, path, count, VolumeToPlayer(0));
    return;
  }
  // A cross-fade: the new sound starts on a free player while the old one fades out.
  const int j = FindFreePlayer();
  if (j == -1) {
    // All seven play: the old sound is cut.
    c.FadingOutPlayer = 0;
    startPlayer(ch, P, path, count, VolumeToPlayer(0));
    return;
  }
  c.FadingOutPlayer = c.PlayerIndex;
  c.PlayerIndex = static_cast<qint16>(j);
  startPlayer(ch, MPlayer(j), path, count, VolumeToPlayer(0));
  // The channel that owned the free player takes the old one.
  for (int k = 1; k <= kChannels; ++k)
    if (k != ch && (*this)[k].PlayerIndex == j) (*this)[k].PlayerIndex = c.FadingOutPlayer;
}

void AudioChannels::PlayAudioChannels() {
  const auto failure = runSkippingErrors(QStringLiteral("the sound channels"), [&] {
    for (int ch = 1; ch <= kChannels; ++ch) {
      AudioChannel& c = (*this)[ch];
      QString path;
      bool exists = false;
      if (!c.SoundFile.isEmpty()) {
        path = module_.ResolveProjectFile(module_.paths.AreasPath + c.SoundFile);
        exists = module_.FileExists(path);
      }
      if (!c.FadeChange) {
        MediaPlayer& P = playerOfChannel(ch);
        if (c.ChannelAction == 3) P.Stop();
        if (exists && !(c.KeepIfPlaying && IsSoundPlaying(path))) {
          StopOtherMidi(ch);
          startPlayer(ch, P, path, c.LoopSound ? 0 : 1, VolumeToPlayer(c.ChannelVolume));
        }
        c.SoundFile.clear();
        if (c.ChannelAction == 4) P.setVolume(VolumeToPlayer(c.ChannelVolume));
        c.ChannelAction = 0;
        c.FadingOutPlayer = 0;
        continue;
      }
      // Faded: stops and volume changes are left to AudioFadeStep.
      if (!exists) {
        c.SoundFile.clear();
        continue;
      }
      StopOtherMidi(ch);
      startFaded(ch, path);
      // SoundFile stays set, so that the fade raises the new sound's volume.
    }
  });
  if (failure) showAudioProblem();
  AudioFadeStart = 0;
}

void AudioChannels::AudioFadeStep(double Progress) {
  const double p = Progress;
  bool anyFade = false;
  for (int ch = 1; ch <= kChannels; ++ch) {
    AudioChannel& c = (*this)[ch];
    if (!c.FadeChange) {
      if (p >= 1) {
        c.ChannelAction = 0;
        c.SoundFile.clear();
        c.FadingOutPlayer = 0;
      }
      continue;
    }
    anyFade = true;
    MediaPlayer& P = playerOfChannel(ch);
    if (p < 1) {
      if (c.ChannelAction == 3) P.setVolume(VolumeToPlayer((1 - p) * c.PreviousVolume));
      if (c.ChannelAction == 4)
        P.setVolume(VolumeToPlayer(c.PreviousVolume + (c.ChannelVolume - c.PreviousVolume) * p));
      if (!c.SoundFile.isEmpty()) {
        P.setVolume(VolumeToPlayer(p * c.ChannelVolume));
        if (c.FadingOutPlayer != 0) MPlayer(c.FadingOutPlayer).setVolume(VolumeToPlayer((1 - p) * c.PreviousVolume));
      }
      continue;
    }
    if (c.ChannelAction == 3) P.Stop();
    if (c.ChannelAction == 4) P.setVolume(VolumeToPlayer(c.ChannelVolume));
    if (!c.SoundFile.isEmpty()) {
      P.setVolume(VolumeToPlayer(c.ChannelVolume));
      if (c.FadingOutPlayer != 0) MPlayer(c.FadingOutPlayer).Stop();
    }
    c.ChannelAction = 0;
    c.SoundFile.clear();
    c.FadingOutPlayer = 0;
    c.FadeChange = false;
  }
  if (p >= 1 || !anyFade) TimerAudioFade.stop();
}

void AudioChannels::TimerAudioFade_Timer() {
  const double now = clock();
  if (AudioFadeStart == 0) {
    AudioFadeStart = now;
    return;
  }
  const double elapsed = now - AudioFadeStart;
  if (elapsed >= 0 && elapsed < AudioFadeDuration) {
    AudioFadeStep(elapsed / AudioFadeDuration);
  } else {
    AudioFadeStep(1);
    TimerAudioFade.stop();
  }
}

void ReadOldChannelList(FieldReader& file, const std::function<void(int channel, const OldChannelEntry&)>& each) {
  file.skip(1);
  file.skip(21);
  for (int i = 1; i <= 5; ++i) {
    file.skip(1);
    OldChannelEntry entry;
    entry.stop = booleanOf(file.readVariant());
    entry.play = booleanOf(file.readVariant());
    entry.name = textOf(file.readVariant());
    entry.loop = numberOf(file.readVariant());
    each(i, entry);
    if (IsSeparatorNext(file)) break;
  }
}

void AudioChannels::PlaySoundChannels(FieldReader& file) {
  const auto failure = runSkippingErrors(QStringLiteral("the old sound channel list"), [&] {
    ReadOldChannelList(file, [&](int i, const OldChannelEntry& entry) {
      MediaPlayer& P = playerOfChannel(i);
      if (entry.stop) P.Stop();
      if (entry.play && !entry.name.isEmpty())
        startPlayer(i, P, module_.ResolveProjectFile(module_.paths.AreasPath + entry.name), entry.loop == 0 ? 1 : 0,
                    VolumeToPlayer(8));
    });
  });
  if (failure) module_.ReportError(QStringLiteral(" Unable to load old sound system information. "), *failure);
}

void AudioChannels::showAudioProblem() {
  if (!module_.EverythingStopped && !AudioProblemShown) {
    AudioProblemShown = true;
    module_.MessageBox(
        QStringLiteral("WARNING: Another program may be using the audio hardware resources, an audio file may be "
                       "damaged, or your audio drivers may be unable to play at the same time an audio file and the "
                       "audio track of a video file. Although this error can be safely ignored, it may result in "
                       "some sound files not being played. It is recommended that you close all the other Windows "
                       "applications that are running, and that you restart the program.\r\n\r\nThis message will "
                       "not reappear until you restart the program."),
        msg::OKOnly + msg::Exclamation, QStringLiteral("AUDIO PROBLEM"));
  }
  AudioProblemShown = true;
}

}  // namespace storyloom
