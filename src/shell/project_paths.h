#pragma once
#include <QString>

// The project's folders in Windows form, each with a trailing backslash.
namespace storyloom {

struct ProjectPaths {
  QString ProjectPath;
  QString FramesDataPath;
  QString FramesPath;
  QString AreasPath;
  QString IconsPath;
  QString ConfigPath;
  QString TempPath;
  QString SchemesPath;
  QString InventoryPath;
  QString ExternalPath;

  // Sets every folder from the program's folder (Windows form, with or without the
  // trailing backslash). SchemesPath and InventoryPath are set only while empty.
  void setFromProjectFolder(const QString& windowsFolder);
};

}  // namespace storyloom
