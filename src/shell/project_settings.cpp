#include "shell/project_settings.h"

#include "shell/field_reader.h"

namespace storyloom {

void ProjectSettings::ResetProjectSettings() {
  ProjectName = QStringLiteral("None");
  InventorySpacingX = 10;
  InventorySpacingY = 10;
  InventoryEnabled = true;
  InventorySlideDown = true;
  InventorySlideUp = true;
  HideInventoryButtonWhenEmpty = true;
  PopUpInventoryOnPickUp = true;
  UseInventoryGraphics = false;
  InventoryButtonPicture = QStringLiteral("DEFAULT");
  InventoryBackgroundPicture = QStringLiteral("DEFAULT");
  ResolutionMode = 0;
  DefaultPointer = QStringLiteral("DEFAULT");
  MenuAlwaysVisible = false;
  SkipWelcomeWindow = false;
  HideProductLogo = false;
  HideDisableTransitionsItem = false;
  HideDisableEffectsItem = false;
  RemoveMenuBar = false;
  StartupScriptEnabled = false;
  StartupScript.clear();
  FrameScriptEnabled = false;
  FrameScript.clear();
  ChangeResolutionOption = 0;
}

void ProjectSettings::LoadGeneralSettings(FieldReader& f) {
  ResetProjectSettings();
  ProjectName = f.readString();
  f.skip(1);
  GameTitle = f.readString();
  f.skip(1);
  InitialFrame = f.readString();
  VersionText = f.readString();
  ScreenWidth = f.readInteger();
  ScreenHeight = f.readInteger();
  AuthorName = f.readString();
  AuthorEmail = f.readString();
  WebSite = f.readString();
  if (!f.atEnd()) {
    ChangeResolutionOption = 1;
    ChangeResolutionOption = f.readInteger();
  }
  if (!f.atEnd()) {
    f.skip(3);
    SchemeName = f.readString();
  }
  if (!f.atEnd()) {
    f.skip(3);
    DisableLoad = f.readBoolean();
    DisableSave = f.readBoolean();
    f.skip(1);
  }
  if (!f.atEnd()) {
    f.readString();  // field 16, not used
    f.skip(1);
    InventorySpacingX = f.readLong();
    InventorySpacingY = f.readLong();
    InventoryEnabled = f.readBoolean();
    InventorySlideDown = f.readBoolean();
    InventorySlideUp = f.readBoolean();
    HideInventoryButtonWhenEmpty = f.readBoolean();
    PopUpInventoryOnPickUp = f.readBoolean();
    UseInventoryGraphics = f.readBoolean();
    InventoryButtonPicture = f.readString();
    InventoryBackgroundPicture = f.readString();
    ResolutionMode = f.readInteger();
    f.skip(2);
    DefaultPointer = f.readString();
  }
  if (!f.atEnd()) {
    f.skip(2);
    MenuAlwaysVisible = f.readBoolean();
  }
  if (!f.atEnd()) {
    f.skip(1);
    SkipWelcomeWindow = f.readBoolean();
    HideProductLogo = f.readBoolean();
  }
  if (!f.atEnd()) {
    f.skip(1);
    HideDisableTransitionsItem = f.readBoolean();
    if (!f.atEnd()) HideDisableEffectsItem = f.readBoolean();
    if (!f.atEnd()) RemoveMenuBar = f.readBoolean();
  }
  if (!f.atEnd()) {
    f.skip(3);
    StartupScriptEnabled = f.readBoolean();
    StartupScript = BarToQuote(f.readString());
    FrameScriptEnabled = f.readBoolean();
    FrameScript = BarToQuote(f.readString());
  }
}

}  // namespace storyloom
