#pragma once
#include <QString>
#include <array>
#include <memory>

#include "media/channel_levels.h"
#include "platform/media_player.h"

// The seven audio channels of the game window: the channel table that frames and actions
// fill in, and the media players that play them (MPlayer elements 1 to 7). Channel 6 plays
// the frame music and channel 7 the frame sound.
namespace storyloom {

class EditorAndGame;
class FieldReader;

struct AudioChannel {
  qint16 ChannelAction = 0;
  bool FadeChange = false;
  bool LoopSound = false;
  double PreviousVolume = 0;  // levels 0-10
  double ChannelVolume = 0;
  QString SoundFile;
  bool KeepIfPlaying = false;
  int PlayerIndex = 0;
};

class AudioChannels : public ChannelLevels {
 public:
  explicit AudioChannels(EditorAndGame& module);
  ~AudioChannels();

  // Element k (1 to 7) of the channel table; element 0 is unused.
  AudioChannel& operator[](int k) { return table_.at(k); }
  // The media player of channel k (through its PlayerIndex).
  MediaPlayer& playerOfChannel(int k) { return *players_.at(table_.at(k).PlayerIndex); }
  MediaPlayer& MPlayer(int index) { return *players_.at(index); }

  // Loads a sound into a player, resolving the Windows path to the host file.
  void load(MediaPlayer& player, const QString& windowsPath);

  void ResetAudioChannels();
  // Stops every sampled sound.
  void StopAnyWavOrMP3();
  // Whether any player plays exactly this file name.
  bool IsSoundPlaying(const QString& fileName) const;
  // Reads a frame's old channel list (.chn) and applies it.
  void PlaySoundChannels(FieldReader& file);
  // Plays what the channel table asks for.
  void PlayAudioChannels();
  // Ends a running fade at once.
  void FinishFade();
  // Starts the fade timer after a frame change.
  void EnableFadeTimer();

  double AudioFadeDuration = 0;  // seconds
  bool AudioProblemShown = false;

 private:
  EditorAndGame& module_;
  std::array<AudioChannel, kChannels + 1> table_{};
  std::array<std::unique_ptr<MediaPlayer>, kChannels + 1> players_{};
};

}  // namespace storyloom
