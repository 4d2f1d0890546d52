#pragma once
#include <cstdint>
#include <QFileInfo>
#include <QHash>
#include <QString>

// The one place where a project path in Windows form ("Z:\home\me\Game\Frames\Hall.jpg",
// "Frames\hall.JPG") becomes a path of this machine. Projects come from Windows, so "\" is
// the separator and each component is matched without regard to case when the exact
// name is missing. Drive "Z:" stands for the root of this machine's file system; a path
// without a drive is taken relative to the base folder (the project folder).
namespace storyloom {

class HostPaths {
 public:
  HostPaths() = default;

  // Windows form of a host folder, with a trailing backslash: "/home/me/Game" -> "Z:\home\me\Game\".
  static QString windowsFolderOf(const QString& hostFolder);
  // Windows form of any host path, without adding a trailing backslash.
  static QString windowsFormOf(const QString& hostPath);

  void setBase(const QString& hostFolder) {
    base_ = hostFolder;
    resolved_.clear();
  }
  // The host folder that a drive letter other than Z stands for (a mounted volume); an
  // empty folder forgets the letter. Paths on a drive without a folder are never found.
  void setDriveFolder(QChar letter, const QString& hostFolder);

  // The host path of a Windows-form path. Components that exist are given their real
  // spelling; the rest stay as written, so that a file can be created there.
  QString toHost(const QString& windowsPath);
  bool exists(const QString& windowsPath);
  bool isFile(const QString& windowsPath);
  bool isFolder(const QString& windowsPath);

 private:
  struct Listing {
    int64_t modified = 0;                 // nanoseconds
    QHash<QString, QString> byLowerName;  // lower-case name -> real name
  };
  QFileInfo infoOf(const QString& windowsPath);
  QString matchComponent(const QString& hostDir, const QString& name);
  const Listing& listingOf(const QString& hostDir);

  QString base_;
  QHash<QChar, QString> drives_;  // upper-case letter -> host folder
  QHash<QString, Listing> listings_;
  QHash<QString, QString> resolved_;  // Windows path -> host path, for paths found in full
};

}  // namespace storyloom
