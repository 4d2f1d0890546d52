#pragma once
#include <QString>
#include <functional>

// The call points from the game window into the parts that other modules build (variables,
// inventory, video, water, dialogues, saved games, display modes).
// Each starts as a harmless stand-in; the module that owns a part sets its entries when the
// game window is made.
namespace storyloom {

struct GameParts {
  // Dialogues.
  std::function<void()> ResetDialogue = [] {};
  std::function<bool()> DialogueActive = [] { return false; };
  std::function<void(const QString& frameName)> LoadAndShowDialogue = [](const QString&) {};
  // Videos.
  std::function<void()> StopOneTimeVideoPlayer = [] {};
  std::function<bool()> IsOneTimeVideoPlaying = [] { return false; };
  std::function<void(const QString& file, bool stretched, qint32 left, qint32 top, qint32 width, qint32 height)>
      PlayMovieWithStop = [](const QString&, bool, qint32, qint32, qint32, qint32) {};
  std::function<void()> RestartLoopingVideos = [] {};
  // The desktop work area that screen captures are clipped to, read at each reset.
  std::function<void()> ReadDesktopWorkArea = [] {};
  // Rippling water: stop and wait for the last tick, look for the frame's water, start it.
  std::function<void()> StopWaterEffect = [] {};
  std::function<void()> LoadWaveEffectIfAny = [] {};
  std::function<bool()> WaterEffectActive = [] { return false; };
  std::function<void()> StartWaterEffect = [] {};
  // Animated pictures: every element above the template is unloaded when the window closes.
  std::function<void()> UnloadAniGifs = [] {};
  // Saved games: until they are built, the menu items and keys say so.
  std::function<void(bool)> ShowLoadGameWindow;
  std::function<void()> ShowSaveGameWindow;
  // Display mode: restored on quit when it was changed for the game.
  std::function<void()> RestoreDisplayModeIfChanged = [] {};
};

}  // namespace storyloom
