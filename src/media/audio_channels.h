#pragma once
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "media/channel_levels.h"
#include "platform/media_player.h"

// The seven audio channels of the game window: the channel table that frames and actions
// fill in, the seven media players that play them (MPlayer elements 1 to 7), and the fades
// between volumes and sounds. Channel 6 plays the frame music and channel 7 the frame
// sound. A channel plays on the player its PlayerIndex names; a cross-fade moves a channel
// to a free player while the old one fades out, and the owner of the free player takes the
// old one, so that no two channels ever share a player.
namespace storyloom {

class EditorAndGame;
class FieldReader;

struct AudioChannel {
  qint16 ChannelAction = 0;  // 3 stop, 4 change the volume, anything else: only SoundFile
  QString SoundFile;         // in the Areas folder; not empty: play it on this channel
  bool FadeChange = false;   // the change is faded over AudioFadeDuration
  bool LoopSound = false;
  qint16 PlayerIndex = 0;      // the MPlayer element this channel plays on
  qint16 FadingOutPlayer = 0;  // during a cross-fade, the element whose old sound fades out
  double PreviousVolume = 0;   // levels 0-10
  double ChannelVolume = 0;
  bool KeepIfPlaying = false;  // a player that already plays this file is left playing
};

// One channel of an old five-channel list (a frame's .chn or a hotspot's .fm5 record).
struct OldChannelEntry {
  bool stop = false;
  bool play = false;
  QString name;  // in the Areas folder
  double loop = 0;
};
// Reads an old five-channel list from the file's position, handing each channel (1 to 5)
// to `each` as it is read; a list ends early at a separator. A damaged list throws the
// read's PlatformError once the channels before the damage were handed on.
void ReadOldChannelList(FieldReader& file, const std::function<void(int channel, const OldChannelEntry&)>& each);

class AudioChannels : public ChannelLevels {
 public:
  explicit AudioChannels(EditorAndGame& module);
  ~AudioChannels();

  // Element k (1 to 7) of the channel table; element 0 is unused.
  AudioChannel& operator[](int k) { return table_.at(static_cast<size_t>(k)); }
  const AudioChannel& operator[](int k) const { return table_.at(static_cast<size_t>(k)); }
  // The media player of channel k (through its PlayerIndex).
  MediaPlayer& playerOfChannel(int k) { return MPlayer(table_.at(static_cast<size_t>(k)).PlayerIndex); }
  // MPlayer(1) to MPlayer(7).
  MediaPlayer& MPlayer(int index) { return *players_.at(static_cast<size_t>(index)); }

  // Starts a file (a Windows path, already looked up) on a player from its beginning:
  // stop, load, play count, volume, play. The channel is the one the player plays for.
  void startPlayer(int channel, MediaPlayer& player, const QString& windowsPath, qint32 playCount, qint32 volume);

  // Stops players 1 to 7 and gives channel i player i; pending changes and fades end.
  void ResetAudioChannels();
  // Stops every player that plays a sampled sound (wav, mp3, wma, ogg, au, snd, rmi, mpa,
  // mp2, wm, asf); MIDI keeps playing.
  void StopAnyWavOrMP3();
  // Whether a player 1 to 7 plays exactly this file name (case counts).
  bool IsSoundPlaying(const QString& Path) const;
  // The first of players 1 to 7 that is not playing; -1 when all seven play.
  int FindFreePlayer() const;
  // When the channel's new sound is a MIDI file, stops every player with a MIDI file.
  void StopOtherMidi(int Channel);
  // Reads an old five-channel list from the file's position (a frame's .chn or a hotspot's
  // .fm5 record) and plays it. A failure is reported and ends the reading.
  void PlaySoundChannels(FieldReader& file);
  // Carries out the pending changes of channels 1 to 7: immediate ones at once, faded ones
  // started at volume 0 for AudioFadeStep to raise.
  void PlayAudioChannels();
  // Applies a fade progress 0..1 to every fading channel; 1 or more completes every
  // pending change.
  void AudioFadeStep(double Progress);
  // Completes every pending change at once.
  void FinishFades() { AudioFadeStep(1); }
  // Starts TimerAudioFade; its first tick records the start of the fade.
  void EnableTimerAudioFade() { TimerAudioFade.start(); }
  // One tick of TimerAudioFade.
  void TimerAudioFade_Timer();

  double AudioFadeDuration = 0;  // seconds
  double AudioFadeStart = 0;     // clock reading in seconds; 0: the fade has not begun
  bool AudioProblemShown = false;
  QTimer TimerAudioFade;  // 100 ms

  // The clock the fade runs on, in seconds (never 0); tests may replace it.
  std::function<double()> clock;
  // Told of every file a channel starts (walkthrough log).
  std::function<void(int channel, const QString& windowsPath)> soundStarted;

 private:
  // The player's file is a MIDI file (name longer than 4 characters ending in "mid").
  static bool isMidi(const QString& name);
  void startFaded(int ch, const QString& path);
  void showAudioProblem();

  EditorAndGame& module_;
  std::array<AudioChannel, kChannels + 1> table_{};
  std::array<std::unique_ptr<MediaPlayer>, kChannels + 1> players_{};
};

}  // namespace storyloom
