#include "hotspots/hotspot_actions.h"

#include <QCoreApplication>

#include "hotspots/record_fields.h"
#include "media/channel_levels.h"
#include "shell/editor_and_game.h"
#include "state/variables.h"

namespace storyloom {

void ActionHost::PumpEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

namespace {

constexpr int kMusicChannel = ChannelLevels::kMusicChannel;
constexpr int kMp3Channel = ChannelLevels::kFrameSoundChannel;
constexpr int kRightButton = 2;

// The "now" effects of a record, done on the game as they are read.
class GameNowEffects : public ActionNowEffects {
 public:
  GameNowEffects(ActionHost& host, int areaIndex, int objectIndex)
      : host_(host), areaIndex_(areaIndex), objectIndex_(objectIndex) {}
  void ChangeVariableValue(const QString& name, qint16 value) override {
    host_.variables().ChangeVariableValue(name, value);
  }
  void HideHotspot() override {
    if (objectIndex_ == 0)
      host_.Disappear().Add(host_.CurrentFrameName(), static_cast<qint16>(areaIndex_));
    else
      host_.RemovePickedObject(objectIndex_);
  }
  void StopMidi() override { host_.StopChannelPlayer(kMusicChannel); }
  void StopAnyWavOrMP3() override { host_.StopAnyWavOrMP3(); }
  void SetAudioFadeDuration(double seconds) override { host_.SetAudioFadeDuration(seconds); }
  void StoreChannelEntry(int channel, const ChannelEntry& entry) override { host_.StoreChannelEntry(channel, entry); }
  void AddPickedObject(const QString& itemName) override { host_.AddPickedObject(itemName, false); }

