#pragma once
#include <QString>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

#include "platform/platform_error.h"

// The frame file (.fme): background, music, frame timer, video, sounds, on-load script and
// the channel changes of one frame.
namespace storyloom {

class FieldReader;
class AudioChannels;

struct FrameFile {
  // The five values of one channel record: action, fade flag, loop flag, volume 0-10, file.
  using ChannelSlots = std::array<QVariant, 5>;

  qint16 FrameType = 0;
  QString FramePicture;
  bool FrameTiled = false;
  bool RestartMusic = false;
  QString MusicFile;
  bool FrameTimerEnabled = false;
  QVariant FrameTimerSeconds;
  QString FrameTimerTarget;
  QString VideoFile;
  bool StopAllSounds = false;
  bool StopFrameSoundFirst = false;
  QString FrameSound;
  bool VideoAtOrigin = false;
  bool VideoOriginalSize = false;
  qint32 VideoLeft = 0;
  qint32 VideoTop = 0;
  qint32 VideoWidth = 0;
  qint32 VideoHeight = 0;
  bool LoopMusic = true;
  bool FrameTimerTransition = false;
  qint32 FrameTimerTransitionDuration = 0;
  qint16 FrameTimerTransitionNumber = 0;
  bool OnLoadScriptEnabled = false;
  QString OnLoadScript;
  QVariant ChannelFadeMilliseconds;
  qint16 ValuesPerChannel = 0;
  qint16 ChannelRecordCount = 0;
  // Each record as the shared slots stood after reading it.
  std::vector<ChannelSlots> ChannelRecords;
  bool VideoBeforeTransition = false;

  // Reads the file in its order. Reading stops quietly where an older file ends; a file
  // that ends inside a group, or a value of the wrong type, throws PlatformError with the
  // fields read so far kept. The header (the first three values) is read whole even when
  // one of its values fails; the first failure is thrown after it.
  void read(FieldReader& file);

  // The channel records' changes to the channel table (records 1 to 7).
  void applyChannelRecords(AudioChannels& channels) const;
};

// A frame file as far as it could be read, and what stopped the read early (nothing when
// the file was read to its end or to where an older file ends).
struct FrameFileRead {
  FrameFile file;
  std::optional<PlatformError> failure;
};

// The frame timer's delay in whole milliseconds (half to even); throws PlatformError for
// a value that is no number or is negative.
qint64 frameTimerMilliseconds(const QVariant& seconds);

}  // namespace storyloom
