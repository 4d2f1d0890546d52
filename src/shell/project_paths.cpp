#include "shell/project_paths.h"

namespace storyloom {

void ProjectPaths::setFromProjectFolder(const QString& windowsFolder) {
  ProjectPath = windowsFolder.endsWith('\\') ? windowsFolder : windowsFolder + '\\';
  FramesDataPath = ProjectPath + QStringLiteral("FramesData\\");
  FramesPath = ProjectPath + QStringLiteral("Frames\\");
  AreasPath = ProjectPath + QStringLiteral("Areas\\");
  IconsPath = ProjectPath + QStringLiteral("Icons\\");
  ConfigPath = ProjectPath + QStringLiteral("Config\\");
  TempPath = ProjectPath + QStringLiteral("Temp\\");
  if (SchemesPath.isEmpty()) SchemesPath = ProjectPath + QStringLiteral("Schemes\\");
  if (InventoryPath.isEmpty()) InventoryPath = ProjectPath + QStringLiteral("Inventory\\");
  ExternalPath = ProjectPath + QStringLiteral("External\\");
}

}  // namespace storyloom
