#include "hotspots/action_record.h"

#include <vector>

#include "hotspots/record_fields.h"
#include "media/channel_levels.h"
#include "platform/conversions.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

void ReadVariableList(FieldReader& file, ActionRecord& r, ActionNowEffects& effects, qint16 value) {
  const int n = integerOf(file.readVariant());
  for (int k = 0; k < n; ++k) {
    const QString name = file.readString();
    if (r.ChangeVariables != 0 && !name.isEmpty()) effects.ChangeVariableValue(name, value);
  }
}

}  // namespace

ActionRecord ReadActionRecord(FieldReader& file, ActionNowEffects& effects) {
  ActionRecord r;
  // A
  r.ChangeVariable = file.readInteger();
  r.VariableName = file.readString();
  const bool changeOne = r.ChangeVariable != 0 && !r.VariableName.isEmpty();
  if (booleanOf(file.readVariant()) && changeOne) effects.ChangeVariableValue(r.VariableName, 0);
  if (booleanOf(file.readVariant()) && changeOne) effects.ChangeVariableValue(r.VariableName, 1);
  if (booleanOf(file.readVariant()) && changeOne) effects.ChangeVariableValue(r.VariableName, -1);
  r.ShowMessage = booleanOf(file.readVariant());
  r.MessageText = textOf(file.readVariant());
  file.readInteger();
  file.readString();
  r.HideHotspot = booleanOf(file.readVariant());
  if (r.HideHotspot) effects.HideHotspot();
  r.QuitGame = booleanOf(file.readVariant());
  if (r.QuitGame) return r;
  r.GoToAnotherFrame = file.readInteger();
  r.TargetFrame = file.readString();
  // B
  if (IsSeparatorNext(file)) return r;
  r.StopMidi = file.readInteger();
  if (r.StopMidi != 0) effects.StopMidi();
  r.StopWavMp3 = file.readInteger();
  if (r.StopWavMp3 != 0) effects.StopAnyWavOrMP3();
  r.PlayMovie = file.readInteger();
  r.MovieFile = file.readString();
  r.MovieStretch = file.readBoolean();
  r.MoviePlacementFlag = file.readBoolean();
  r.MovieLeft = file.readInteger();
  r.MovieTop = file.readInteger();
  r.MovieWidth = file.readInteger();
  r.MovieHeight = file.readInteger();
  // M
  if (IsSeparatorNext(file)) return r;
  r.StopMp3 = booleanOf(file.readVariant());
  r.PlayMidi = booleanOf(file.readVariant());
  r.MidiFile = textOf(file.readVariant());
  r.PlayMp3 = booleanOf(file.readVariant());
  r.Mp3File = textOf(file.readVariant());
  // D
  if (IsSeparatorNext(file)) return r;
  file.skip(3);
  r.GoBack = booleanOf(file.readVariant());
  // E
  if (IsSeparatorNext(file)) return r;
  file.skip(3);
  r.MessageOption = booleanOf(file.readVariant());
  // F
  if (IsSeparatorNext(file)) return r;
  file.skip(3);
  r.ChangeVariables = file.readInteger();
  ReadVariableList(file, r, effects, 0);
  ReadVariableList(file, r, effects, 1);
  ReadVariableList(file, r, effects, -1);
  // H
  if (IsSeparatorNext(file)) return r;
  r.LoopMidi = file.readBoolean();
  if (IsSeparatorNext(file)) return r;
  r.UseTransitionIsOne = numberOf(file.readVariant()) == 1;
  r.TransitionDuration = file.readDouble();
  // I
  if (IsSeparatorNext(file)) return r;
  r.RunScript = file.readBoolean();
  r.ScriptText = BarToQuote(textOf(file.readVariant()));
  if (IsSeparatorNext(file)) return r;
  r.TransitionNumber = file.readInteger();
  // J
  if (IsSeparatorNext(file)) return r;
  file.skip(6);
  r.HasFadeDuration = true;
  r.FadeDurationSeconds = numberOf(file.readVariant()) / 1000;
  effects.SetAudioFadeDuration(r.FadeDurationSeconds);
  // K
  file.readInteger();
  r.ChannelValueCount = file.readInteger();
  if (r.ChannelValueCount > 5) return r;
  r.ChannelEntryCount = file.readInteger();
  std::vector<QVariant> values(5);
  for (int s = 1; s <= r.ChannelEntryCount; ++s) {
    std::fill(values.begin(), values.end(), QVariant());
    for (int v = 0; v < r.ChannelValueCount; ++v) values[static_cast<size_t>(v)] = file.readVariant();
    if (s > ChannelLevels::kChannels) throw PlatformError::subscriptOutOfRange();
    ChannelEntry entry;
    entry.Mode = integerOf(values[0]);
    entry.Flag1 = booleanOf(values[1]);
    entry.Flag2 = booleanOf(values[2]);
    entry.Volume = numberOf(values[3]);
    entry.SoundFile = textOf(values[4]);
    effects.StoreChannelEntry(s, entry);
  }
  // L
  if (IsSeparatorNext(file)) return r;
  r.PickUpItem = file.readBoolean();
  r.ItemName = file.readString();
  if (r.PickUpItem) effects.AddPickedObject(r.ItemName);
  return r;
}

std::optional<FieldReader> OpenHotspotAction(EditorAndGame& module, const QString& frameName, int areaIndex) {
  const QString path = module.MergedOrOwnFrameFile(frameName, QStringLiteral(".mr3"), QStringLiteral(".fm3"));
  if (path.isEmpty() || areaIndex < 1) return std::nullopt;
  FieldReader file = module.OpenFieldFile(path);
  for (int k = 1; k < areaIndex && !file.atEnd(); ++k) SkipToSeparator(file);
  if (file.atEnd()) return std::nullopt;
  file.skip(10);
  return file;
}

std::optional<FieldReader> OpenItemAction(EditorAndGame& module, const QString& frameName, int areaIndex,
                                          const QString& itemName, const bool& everythingStopped) {
  const QString path = module.paths.FramesDataPath + frameName + QStringLiteral(".fm0");
  if (!module.FileExists(path)) return std::nullopt;
  FieldReader file = module.OpenFieldFile(path);
  const QString key = QString::number(areaIndex) + '_' + itemName + QStringLiteral(".drg");
  while (!file.atEnd() && !everythingStopped) {
    file.skip(1);
    if (file.readString().compare(key, Qt::CaseInsensitive) == 0) {
      file.skip(8);
      return file;
    }
    SkipToSeparator(file);
  }
  return std::nullopt;
}

std::optional<FieldReader> OpenHotspotSounds(EditorAndGame& module, const QString& frameName, int areaIndex) {
  const QString path = module.paths.FramesDataPath + frameName + QStringLiteral(".fm5");
  if (!module.FileExists(path)) return std::nullopt;
  FieldReader file = module.OpenFieldFile(path);
  while (!file.atEnd()) {
    file.skip(1);
    if (file.readInteger() == areaIndex) {
      file.skip(8);
      return file;
    }
    SkipToSeparator(file);
  }
  return std::nullopt;
}

}  // namespace storyloom
