#pragma once
#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

// Games spread over several CDs: the index of which file lies on which CD
// (Config\CDContents), the look-up of a missing project file on the CD drive, and the
// dialog that asks the player to insert the right CD (frmRunFromCD).
//
// Drive letters stand for the volumes mounted on this machine. Each volume of a kind the
// dialog lists gets one letter: a volume whose folder is named like a drive letter ("E" or
// "e:") gets that letter, the others the free letters from C upwards in the order of their
// folders. The volume list can be replaced (tests use temporary folders as CDs).
namespace storyloom {

class EditorAndGame;
class FieldReader;
class Game;

struct CDRecord {
  QString name;   // the file's name in the project folder
  qint16 cd = 0;  // 1 ... total
  QString kind;   // "1" Frames, "2" Areas, as the index stores it
};

struct CDContents {
  qint16 total = 0;               // the number of CDs
  std::vector<CDRecord> records;  // the records that are used, in file order
};

// Reads an index; records without a name, with a CD number outside 1 ... total or with
// folder kind 0 are left out. Throws PlatformError when the file is damaged.
CDContents readCDContents(FieldReader& reader);

enum class DriveKind { Removable, Fixed, Network, CDRom, RamDisk };

struct DriveVolume {
  QString hostFolder;  // where the volume is mounted
  DriveKind kind = DriveKind::Fixed;
};

struct DriveLetter {
  QChar letter;  // upper case, A to V
  QString hostFolder;
  DriveKind kind = DriveKind::Fixed;
};

// The volumes mounted on this machine, of the kinds a drive list shows (QStorageInfo).
std::vector<DriveVolume> mountedDriveVolumes();
// Letters for the volumes, A to V, sorted by letter; volumes beyond V get none.
std::vector<DriveLetter> assignDriveLetters(std::vector<DriveVolume> volumes);

class MultiCDModule {
 public:
  explicit MultiCDModule(EditorAndGame& module);

  // The game window while a game is played: stopping its activity while the player is
  // asked for a CD and resuming it afterwards, and stopping everything on Cancel.
  struct GameWindow {
    // Stops all activity; gives back what restores the frame timer and the message timer
    // as they were and starts the timed events again.
    std::function<std::function<void()>()> StopAllActivity;
    std::function<void()> StopEverything;
  };
  GameWindow gameWindow;

  // The mounted volumes; replaceable. Calls refreshDrives() when replaced through
  // setVolumes().
  void setVolumes(std::function<std::vector<DriveVolume>()> volumes);
  // Gives every drive letter its volume again (the host paths learn the letters).
  void refreshDrives();
  const std::vector<DriveLetter>& drives() const { return drives_; }

  // Shows the CD dialog modally; replaceable so that a caller can watch it.
  std::function<void(class frmRunFromCD& dialog)> showDialog;

  void LoadCDContents();
  QString CDFilePath(const QString& path);
  QString CDFolderOf(qint16 kind) const;
  QString LastCDDrive() const;
  // Both marker files were there when the index was loaded.
  bool multiCDMode() const { return multiCD_; }

  qint16 CDCount = 0;
  CDContents contents;

 private:
  QString storedDriveLetter(const QString& fallback) const;
  void storeDriveLetter(const QString& letter);
  EditorAndGame& module_;
  std::function<std::vector<DriveVolume>()> volumes_;
  std::vector<DriveLetter> drives_;
  bool multiCD_ = false;
};

// What a CD request does to a game window: its activity stops while the player is asked;
// after the right CD the frame timer and the message timer run again if they ran before
// and the timed events start again; Cancel stops everything.
MultiCDModule::GameWindow cdRequestCallsFor(Game& game);

// The dialog that asks for a CD: the request, the drive list and OK / Cancel.
class frmRunFromCD : public QDialog {
  Q_OBJECT
 public:
  frmRunFromCD(EditorAndGame& module, const std::vector<DriveLetter>& drives, QWidget* parent = nullptr);

  QLabel* lblMessage = nullptr;
  QLabel* lblDrive = nullptr;
  QComboBox* Combo1 = nullptr;
  QPushButton* Command3 = nullptr;  // OK
  QPushButton* Command4 = nullptr;  // Cancel

  void Command3_Click();
  void Command4_Click();

 protected:
  void showEvent(QShowEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  EditorAndGame& module_;
  QPoint dragFrom_;
  bool dragging_ = false;
};

// The caption of a drive in the dialog's list: "E:\ (CD-Rom Drive)".
QString driveListEntry(const DriveLetter& drive);

}  // namespace storyloom
