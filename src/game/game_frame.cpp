// Opening a frame: the frame file, the background, texts, hotspots, scripts, sounds,
// video, effects and the frame timer.
#include <QCoreApplication>
#include <QImageReader>

#include "platform/conversions.h"
#include "dialogue/dialogue.h"
#include "effects/transitions.h"
#include "effects/water.h"
#include "game/frame_file.h"
#include "game/frame_texts.h"
#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "state/inventory.h"
#include "media/animated_pictures.h"
#include "media/audio_channels.h"
#include "media/video.h"
#include "platform/skipped_steps.h"
#include "platform/twips.h"
#include "scripting/script_host.h"
#include "scripting/timed_events.h"
#include "shell/editor_and_game.h"

namespace storyloom {
namespace {

QString describeCurrentError() { return PlatformError::current().text(); }

}  // namespace

FrameFileRead Game::ReadFrameHeader(const QString& frameName) {
  frame.CurrentFrameName = frameName;
  FrameFileRead read;
  read.failure = runSkippingErrors(QStringLiteral("frame file ") + frameName, [&] {
    FieldReader f = module_.OpenFieldFile(module_.paths.FramesPath + frameName + QStringLiteral(".fme"));
    read.file.read(f);
  });
  frame.FrameType = read.file.FrameType;
  frame.FramePicture = read.file.FramePicture;
  frame.FrameTiled = read.file.FrameTiled;
  frame.FrameHotspotCount = ReadHotspotCount(module_, frame.CurrentFrameName);
  return read;
}

QPixmap Game::loadFramePicture(const QString& fileName) {
  const QString path = module_.ResolveProjectFile(module_.paths.FramesPath + fileName);
  if (!module_.FileExists(path)) throw PlatformError::fileNotFound();
  QImageReader reader(module_.hostPathOf(path));
  reader.setAutoTransform(false);
  const QImage image = reader.read();
  if (image.isNull()) throw PlatformError::invalidPicture();
  return QPixmap::fromImage(image);
}

void Game::drawBackground() {
  switch (frame.FrameType) {
    case 1:
      if (frame.FrameTiled)
        BackImage->showTiled(loadFramePicture(frame.FramePicture));
      else
        BackImage->showPicture(loadFramePicture(frame.FramePicture));
      break;
    case 0: {
      // An empty colour field is black, as frames made without a colour have always shown.
      const QString colour = frame.FramePicture.trimmed();
      BackImage->showColour(colorFromNumber(colour.isEmpty() ? 0 : longOf(colour)));
      break;
    }
    default: break;
  }
}

void Game::playFrameMusic(const FrameFile& f) {
  MediaPlayer& music = audio_->playerOfChannel(AudioChannels::kMusicChannel);
  if (f.RestartMusic) music.Stop();
  if (f.MusicFile.isEmpty()) return;
  const QString path = module_.ResolveProjectFile(module_.paths.AreasPath + f.MusicFile);
  if (!f.RestartMusic && audio_->IsSoundPlaying(path)) return;
  audio_->startPlayer(AudioChannels::kMusicChannel, music, path, f.LoopMusic ? 0 : 1, AudioChannels::VolumeToPlayer(7));
}

void Game::playFrameSound(const FrameFile& f) {
  MediaPlayer& sound = audio_->playerOfChannel(AudioChannels::kFrameSoundChannel);
  audio_->startPlayer(AudioChannels::kFrameSoundChannel, sound,
                      module_.ResolveProjectFile(module_.paths.FramesPath + f.FrameSound), 1,
                      AudioChannels::VolumeToPlayer(8));
}

void Game::startFrameVideo(const FrameFile& f) {
  HideMenus();
  StopMovie = false;
  if (f.VideoOriginalSize)
    video_->PlayMovieWithStop(f.VideoFile, false, f.VideoLeft, f.VideoTop, 0, 0);
  else if (f.VideoAtOrigin)
    video_->PlayMovieWithStop(f.VideoFile, false, 0, 0, 0, 0);
  else
    video_->PlayMovieWithStop(f.VideoFile, true, f.VideoLeft, f.VideoTop, f.VideoWidth, f.VideoHeight);
}

void Game::OpenFrame(const QString& frameName, bool bWithTransition, int iTransNumber, double dTransitionDuration) {
  // A copy: callers may pass the current-frame state itself, which the reset clears.
  const QString CurrentFrame = frameName;
  const Transitions::FrameChange transitionOfThisChange(*transitions_, bWithTransition);
  const bool found =
      !CurrentFrame.isEmpty() && module_.FileExists(module_.paths.FramesPath + CurrentFrame + QStringLiteral(".fme"));
  if (frameOpening) frameOpening(CurrentFrame, found);
  // 1. A broken link changes nothing: the previous frame stays and keeps running.
  if (CurrentFrame.isEmpty()) {
    module_.ReportError(QStringLiteral(" A program link is broken."));
    return;
  }
  if (!found) {
    module_.ReportError(QStringLiteral(" A program link is broken. The frame named \"") + CurrentFrame +
                        QStringLiteral("\" was not found. Verify that the 'Initial Frame' exists and that the 'Go "
                                       "to another frame' option in the Hotspot Properties is linked to an "
                                       "existing frame."));
    return;
  }
  ProjectSettings& s = module_.settings;
  bool& stopped = module_.EverythingStopped;
  FrameFileRead read;
  const FrameFile& f = read.file;
  try {
    // 2. Reset.
    Timer1.stop();
    Timer1.setInterval(0);
    timedEvents_->ResetTimedEvents();
    MergedHotspotIndex = 1;
    texts_->MergedTextIndex = 1;
    frame.ResetFrameState();
    read = ReadFrameHeader(CurrentFrame);
    if (stopped) return;
    // 3. Whether scripts get the window's controls is decided at the first frame of a game.
    if (AllowControlsReferences == 0) AllowControlsReferences = vars.HasAllowControlsReferencesVariable() ? 2 : 1;
    // 4.
    FramesHistory.FramesHistoryAdd(CurrentFrame);
    if (stopped) return;
    // 5. The frame file, read with the header: a read that failed fails the frame here.
    if (read.failure) throw *read.failure;
    frame.FrameTimerTransition = f.FrameTimerTransition;
    frame.FrameTimerTransitionDuration = f.FrameTimerTransitionDuration;
    frame.FrameTimerTransitionNumber = f.FrameTimerTransitionNumber;
    f.applyChannelRecords(*audio_);
    // 6. The water effect of the previous frame.
    water_->StopWaterEffect();
    if (stopped) return;
    // 7. A video that starts before the transition.
    const bool video = !f.VideoFile.isEmpty();
    if (video && f.VideoBeforeTransition) {
      video_->StopOneTimeVideoPlayer();
      if (stopped) return;
      startFrameVideo(f);
    }
    // 8.
    if (stopped) return;
    if (f.StopAllSounds) audio_->StopAnyWavOrMP3();
    if (stopped) return;
    // 9. Music.
    if (!f.FrameSound.isEmpty() && f.StopFrameSoundFirst)
      audio_->playerOfChannel(AudioChannels::kFrameSoundChannel).Stop();
    if (stopped) return;
    playFrameMusic(f);
    if (stopped) return;
    // 10.
    texts_->ResetFrameTexts();
    if (stopped) return;
    areas_->ResetFrameAreas();
    if (stopped) return;
    // 11.
    drawBackground();
    // 12.
    if (stopped) return;
    texts_->LoadTexts(frame.CurrentFrameName);
    frame.FrameHotspotCount = ReadHotspotCount(module_, frame.CurrentFrameName);
    if (stopped) return;
    areas_->LoadAreas();
    if (stopped) return;
    // 13, 14. The project's frame script, then the frame's own.
    if (!s.FrameScript.isEmpty() && s.FrameScriptEnabled) {
      scripts_->ExecuteVBScript(s.FrameScript, true);
      if (scripts_->StopGameRequested()) {
        StartUnloading();
        return;
      }
    }
    if (stopped) return;
    if (!f.OnLoadScript.isEmpty() && f.OnLoadScriptEnabled) {
      scripts_->ExecuteVBScript(f.OnLoadScript, true);
      if (scripts_->StopGameRequested()) {
        StartUnloading();
        return;
      }
    }
    if (stopped) return;
    // 15.
    areas_->ShowOrNotShowAreas();
    if (stopped) return;
    // 16. The old channel list.
    const QString chn = module_.paths.FramesPath + frame.CurrentFrameName + QStringLiteral(".chn");
    if (!f.StopAllSounds && module_.FileExists(chn)) {
      FieldReader list = module_.OpenFieldFile(chn);
      audio_->PlaySoundChannels(list);
    }
    if (stopped) return;
    // 17. The frame sound.
    if (!f.FrameSound.isEmpty()) playFrameSound(f);
    if (stopped) return;
    // 18.
    const bool videoAfter = video && (!f.VideoBeforeTransition || bWithTransition);
    if (videoAfter) video_->StopOneTimeVideoPlayer();
    if (stopped) return;
    // 19.
    const bool effects = !mnuDisableEffects->isChecked();
    if (effects && water_->FrameTakesWater()) water_->LoadWaveEffectIfAny(frame.CurrentFrameName);
    // 20. Sounds, the transition, the dialogue.
    audio_->PlayAudioChannels();
    if (bWithTransition) transitions_->TransitionStep2(iTransNumber, dTransitionDuration);
    audio_->EnableTimerAudioFade();
    dialogue_->LoadFrameDialogueIfAny();
    if (stopped) return;
    // 21.
    if (videoAfter) startFrameVideo(f);
    if (stopped) return;
    // 22. The wait for the video; pending events run, nothing spins while none arrive.
    SetScreenPointerArrow();
    if (video_->IsOneTimeVideoPlaying() && !StopMovie) {
      QTimer wake;
      wake.start(50);
      while (video_->IsOneTimeVideoPlaying() && !StopMovie) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        HideMenus();
        QCoreApplication::processEvents();
      }
    }
    SetScreenPointerDefault();
    video_->StopOneTimeVideoPlayer();
    StopMovie = false;
    video_->RestartLoopingVideos();
    if (stopped) return;
    if (effects) water_->StartRipplingWater();
    if (stopped) return;
  } catch (...) {
    // 24. The frame is left half built.
    if (!stopped)
      module_.ReportError(QStringLiteral(" Unable to load the frame called '") + CurrentFrame +
                              QStringLiteral("'. Verify that the 'Initial Frame' exists and that the 'Go to another "
                                             "frame' option in the Hotspot Properties is linked to an existing "
                                             "frame. "),
                          describeCurrentError());
    return;
  }
  // 23. The frame timer.
  if (f.FrameTimerEnabled) {
    Timer1Tag = f.FrameTimerTarget;
    try {
      const qint64 ms = frameTimerMilliseconds(f.FrameTimerSeconds);
      Timer1.setInterval(static_cast<int>(std::min<qint64>(ms, 2147483647)));
      // An interval of 0 never fires.
      if (ms > 0) Timer1.start();
    } catch (const std::exception&) {
      module_.ReportError(QStringLiteral(" Unable to load timer duration."));
    }
  }
  timedEvents_->StartTimedEvents();
}

void Game::Timer1_Timer() {
  runSkippingErrors(QStringLiteral("the frame timer"), [&] {
    if (inventory().InventoryMoving) {
      Timer1.start(1000);
      return;
    }
    if (module_.EverythingStopped) {
      Timer1.stop();
      return;
    }
    audio_->FinishFades();
    const std::optional<QString> target = FrameTimerTarget(Timer1Tag, FramesHistory);
    if (!target) return;
    // The timer fires once per frame visit: opening the target restarts it as that frame
    // says, and a target that cannot be opened is reported once instead of at every interval
    // (under a message box that stays up, the reports would pile up on one another).
    Timer1.stop();
    if (!frame.FrameTimerTransition) {
      OpenFrame(*target, false, 0, 0);
    } else {
      transitions_->TransitionStep1(frame.FrameTimerTransitionNumber);
      OpenFrame(*target, true, frame.FrameTimerTransitionNumber, frame.FrameTimerTransitionDuration / 1000.0);
    }
  });
}

}  // namespace storyloom
