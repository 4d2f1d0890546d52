#pragma once
#include <QString>
#include <functional>

// The call points from the game window into the parts that other modules build (variables,
// inventory, components, water, dialogues, saved games, display modes).
// Each starts as a harmless stand-in; the module that owns a part sets its entries when the
// game window is made.
namespace storyloom {

struct GameParts {
  // Components.
  std::function<void()> ResetComponents = [] {};
  // Dialogues.
  std::function<void()> ResetDialogue = [] {};
  std::function<bool()> DialogueActive = [] { return false; };
  std::function<void(const QString& frameName)> LoadAndShowDialogue = [](const QString&) {};
  // The desktop work area that screen captures are clipped to, read at each reset.
  std::function<void()> ReadDesktopWorkArea = [] {};
  // Rippling water: stop and wait for the last tick, look for the frame's water, start it.
  std::function<void()> StopWaterEffect = [] {};
  std::function<void()> LoadWaveEffectIfAny = [] {};
  std::function<bool()> WaterEffectActive = [] { return false; };
  std::function<void()> StartWaterEffect = [] {};
  // Saved games: until they are built, the menu items and keys say so.
  std::function<void(bool)> ShowLoadGameWindow;
  std::function<void()> ShowSaveGameWindow;
  // Display mode: restored on quit when it was changed for the game.
  std::function<void()> RestoreDisplayModeIfChanged = [] {};
};

}  // namespace storyloom
