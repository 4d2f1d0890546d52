#pragma once
#include <QString>

// The project's settings from Config\General.
namespace storyloom {

class FieldReader;

struct ProjectSettings {
  QString ProjectName;
  QString GameTitle;
  QString InitialFrame;
  QString VersionText;
  qint16 ScreenWidth = 0;
  qint16 ScreenHeight = 0;
  QString AuthorName;
  QString AuthorEmail;
  QString WebSite;
  qint16 ChangeResolutionOption = 0;
  QString SchemeName;
  bool DisableLoad = false;
  bool DisableSave = false;
  qint32 InventorySpacingX = 0;
  qint32 InventorySpacingY = 0;
  bool InventoryEnabled = false;
  bool InventorySlideDown = false;
  bool InventorySlideUp = false;
  bool HideInventoryButtonWhenEmpty = false;
  bool PopUpInventoryOnPickUp = false;
  bool UseInventoryGraphics = false;
  QString InventoryButtonPicture;
  QString InventoryBackgroundPicture;
  qint16 ResolutionMode = 0;
  QString DefaultPointer;
  bool MenuAlwaysVisible = false;
  bool SkipWelcomeWindow = false;
  bool HideProductLogo = false;
  bool HideDisableTransitionsItem = false;
  bool HideDisableEffectsItem = false;
  bool RemoveMenuBar = false;
  bool StartupScriptEnabled = false;
  QString StartupScript;
  bool FrameScriptEnabled = false;
  QString FrameScript;

  void ResetProjectSettings();
  // Reads the settings file in its order, stopping quietly where an older file ends.
  // A read error (a missing field, a wrong type) leaves the fields read so far and the
  // defaults for the rest, and is thrown to the caller as PlatformError.
  void LoadGeneralSettings(FieldReader& file);
};

}  // namespace storyloom
