#pragma once
#include <QtGlobal>

// The numbers of the seven sound channels and the volume scale of their players.
namespace storyloom {

struct ChannelLevels {
  static constexpr int kChannels = 7;
  static constexpr int kMusicChannel = 6;       // frame and action music (MIDI)
  static constexpr int kFrameSoundChannel = 7;  // frame sound and action mp3
  // A level 0-10 (fractions allowed) as the player's volume in hundredths of a decibel:
  // (level - 10) x 400, stored as a Long (half to even). 7.5 gives -1000, 0 gives -4000.
  static qint32 VolumeToPlayer(double level);
};

}  // namespace storyloom