 private:
  ActionHost& host_;
  int areaIndex_;
  int objectIndex_;
};

}  // namespace

void HotspotActions::Area_MouseDown(int Index, int Button, int xTwips, int yTwips, int areaLeftTwips,
                                    int areaTopTwips) {
  host_.SaveClickPos(areaLeftTwips + xTwips, areaTopTwips + yTwips);
  AreaClick(Index, Button);
  EditorAndGame::WaitSeconds(0.1);
  host_.ResetGamePointer();
}

void HotspotActions::Area_MouseMove() { host_.InventoryMouseMoveOverFrame(); }

void HotspotActions::Area_DragDrop(int Index, int objectIndex, int xTwips, int yTwips) {
  if (objectIndex <= 0) return;
  host_.SaveClickPos(xTwips, yTwips);
  MakeActionAndConsequences(Index, objectIndex);
}

void HotspotActions::AreaClick(int AreaIndex, int Button) {
  EditorAndGame& module = host_.module();
  if (module.EverythingStopped) return;
  host_.StopMovie() = true;
  module.UserInterrupt = true;
  if (host_.IsOneTimeVideoPlaying() || host_.PlayMovieBusy() || host_.InventoryMoving()) return;
  if (Button == kRightButton) {
    if (!host_.IsExitMenuVisible())
      host_.ShowMenus();
    else if (!host_.MenuClicked())
      host_.HideMenus();
    return;
  }
  if (host_.MenuClicked()) {
    host_.HideMenus();
    return;
  }
  host_.HideMenus();
  host_.PickOrNotPickObject(AreaIndex);
  host_.FinishFades();
  MakeActionAndConsequences(AreaIndex, 0);
  host_.StopOneTimeVideoPlayer();
}

void HotspotActions::MakeActionAndConsequences(int AreaIndex, int ObjectIndex) {
  if (MakeAction(AreaIndex, ObjectIndex) == Quit) host_.StartUnloading();
}

void HotspotActions::ResolveLastVisitedFrame(ScriptRequests& requests) {
  if (requests.sFrameToLoad.toLower() != QLatin1String("last visited frame")) return;
  if (host_.FramesHistoryCount() >= 2) {
    host_.FramesHistoryRemoveLast();
    requests.sFrameToLoad = host_.FramesHistoryLast();
  } else {
    requests.sFrameToLoad.clear();
  }
}

qint16 HotspotActions::MakeAction(int AreaIndex, int ObjectIndex) {
  EditorAndGame& module = host_.module();
  host_.StopMovie() = true;
  module.UserInterrupt = true;
  module.EverythingStopped = false;
  std::optional<FieldReader> file;
  try {
    return PerformAction(AreaIndex, ObjectIndex, file);
  } catch (...) {
    file.reset();
    if (!module.EverythingStopped) {
      const QString description = PlatformError::current().text();
      module.ReportError(QStringLiteral(" Unable to make the action associated with the hotspot #") +
                             QString::number(AreaIndex) + QStringLiteral(". "),
                         description);
    }
    return Nothing;
  }
}

qint16 HotspotActions::PerformAction(int AreaIndex, int ObjectIndex, std::optional<FieldReader>& file) {
  EditorAndGame& module = host_.module();
  const QString frame = host_.CurrentFrameName();
  if (ObjectIndex == 0)
    file = OpenHotspotAction(module, frame, AreaIndex);
  else
    file = OpenItemAction(module, frame, AreaIndex, host_.PickedObjectTag(ObjectIndex), module.EverythingStopped);
  if (!file) return Nothing;

  GameNowEffects effects(host_, AreaIndex, ObjectIndex);
  const ActionRecord r = ReadActionRecord(*file, effects);
  file.reset();
  if (r.QuitGame) return Quit;
  if (module.EverythingStopped) return Nothing;

  ScriptRequests& requests = host_.VBScriptAction();
  requests.ResetModule();
  if (!r.ScriptText.isEmpty() && r.RunScript) {
    requests.iHotspotNumber = static_cast<qint16>(AreaIndex);
    host_.ExecuteVBScript(r.ScriptText, false);
    if (requests.bStopGame) return Quit;
  }
  if (module.EverythingStopped) return Nothing;

  // Music and mp3
  if (r.PlayMidi && !r.MidiFile.isEmpty()) {
    if (!host_.IsChannelPlayerPlaying(kMusicChannel) || r.StopMidi != 0) {
      host_.StopChannelPlayer(kMusicChannel);
      host_.PlayChannelPlayer(kMusicChannel, module.ResolveProjectFile(module.paths.AreasPath + r.MidiFile),
                              r.LoopMidi ? 0 : 1, ChannelLevels::VolumeToPlayer(7.0));
    }
  }
  if (r.PlayMp3) {
    host_.StopChannelPlayer(kMp3Channel);
    host_.PlayChannelPlayer(kMp3Channel, module.ResolveProjectFile(module.paths.FramesPath + r.Mp3File), 1,
                            ChannelLevels::VolumeToPlayer(8.0));
  } else if (r.StopMp3 && r.StopWavMp3 == 0) {
    host_.StopChannelPlayer(kMp3Channel);
  }

  if (module.EverythingStopped) return Nothing;
  if (r.StopWavMp3 == 0 && ObjectIndex == 0) {
    if (auto sounds = OpenHotspotSounds(module, frame, AreaIndex)) host_.PlaySoundChannels(*sounds);
  }

  // Whether a frame change follows, with or without a transition.
  const bool longHistory = host_.FramesHistoryCount() >= 2;
  // A request for the last visited frame that the history cannot meet is dropped below, so
  // it does not count as a frame change here either (the channel sounds must still start).
  const bool unmetGoBack = requests.sFrameToLoad.toLower() == QLatin1String("last visited frame") && !longHistory;
  const bool scriptFrame = !requests.sFrameToLoad.isEmpty() && !unmetGoBack;
  const bool goBack = r.GoBack && r.GoToAnotherFrame == 0 && longHistory;
  const bool changeWithout = (scriptFrame && requests.dTransDuration == 0) ||
                             (r.GoToAnotherFrame != 0 && !r.UseTransitionIsOne) || (goBack && !r.UseTransitionIsOne);
  const bool changeWith = (scriptFrame && requests.dTransDuration != 0) ||
                          (r.GoToAnotherFrame != 0 && r.UseTransitionIsOne) || (goBack && r.UseTransitionIsOne);
  if (r.PlayMovie != 0 || !(changeWithout || changeWith)) {
    host_.PlayAudioChannels();
    host_.EnableTimerAudioFade();
  }

  if (module.EverythingStopped) return Nothing;
  if (r.PlayMovie != 0) {
    host_.HideMenus();
    if (!r.MoviePlacementFlag)
      host_.PlayMovieWithStop(r.MovieFile, false, r.MovieLeft, r.MovieTop, 0, 0);
    else if (!r.MovieStretch)
      host_.PlayMovieWithStop(r.MovieFile, false, 0, 0, 0, 0);
    else
      host_.PlayMovieWithStop(r.MovieFile, true, r.MovieLeft, r.MovieTop, r.MovieWidth, r.MovieHeight);
  }

  host_.ShowOrNotShowAreas();
  if (module.EverythingStopped) return Nothing;
  if (r.ShowMessage) host_.ShowFrameMessage(r.MessageText, r.MessageOption);
  if (module.EverythingStopped) return Nothing;

  if (r.PlayMovie != 0) {
    host_.SetScreenPointerArrow();
    while (host_.IsOneTimeVideoPlaying() && !host_.StopMovie()) {
      host_.PumpEvents();
      host_.HideMenus();
      host_.PumpEvents();
    }
    host_.SetScreenPointerDefault();
    host_.StopMovie() = false;
    if (scriptFrame || r.GoToAnotherFrame != 0 || (r.GoBack && host_.FramesHistoryCount() >= 2)) host_.FinishFades();
  }

  if (module.EverythingStopped) return Nothing;
  qint16 result = Nothing;
  ResolveLastVisitedFrame(requests);
  const auto openRecordFrame = [&](const QString& target) {
    if (r.UseTransitionIsOne) {
      host_.TransitionStep1(r.TransitionNumber);
      host_.OpenFrame(target, true, r.TransitionNumber, r.TransitionDuration / 1000);
    } else {
      host_.OpenFrame(target, false, 0, 0);
    }
  };
  if (!requests.sFrameToLoad.isEmpty()) {
    // The request is copied: opening the frame may run scripts that reset it.
    const ScriptRequests asked = requests;
    if (asked.dTransDuration != 0) {
      host_.TransitionStep1(asked.iTransitionNumber);
      host_.OpenFrame(asked.sFrameToLoad, true, asked.iTransitionNumber, asked.dTransDuration);
    } else {
      host_.OpenFrame(asked.sFrameToLoad, false, 0, 0);
    }
    result = FrameOpened;
  } else if (r.GoToAnotherFrame != 0) {
    openRecordFrame(r.TargetFrame);
    result = FrameOpened;
  } else if (r.GoBack && host_.FramesHistoryCount() >= 2) {
    host_.FramesHistoryRemoveLast();
    openRecordFrame(host_.FramesHistoryLast());
    result = FrameOpened;
  }

  if (result != FrameOpened) {
    host_.StartTimedEvents();
    if (requests.bPopupLoadGame)
      host_.ShowLoadGameWindow(false);
    else if (requests.bPopupSaveGame)
      host_.ShowSaveGameWindow();
  }
  return result;
}

int HotspotActions::ExecuteVBScriptAndConsequences(const QString& sText, bool bResetLastClickPosition) {
  ScriptRequests& requests = host_.VBScriptAction();
  requests.ResetModule();
  if (host_.ExecuteVBScript(sText, bResetLastClickPosition) == -1) return -1;
  // Copied: opening the frame may run scripts that reset the requests.
  const ScriptRequests asked = requests;
  if (!ApplyScriptConsequences()) return 0;
  if (asked.bPopupLoadGame)
    host_.ShowLoadGameWindow(false);
  else if (asked.bPopupSaveGame)
    host_.ShowSaveGameWindow();
  return 0;
}

bool HotspotActions::ApplyScriptConsequences() {
  ScriptRequests& requests = host_.VBScriptAction();
  host_.ShowOrNotShowAreas();
  if (requests.bStopGame) {
    host_.StartUnloading();
    return false;
  }
  ResolveLastVisitedFrame(requests);
  const ScriptRequests asked = requests;
  if (!asked.sFrameToLoad.isEmpty()) {
    if (asked.dTransDuration != 0) {
      host_.TransitionStep1(asked.iTransitionNumber);
      host_.OpenFrame(asked.sFrameToLoad, true, asked.iTransitionNumber, asked.dTransDuration);
    } else {
      host_.OpenFrame(asked.sFrameToLoad, false, 0, 0);
    }
  } else {
    host_.StartTimedEvents();
  }
  return true;
}

}  // namespace storyloom
