#include "game/frame_file.h"

#include "media/audio_channels.h"
#include "platform/conversions.h"
#include "shell/field_reader.h"

namespace storyloom {
void FrameFile::read(FieldReader& f) {
  std::optional<PlatformError> headerFailure;
  auto header = [&](auto&& statement) {
    try {
      statement();
    } catch (const PlatformError& e) {
      if (!headerFailure) headerFailure = e;
    }
  };
  header([&] { FrameType = f.readInteger(); });
  header([&] { FramePicture = f.readString(); });
  header([&] { FrameTiled = f.readBoolean(); });
  if (headerFailure) throw *headerFailure;
  RestartMusic = f.readBoolean();
  MusicFile = f.readString();
  FrameTimerEnabled = f.readBoolean();
  FrameTimerSeconds = f.readVariant();
  FrameTimerTarget = f.readString();
  VideoFile = f.readString();
  f.skip(1);
  if (f.atEnd()) return;
  StopAllSounds = f.readBoolean();
  StopFrameSoundFirst = f.readBoolean();
  FrameSound = f.readString();
  if (f.atEnd()) return;
  f.skip(3);
  VideoAtOrigin = f.readBoolean();
  VideoOriginalSize = f.readBoolean();
  VideoLeft = f.readLong();
  VideoTop = f.readLong();
  VideoWidth = f.readLong();
  VideoHeight = f.readLong();
  if (f.atEnd()) return;
  LoopMusic = f.readBoolean();
  if (f.atEnd()) return;
  FrameTimerTransition = f.readBoolean();
  FrameTimerTransitionDuration = f.readLong();
  if (f.atEnd()) return;
  FrameTimerTransitionNumber = f.readInteger();
  if (f.atEnd()) return;
  OnLoadScriptEnabled = f.readBoolean();
  OnLoadScript = BarToQuote(f.readString());
  if (f.atEnd()) return;
  f.skip(6);
  ChannelFadeMilliseconds = f.readVariant();
  f.readInteger();
  ValuesPerChannel = f.readInteger();
  if (ValuesPerChannel > 5) return;
  ChannelRecordCount = f.readInteger();
  ChannelSlots shared{};
  for (int i = 0; i < ChannelRecordCount; ++i) {
    for (int v = 0; v < ValuesPerChannel; ++v) shared[v] = f.readVariant();
    ChannelRecords.push_back(shared);
  }
  if (f.atEnd()) return;
  VideoBeforeTransition = f.readBoolean();
}

void FrameFile::applyChannelRecords(AudioChannels& channels) const {
  if (ValuesPerChannel > 5) return;
  bool fade = false;
  const int n = std::min<int>(static_cast<int>(ChannelRecords.size()), AudioChannels::kChannels);
  for (int i = 1; i <= n; ++i) {
    const ChannelSlots& r = ChannelRecords[i - 1];
    AudioChannel& c = channels[i];
    const double action = numberOf(r[0]);
    const QString file = textOf(r[4]);
    if ((action > 1 && c.ChannelAction < 2) || (!file.isEmpty() && c.SoundFile.isEmpty())) {
      c.ChannelAction = integerOf(r[0]);
      c.FadeChange = booleanOf(r[1]);
      c.LoopSound = booleanOf(r[2]);
      c.PreviousVolume = c.ChannelVolume;
      c.ChannelVolume = numberOf(r[3]);
      c.SoundFile = file;
      c.KeepIfPlaying = true;
      if (c.FadeChange) fade = true;
    }
  }
  if (fade) channels.AudioFadeDuration = numberOf(ChannelFadeMilliseconds) / 1000.0;
}

qint64 frameTimerMilliseconds(const QVariant& seconds) {
  const double ms = roundHalfEven(numberOf(seconds) * 1000.0);
  if (ms < 0 || ms > 2147483647.0) throw PlatformError::invalidPropertyValue();
  return static_cast<qint64>(ms);
}

}  // namespace storyloom
