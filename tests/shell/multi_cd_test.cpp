#include "shell/multi_cd.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "game/game.h"
#include "game/game_fixture.h"
#include "game/message_bar.h"
#include "shell/field_reader.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

// Folders named like drive letters stand in for the volumes of this machine.
struct Volumes {
  QTemporaryDir dir;
  std::vector<DriveVolume> list;
  QString add(const QString& folder, DriveKind kind) {
    const QString path = dir.path() + '/' + folder;
    QDir().mkpath(path);
    list.push_back({path, kind});
    return path;
  }
};

void writeFile(const QString& hostPath) {
  QDir().mkpath(QFileInfo(hostPath).path());
  QFile f(hostPath);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("picture");
}

// Puts a file on a CD under the name the CD stores it by.
void putOnCD(const QString& volume, const QString& folder, const QString& name) {
  const QString stored = EditorAndGame::FileNameOf(EditorAndGame::AlternateFileName("X:\\" + name));
  writeFile(volume + "/Data/Test Game/" + folder + '/' + stored);
}

const char* kIndex = "\"\",\"\",\"\",2,\"\",\"\"\r\n\"Room.jpg\",2,1\r\n\"door.gif\",1,2\r\n";

TEST(CDContents, OnlyRecordsWithANameACDInRangeAndAFolderKindAreUsed) {
  FieldReader reader(
      QByteArray("\"x\",\"y\",\"z\",2,\"\",\"\"\r\n"
                 "\"Room.jpg\",1,1\r\n"
                 "\"zero.jpg\",0,1\r\n"
                 "\"three.jpg\",3,1\r\n"
                 "\"nokind.jpg\",2,0\r\n"
                 "\"\",1,1\r\n"
                 "\"door.gif\",2,2\r\n"));
  const CDContents c = readCDContents(reader);
  EXPECT_EQ(c.total, 2);
  ASSERT_EQ(c.records.size(), 2u);
  EXPECT_EQ(c.records[0].name, "Room.jpg");
  EXPECT_EQ(c.records[0].cd, 1);
  EXPECT_EQ(c.records[0].kind, "1");
  EXPECT_EQ(c.records[1].name, "door.gif");
  EXPECT_EQ(c.records[1].cd, 2);
  EXPECT_EQ(c.records[1].kind, "2");
}

TEST(DriveLetters, FoldersNamedLikeLettersKeepThemAndTheRestFollowFromC) {
  const std::vector<DriveLetter> drives = assignDriveLetters({{"/srv/zeta", DriveKind::Fixed},
                                                              {"/media/e", DriveKind::CDRom},
                                                              {"/", DriveKind::Fixed},
                                                              {"/mnt/D:", DriveKind::Removable},
                                                              {"/net/share", DriveKind::Network}});
  ASSERT_EQ(drives.size(), 5u);
  // Sorted by letter; the unnamed volumes take C, F, G in the order of their folders.
  EXPECT_EQ(drives[0].letter, 'C');
  EXPECT_EQ(drives[0].hostFolder, "/");
  EXPECT_EQ(drives[1].letter, 'D');
  EXPECT_EQ(drives[1].kind, DriveKind::Removable);
  EXPECT_EQ(drives[2].letter, 'E');
  EXPECT_EQ(drives[2].kind, DriveKind::CDRom);
  EXPECT_EQ(drives[3].letter, 'F');
  EXPECT_EQ(drives[3].hostFolder, "/net/share");
  EXPECT_EQ(drives[4].letter, 'G');
  EXPECT_EQ(drives[4].hostFolder, "/srv/zeta");
  EXPECT_EQ(driveListEntry(drives[2]), "E:\\ (CD-Rom Drive)");
  EXPECT_EQ(driveListEntry(drives[0]), "C:\\ (Hard Drive)");
  EXPECT_EQ(driveListEntry(drives[1]), "D:\\ (Floppy Drive)");
  EXPECT_EQ(driveListEntry(drives[3]), "F:\\ (Network Drive)");
  EXPECT_EQ(driveListEntry({'R', "/ram", DriveKind::RamDisk}), "R:\\ (RAM Disk)");

  // The same volumes in another order get the same letters; no letter past V is given.
  std::vector<DriveVolume> many;
  for (int i = 0; i < 30; ++i) many.push_back({QStringLiteral("/vol/%1").arg(i, 2, 10, QChar('0')), DriveKind::Fixed});
  const auto first = assignDriveLetters(many);
  std::reverse(many.begin(), many.end());
  const auto second = assignDriveLetters(many);
  ASSERT_EQ(first.size(), 20u);  // C to V
  EXPECT_EQ(first.back().letter, 'V');
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].hostFolder, second[i].hostFolder);
}

// A project played from CDs: the index names Room.jpg of the frames on CD 2 and door.gif of
// the hotspot pictures on CD 1; drive D is a CD without them, E the right CD.
struct MultiCD : ::testing::Test {
  test::TempProject project;
  Volumes volumes;
  QString wrongCD, rightCD;
  int dialogs = 0;
  QStringList requests;
  std::vector<std::function<void(frmRunFromCD&)>> answers;  // one per dialog, in order

