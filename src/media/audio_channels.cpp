#include "media/audio_channels.h"

#include "shell/editor_and_game.h"

namespace storyloom {

AudioChannels::AudioChannels(EditorAndGame& module) : module_(module) {
  for (int i = 0; i <= kChannels; ++i) players_[i] = std::make_unique<MediaPlayer>();
  ResetAudioChannels();
}

AudioChannels::~AudioChannels() = default;

void AudioChannels::load(MediaPlayer& player, const QString& windowsPath) {
  player.setFileName(windowsPath, module_.hostPathOf(windowsPath));
}

void AudioChannels::ResetAudioChannels() {
  StopAnyWavOrMP3();
  for (int k = 1; k <= kChannels; ++k) {
    table_[k] = AudioChannel{};
    table_[k].PlayerIndex = k;
  }
  AudioFadeDuration = 0;
}

void AudioChannels::StopAnyWavOrMP3() {
  for (int i = 1; i <= kChannels; ++i) players_[i]->Stop();
}

bool AudioChannels::IsSoundPlaying(const QString& fileName) const {
  for (int i = 1; i <= kChannels; ++i)
    if (players_[i]->isPlaying() && players_[i]->fileName() == fileName) return true;
  return false;
}

void AudioChannels::PlaySoundChannels(FieldReader&) {}
void AudioChannels::PlayAudioChannels() {}
void AudioChannels::FinishFade() {}
void AudioChannels::EnableFadeTimer() {}

}  // namespace storyloom
