#pragma once
#include <QString>

#include "hotspots/action_record.h"
#include "state/variables.h"

class QWidget;

// What a hotspot action reaches outside the hotspots: the game window and the parts that
// other modules build (sound channels, video, inventory, transitions, timed events, the
// load and save windows). Every call carries the name the game window gives it; the
// defaults here do nothing, or the least that keeps a game going, until those parts fill
// them in.
namespace storyloom {

class EditorAndGame;
class ProjectVariables;

// The requests a script leaves in the Action object, read after the script has run.
struct ScriptRequests {
  QString sFrameToLoad;
  double dTransDuration = 0;  // seconds
  qint16 iTransitionNumber = 1;
  bool bStopGame = false;
  bool bPopupLoadGame = false;
  bool bPopupSaveGame = false;
  qint16 iHotspotNumber = 0;
  // Clears the requests before a script runs; the hotspot number stays.
  void ResetModule() {
    const qint16 hotspot = iHotspotNumber;
    *this = ScriptRequests();
    iHotspotNumber = hotspot;
  }
};

class ActionHost {
 public:
  virtual ~ActionHost() = default;

  virtual EditorAndGame& module() = 0;
  virtual ProjectVariables& variables() = 0;
  virtual VariablesCollection& Disappear() = 0;
  virtual QString CurrentFrameName() = 0;
  virtual ScriptRequests& VBScriptAction() = 0;
  virtual bool& StopMovie() = 0;

  // The game window
  virtual void OpenFrame(const QString& frame, bool bWithTransition, int iTransNumber, double dTransitionDuration) = 0;
  virtual void ShowOrNotShowAreas() = 0;
  virtual void StartUnloading() {}
  virtual void ShowMenus() {}
  virtual void HideMenus() {}
  virtual bool MenuClicked() { return false; }
  virtual bool IsExitMenuVisible() { return false; }
  virtual void ShowFrameMessage(const QString& text, bool option) { (void)text, (void)option; }
  virtual void SaveClickPos(int xTwips, int yTwips) { (void)xTwips, (void)yTwips; }
  virtual void SetScreenPointerArrow() {}
  virtual void SetScreenPointerDefault() {}
  virtual void ResetGamePointer() {}
  // Frame history: the last entry is the current frame.
  virtual int FramesHistoryCount() = 0;
  virtual QString FramesHistoryLast() = 0;
  virtual void FramesHistoryRemoveLast() = 0;
  virtual void PumpEvents();

  // Scripts
  virtual int ExecuteVBScript(const QString& code, bool bResetLastClickPosition) {
    (void)code, (void)bResetLastClickPosition;
    return 0;
  }

  // Sound channels: players of channels 6 (music) and 7 (mp3 and frame sounds), the
  // channel table and its fade.
  virtual void StopChannelPlayer(int channel) = 0;
  virtual bool IsChannelPlayerPlaying(int channel) = 0;
  virtual void PlayChannelPlayer(int channel, const QString& resolvedFile, int playCount, int volume) = 0;
  virtual void StopAnyWavOrMP3() = 0;
  virtual void PlaySoundChannels(FieldReader& file) = 0;
  virtual void PlayAudioChannels() = 0;
  virtual void EnableTimerAudioFade() = 0;
  virtual void FinishFades() = 0;
  virtual void SetAudioFadeDuration(double seconds) = 0;
  virtual void StoreChannelEntry(int channel, const ChannelEntry& entry) = 0;

  // Video
  virtual void PlayMovieWithStop(const QString& file, bool bStretched, int lLeft, int lTop, int lWidth,
                                 int lHeight) = 0;
  virtual bool IsOneTimeVideoPlaying() = 0;
  // True during the settling pause before a one-time video starts.
  virtual bool PlayMovieBusy() = 0;
  virtual void StopOneTimeVideoPlayer() = 0;

  // Inventory
  virtual void AddPickedObject(const QString& itemName, bool bDoNotPopup) { (void)itemName, (void)bDoNotPopup; }
  virtual void RemovePickedObject(int objectIndex) { (void)objectIndex; }
  virtual void PickOrNotPickObject(int areaIndex) { (void)areaIndex; }
  virtual QString PickedObjectTag(int objectIndex) {
    (void)objectIndex;
    return {};
  }
  virtual bool InventoryMoving() { return false; }
  virtual void InventoryMouseMoveOverFrame() {}

  // Transitions, timed events, saved games
  virtual void TransitionStep1(int iTransNumber) = 0;
  virtual void StartTimedEvents() = 0;
  virtual void ShowLoadGameWindow(bool bAbortIfATimerIsEnabled) = 0;
  virtual void ShowSaveGameWindow() = 0;
};

}  // namespace storyloom