  void SetUp() override {
    project.writeGeneral();
    project.write("RunFromCD.dat", "");
    project.write("Config/CDContents", kIndex);
    wrongCD = volumes.add("D", DriveKind::CDRom);
    rightCD = volumes.add("E", DriveKind::CDRom);
    volumes.add("fixed", DriveKind::Fixed);
    onCD(rightCD, "Frames", "Room.jpg");
    project.init();
    cd().setVolumes([this] { return volumes.list; });
    cd().showDialog = [this](frmRunFromCD& dialog) {
      requests.append(dialog.lblMessage->text());
      ASSERT_LT(static_cast<size_t>(dialogs), answers.size()) << "one dialog too many";
      answers[static_cast<size_t>(dialogs++)](dialog);
    };
    project.log.clear();
  }
  MultiCDModule& cd() { return project.module->multiCD(); }
  EditorAndGame& module() { return *project.module; }
  void onCD(const QString& volume, const QString& folder, const QString& name) { putOnCD(volume, folder, name); }
  static std::function<void(frmRunFromCD&)> choose(const QString& entryStart) {
    return [entryStart](frmRunFromCD& dialog) {
      const int i = dialog.Combo1->findText(entryStart, Qt::MatchStartsWith);
      ASSERT_GE(i, 0) << entryStart.toStdString();
      dialog.Combo1->setCurrentIndex(i);
      dialog.Command3->click();
    };
  }
  QString storedDrive() { return project.userSettings->get("TestProject", "DriveLetter"); }
};

TEST_F(MultiCD, TheIndexIsReadOnlyWithBothMarkerFiles) {
  EXPECT_TRUE(cd().multiCDMode());
  EXPECT_EQ(cd().CDCount, 2);
  EXPECT_EQ(cd().CDFolderOf(1), module().paths.FramesPath);
  EXPECT_EQ(cd().CDFolderOf(2), module().paths.AreasPath);
  EXPECT_EQ(cd().CDFolderOf(3), "");
  EXPECT_EQ(cd().LastCDDrive(), "E");

  QFile::remove(project.root() + "/RunFromCD.dat");
  cd().LoadCDContents();
  EXPECT_FALSE(cd().multiCDMode());
  EXPECT_EQ(cd().CDCount, 0);
  const QString missing = module().paths.FramesPath + "Room.jpg";
  EXPECT_EQ(cd().CDFilePath(missing), missing);
  EXPECT_EQ(dialogs, 0);
}

TEST_F(MultiCD, ADamagedIndexIsReported) {
  project.write("Config/CDContents", "\"\",\"\",\"\",\"two\"\r\n");
  cd().LoadCDContents();
  EXPECT_EQ(cd().CDCount, 0);
  ASSERT_EQ(project.log.size(), 1);
  EXPECT_TRUE(project.log[0].contains("Error loading CD index.")) << project.log[0].toStdString();
}

TEST_F(MultiCD, TheWrongCDIsRefusedUntilTheRightOneIsChosen) {
  project.userSettings->set("TestProject", "DriveLetter", "D");
  int stops = 0, resumes = 0;
  cd().gameWindow.StopAllActivity = [&]() -> std::function<void()> {
    ++stops;
    return [&] { ++resumes; };
  };
  answers = {choose("D:"), choose("E:")};
  // The name is compared without regard to case.
  const QString found = module().ResolveProjectFile(module().paths.FramesPath + "room.JPG");

  ASSERT_EQ(dialogs, 2);
  EXPECT_EQ(requests[0], "Please insert the CD#2 in the CD-Rom drive and click OK to continue...");
  // The wrong CD gave the "File Not Found" message with the place looked at, nothing else.
  const QStringList shown = project.messages.takeShown();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith("File Not Found:")) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("D:\\Data\\Test Game\\Frames\\Room.")) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("you may have inserted the wrong CD")) << shown[0].toStdString();
  EXPECT_TRUE(found.startsWith("E:\\Data\\Test Game\\Frames\\Room.")) << found.toStdString();
  EXPECT_TRUE(module().FileExists(found));
  EXPECT_TRUE(QFileInfo(module().hostPathOf(found)).absoluteFilePath().startsWith(rightCD));
  EXPECT_EQ(storedDrive(), "E");
  // The game stopped for each request and went on once, after the right CD.
  EXPECT_EQ(stops, 2);
  EXPECT_EQ(resumes, 1);

  // The right CD stays in the drive: the next file of that CD needs no question.
  project.log.clear();
  EXPECT_TRUE(module().FileExists(module().ResolveProjectFile(module().paths.FramesPath + "Room.jpg")));
  EXPECT_EQ(dialogs, 2);
  EXPECT_TRUE(project.log.isEmpty());
}

