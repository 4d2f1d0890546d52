#pragma once
#include <QString>
#include <QVariant>
#include <optional>

#include "shell/field_reader.h"

// The action files of a frame: ".mr3"/".fm3" (one record per hotspot), ".fm0" (an item
// dropped on a hotspot) and ".fm5" (channel sounds of a hotspot), and the action record.
namespace storyloom {

class EditorAndGame;

// One channel entry of an action: stored into the channel of the same number.
struct ChannelEntry {
  qint16 Mode = 0;
  bool Flag1 = false;  // fade
  bool Flag2 = false;  // loop
  double Volume = 0;   // level 0-10
  QString SoundFile;
};

// The effects that happen while the record is read, in file order.
class ActionNowEffects {
 public:
  virtual ~ActionNowEffects() = default;
  virtual void ChangeVariableValue(const QString& name, qint16 value) = 0;
  virtual void HideHotspot() = 0;
  virtual void StopMidi() = 0;
  virtual void StopAnyWavOrMP3() = 0;
  virtual void SetAudioFadeDuration(double seconds) = 0;
  virtual void StoreChannelEntry(int channel, const ChannelEntry& entry) = 0;
  virtual void AddPickedObject(const QString& itemName) = 0;
};

struct ActionRecord {
  // A
  qint16 ChangeVariable = 0;
  QString VariableName;
  bool ShowMessage = false;
  QString MessageText;
  bool HideHotspot = false;
  bool QuitGame = false;
  qint16 GoToAnotherFrame = 0;
  QString TargetFrame;
  // B
  qint16 StopMidi = 0;
  qint16 StopWavMp3 = 0;
  qint16 PlayMovie = 0;
  QString MovieFile;
  bool MovieStretch = false;
  bool MoviePlacementFlag = false;
  qint16 MovieLeft = 0, MovieTop = 0, MovieWidth = 0, MovieHeight = 0;
  // M
  bool StopMp3 = false;
  bool PlayMidi = false;
  QString MidiFile;
  bool PlayMp3 = false;
  QString Mp3File;
  // D, E
  bool GoBack = false;
  bool MessageOption = false;
  // F
  qint16 ChangeVariables = 0;
  // H
  bool LoopMidi = false;
  bool UseTransitionIsOne = false;  // UseTransition = 1
  double TransitionDuration = 0;    // milliseconds
  // I
  bool RunScript = false;
  QString ScriptText;  // with "|" already turned into double quotes
  qint16 TransitionNumber = 0;
  // J
  bool HasFadeDuration = false;
  double FadeDurationSeconds = 0;
  // K
  qint16 ChannelValueCount = 0;
  qint16 ChannelEntryCount = 0;
  // L
  bool PickUpItem = false;
  QString ItemName;
};

// Reads the record that starts after the header at the file's position, calling the "now"
// effects as their fields are read. Older records end early at the checked places; what
// is missing stays 0, False or empty. A quit ends the reading at once (QuitGame set).
// A bad field, or a channel entry beyond the seven channels, raises PlatformError; the
// effects already called stay done.
ActionRecord ReadActionRecord(FieldReader& file, ActionNowEffects& effects);

// Positions the hotspot action file (".mr3" before ".fm3") at the action of hotspot
// areaIndex, after its header. Nothing when the file or the record does not exist.
std::optional<FieldReader> OpenHotspotAction(EditorAndGame& module, const QString& frameName, int areaIndex);
// Positions the ".fm0" file at the record keyed areaIndex & "_" & itemName & ".drg" (any
// case), after its header. Nothing when there is none.
std::optional<FieldReader> OpenItemAction(EditorAndGame& module, const QString& frameName, int areaIndex,
                                          const QString& itemName, const bool& everythingStopped);
// Positions the ".fm5" file at the channel data of hotspot areaIndex.
std::optional<FieldReader> OpenHotspotSounds(EditorAndGame& module, const QString& frameName, int areaIndex);

}  // namespace storyloom
