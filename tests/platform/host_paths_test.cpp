#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/host_paths.h"
#include "platform/ini_file.h"

using namespace storyloom;

namespace {
void touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}
}  // namespace

TEST(HostPaths, MatchesEachComponentWithoutRegardToCase) {
  QTemporaryDir dir;
  touch(dir.path() + "/Frames/Hall.JPG");
  HostPaths paths;
  const QString win = HostPaths::windowsFolderOf(dir.path());
  EXPECT_TRUE(win.startsWith("Z:\\"));
  EXPECT_TRUE(win.endsWith("\\"));
  EXPECT_EQ(paths.toHost(win + "frames\\hall.jpg"), dir.path() + "/Frames/Hall.JPG");
  EXPECT_TRUE(paths.isFile(win + "FRAMES\\HALL.jpg"));
  EXPECT_TRUE(paths.isFolder(win + "frames\\"));
  EXPECT_FALSE(paths.exists(win + "frames\\missing.jpg"));
  // The missing part keeps its spelling, under the real folder, so it can be created.
  EXPECT_EQ(paths.toHost(win + "frames\\New.txt"), dir.path() + "/Frames/New.txt");
  EXPECT_FALSE(paths.exists(""));
}

TEST(HostPaths, SeesFilesMadeAfterTheFirstLookUp) {
  QTemporaryDir dir;
  HostPaths paths;
  const QString win = HostPaths::windowsFolderOf(dir.path());
  EXPECT_FALSE(paths.exists(win + "save1.SAV"));
  touch(dir.path() + "/Save1.sav");
  EXPECT_TRUE(paths.exists(win + "save1.SAV"));
  QFile::remove(dir.path() + "/Save1.sav");
  EXPECT_FALSE(paths.exists(win + "save1.SAV"));  // a cached answer is never stale
}

TEST(HostPaths, RelativePathsOtherDrivesAndRoots) {
  QTemporaryDir dir;
  touch(dir.path() + "/Config/General");
  HostPaths paths;
  paths.setBase(dir.path());
  EXPECT_TRUE(paths.isFile("config\\general"));
  EXPECT_TRUE(paths.isFile("Config/General"));
  EXPECT_FALSE(paths.exists("D:\\Data\\Game\\Frames\\a.jpg"));
  EXPECT_EQ(HostPaths::windowsFolderOf("/"), "Z:\\");  // a root gets no doubled backslash
}

TEST(IniFile, ReadsAndWritesKeepingTheRest) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/More";
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; comment\r\n[General]\r\n ScriptTimeOut = 12 \r\nName=\"quoted value\"\r\n[Other]\r\nx=1\r\n");
  }
  EXPECT_EQ(IniFile::read(path, "general", "scripttimeout"), "12");
  EXPECT_EQ(IniFile::read(path, "General", "Name"), "quoted value");
  EXPECT_EQ(IniFile::read(path, "General", "Missing", "dflt"), "dflt");
  EXPECT_EQ(IniFile::read(dir.path() + "/none.ini", "a", "b", "d"), "d");
  ASSERT_TRUE(IniFile::write(path, "GENERAL", "scripttimeout", "30"));
  ASSERT_TRUE(IniFile::write(path, "General", "New", "v"));
  ASSERT_TRUE(IniFile::write(path, "Third", "k", "w"));
  EXPECT_EQ(IniFile::read(path, "General", "ScriptTimeOut"), "30");
  EXPECT_EQ(IniFile::read(path, "General", "New"), "v");
  EXPECT_EQ(IniFile::read(path, "Other", "x"), "1");
  EXPECT_EQ(IniFile::read(path, "Third", "k"), "w");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().startsWith("; comment\r\n[General]\r\n"));
}