TEST_F(MultiCD, CancelStopsTheGameAndNothingMoreIsReported) {
  bool stopped = false;
  cd().gameWindow.StopEverything = [&] { stopped = true; };
  answers = {[](frmRunFromCD& dialog) { dialog.Command4->click(); }};
  project.userSettings->set("TestProject", "DriveLetter", "D");
  module().ResolveProjectFile(module().paths.AreasPath + "door.gif");
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(requests[0], "Please insert the CD#1 in the CD-Rom drive and click OK to continue...");
  EXPECT_TRUE(module().EverythingStopped);
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(project.log.isEmpty()) << project.log.join('\n').toStdString();
  EXPECT_EQ(storedDrive(), "D");
}

TEST_F(MultiCD, ADriveThatCannotBeListedKeepsTheDialogOpen) {
  project.userSettings->set("TestProject", "DriveLetter", "D");
  answers = {[this](frmRunFromCD& dialog) {
    EXPECT_EQ(dialog.lblDrive->text(), "CD-Rom drive:");
    // The last CD-ROM drive is offered first.
    EXPECT_EQ(dialog.Combo1->count(), 3);
    dialog.Combo1->setEditText("Q:\\");
    dialog.Command3->click();
    EXPECT_EQ(project.log.size(), 1);
    EXPECT_TRUE(project.log.value(0).contains("The selected device is unavailable"));
    EXPECT_EQ(storedDrive(), "D");
    dialog.Combo1->setEditText("");
    dialog.Command3->click();
    EXPECT_EQ(project.log.size(), 2);
    dialog.Combo1->setEditText("e:\\");
    dialog.Command3->click();
  }};
  const QString found = module().ResolveProjectFile(module().paths.FramesPath + "Room.jpg");
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(storedDrive(), "e");
  EXPECT_TRUE(module().FileExists(found)) << found.toStdString();
}

TEST_F(MultiCD, FilesOfTheProjectFolderAndFilesOutsideTheIndexAreNotAskedFor) {
  project.write("Frames/Room.jpg", "here");
  const QString own = module().paths.FramesPath + "Room.jpg";
  EXPECT_EQ(module().ResolveProjectFile(own), own);
  // A file the index does not name is looked for under its alternate name, and reported.
  const QString other = module().paths.FramesPath + "Hall.jpg";
  EXPECT_EQ(module().ResolveProjectFile(other), EditorAndGame::AlternateFileName(other));
  EXPECT_EQ(dialogs, 0);
  ASSERT_EQ(project.log.size(), 1);
  EXPECT_TRUE(project.log[0].contains("Hall.")) << project.log[0].toStdString();
  // Without a stored letter the last CD-ROM drive is taken and remembered.
  EXPECT_EQ(storedDrive(), "E");
}

TEST_F(MultiCD, AFrameFileOnTheCDInDriveIsFoundByNameAlone) {
  // Whatever the index says, a frames file on the CD in the drive is used.
  onCD(wrongCD, "Frames", "Cellar.bmp");
  project.userSettings->set("TestProject", "DriveLetter", "D");
  const QString found = module().ResolveProjectFile(module().paths.FramesPath + "Cellar.bmp");
  EXPECT_TRUE(found.startsWith("D:\\Data\\Test Game\\Frames\\")) << found.toStdString();
  EXPECT_TRUE(module().FileExists(found));
  EXPECT_EQ(dialogs, 0);
}

TEST(MultiCDGame, TheGameWaitsForTheRightCDAndStopsOnCancel) {
  test::GameFixture fx;
  Volumes volumes;
  fx.project.write("RunFromCD.dat", "");
  fx.project.write("Config/CDContents", kIndex);
  fx.frame("Start", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
  volumes.add("D", DriveKind::CDRom);
  putOnCD(volumes.add("E", DriveKind::CDRom), "Frames", "Room.jpg");
  Game& game = fx.start();
  EditorAndGame& module = fx.module();
  MultiCDModule& cd = module.multiCD();
  cd.setVolumes([&] { return volumes.list; });
  cd.gameWindow = cdRequestCallsFor(game);
  module.userSettings().set("TestProject", "DriveLetter", "D");
  game.show();

  // The frame timer runs and the message timer does not; while the player is asked,
  // nothing runs.
  game.Timer1.start(60000);
  bool pausedWhileAsked = false;
  cd.showDialog = [&](frmRunFromCD& dialog) {
    pausedWhileAsked = !game.Timer1.isActive();
    dialog.Combo1->setEditText("E:\\");
    dialog.Command3->click();
  };
  EXPECT_TRUE(module.FileExists(module.ResolveProjectFile(module.paths.FramesPath + "Room.jpg")));
  EXPECT_TRUE(pausedWhileAsked);
  EXPECT_TRUE(game.Timer1.isActive());
  EXPECT_FALSE(game.messageBar().TimerMessageBox().isActive());

  // door.gif is on CD 1, which is in no drive: Cancel stops the game.
  cd.showDialog = [](frmRunFromCD& dialog) { dialog.Command4->click(); };
  fx.project.log.clear();
  module.ResolveProjectFile(module.paths.AreasPath + "door.gif");
  EXPECT_TRUE(module.EverythingStopped);
  EXPECT_FALSE(game.Timer1.isActive());
  EXPECT_FALSE(game.PictureBox->isVisible());
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

}  // namespace
}  // namespace storyloom
