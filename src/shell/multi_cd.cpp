#include "shell/multi_cd.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStorageInfo>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "game/game.h"
#include "game/message_bar.h"
#include "platform/platform_error.h"
#include "scripting/action_module.h"
#include "scripting/timed_events.h"
#include "shell/editor_and_game.h"
#include "shell/field_reader.h"

namespace storyloom {

CDContents readCDContents(FieldReader& reader) {
  CDContents c;
  reader.skip(3);
  c.total = reader.readInteger();
  reader.skip(2);
  while (!reader.atEnd()) {
    CDRecord r;
    r.name = reader.readString();
    r.cd = reader.readInteger();
    const qint16 kind = reader.readInteger();
    r.kind = QString::number(kind);
    if (!r.name.isEmpty() && r.cd >= 1 && r.cd <= c.total && kind != 0) c.records.push_back(std::move(r));
  }
  return c;
}

namespace {

std::optional<DriveKind> kindOf(const QStorageInfo& v) {
  const QString fs = QString::fromLatin1(v.fileSystemType()).toLower();
  const QString device = QString::fromLatin1(v.device());
  const QString root = v.rootPath();
  if (fs == QLatin1String("iso9660") || fs == QLatin1String("udf")) return DriveKind::CDRom;
  if (fs == QLatin1String("nfs") || fs == QLatin1String("nfs4") || fs == QLatin1String("cifs") ||
      fs.startsWith(QLatin1String("smb")) || fs.contains(QLatin1String("sshfs")) || fs == QLatin1String("9p"))
    return DriveKind::Network;
  if (fs == QLatin1String("tmpfs") || fs == QLatin1String("ramfs")) {
    // Only a RAM disk mounted for files, not the system's own run-time folders.
    if (root.startsWith(QLatin1String("/run")) || root.startsWith(QLatin1String("/sys")) ||
        root.startsWith(QLatin1String("/dev")) || root == QLatin1String("/tmp"))
      return std::nullopt;
    return DriveKind::RamDisk;
  }
  if (!device.startsWith(QLatin1String("/dev/"))) {
    if (root == QLatin1String("/")) return DriveKind::Fixed;  // containers mount the root from an overlay
    return std::nullopt;
  }
  if (root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/run/media/")) ||
      root.startsWith(QLatin1String("/mnt/")))
    return DriveKind::Removable;
  if (root.startsWith(QLatin1String("/boot")) || root.startsWith(QLatin1String("/snap"))) return std::nullopt;
  return DriveKind::Fixed;
}

// "E", "e:" or "E_" style folder names stand for their drive letter.
std::optional<QChar> letterNamedBy(const QString& hostFolder) {
  static const QRegularExpression named(QStringLiteral("^([A-Va-v]):?$"));
  const QRegularExpressionMatch m = named.match(QDir(hostFolder).dirName());
  if (!m.hasMatch()) return std::nullopt;
  return m.captured(1).at(0).toUpper();
}

}  // namespace

std::vector<DriveVolume> mountedDriveVolumes() {
  std::vector<DriveVolume> volumes;
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    if (!v.isValid() || !v.isReady()) continue;
    if (const auto kind = kindOf(v)) volumes.push_back({v.rootPath(), *kind});
  }
  return volumes;
}

std::vector<DriveLetter> assignDriveLetters(std::vector<DriveVolume> volumes) {
  std::sort(volumes.begin(), volumes.end(),
            [](const DriveVolume& a, const DriveVolume& b) { return a.hostFolder < b.hostFolder; });
  std::vector<DriveLetter> drives;
  std::set<QChar> taken;
  std::vector<const DriveVolume*> unnamed;
  for (const DriveVolume& v : volumes) {
    const auto letter = letterNamedBy(v.hostFolder);
    if (letter && !taken.count(*letter)) {
      taken.insert(*letter);
      drives.push_back({*letter, v.hostFolder, v.kind});
    } else {
      unnamed.push_back(&v);
    }
  }
  // A and B are the floppy drives' letters; the others start at C.
  QChar next = 'C';
  for (const DriveVolume* v : unnamed) {
    while (next <= 'V' && taken.count(next)) next = QChar(next.unicode() + 1);
    if (next > 'V') break;
    taken.insert(next);
    drives.push_back({next, v->hostFolder, v->kind});
  }
  std::sort(drives.begin(), drives.end(),
            [](const DriveLetter& a, const DriveLetter& b) { return a.letter < b.letter; });
  return drives;
}

QString driveListEntry(const DriveLetter& drive) {
  static const char* const kCaptions[] = {"(Floppy Drive)", "(Hard Drive)", "(Network Drive)", "(CD-Rom Drive)",
                                          "(RAM Disk)"};
  return QString(drive.letter) + QStringLiteral(":\\ ") + QLatin1String(kCaptions[static_cast<int>(drive.kind)]);
}

MultiCDModule::MultiCDModule(EditorAndGame& module) : module_(module), volumes_(mountedDriveVolumes) {
  showDialog = [](frmRunFromCD& dialog) { dialog.exec(); };
}

void MultiCDModule::setVolumes(std::function<std::vector<DriveVolume>()> volumes) {
  volumes_ = std::move(volumes);
  refreshDrives();
}

void MultiCDModule::refreshDrives() {
  for (const DriveLetter& d : drives_) module_.hostPaths().setDriveFolder(d.letter, {});
  drives_ = assignDriveLetters(volumes_ ? volumes_() : std::vector<DriveVolume>{});
  for (const DriveLetter& d : drives_) module_.hostPaths().setDriveFolder(d.letter, d.hostFolder);
}

void MultiCDModule::LoadCDContents() {
  CDCount = 0;
  multiCD_ = false;
  contents = {};
  const QString index = module_.paths.ConfigPath + QStringLiteral("CDContents");
  if (!module_.FileExists(module_.paths.ProjectPath + QStringLiteral("RunFromCD.dat")) || !module_.FileExists(index))
    return;
  multiCD_ = true;
  refreshDrives();
  try {
    FieldReader reader = module_.OpenFieldFile(index);
    contents = readCDContents(reader);
  } catch (const PlatformError&) {
    module_.ReportError(QStringLiteral(" Error loading CD index."));
  }
  CDCount = static_cast<qint16>(contents.records.size());
}

QString MultiCDModule::CDFolderOf(qint16 kind) const {
  if (kind == 1) return module_.paths.FramesPath;
  if (kind == 2) return module_.paths.AreasPath;
  return {};
}

QString MultiCDModule::LastCDDrive() const {
  QString last = QStringLiteral("d");
  for (const DriveLetter& d : drives_)
    if (d.kind == DriveKind::CDRom && d.letter <= 'V') last = QString(d.letter);
  return last;
}

QString MultiCDModule::storedDriveLetter(const QString& fallback) const {
  return module_.userSettings().get(module_.settings.ProjectName, QStringLiteral("DriveLetter"), fallback);
}

void MultiCDModule::storeDriveLetter(const QString& letter) {
  module_.userSettings().set(module_.settings.ProjectName, QStringLiteral("DriveLetter"), letter);
}

QString MultiCDModule::CDFilePath(const QString& path) {
  if (!multiCD_) return path;
  QString drive = storedDriveLetter({});
  if (drive.isEmpty()) {
    drive = LastCDDrive();
    storeDriveLetter(drive);
  }
  const QString title = module_.settings.GameTitle;
  const QString c = EditorAndGame::AlternateFileName(drive + QStringLiteral(":\\Data\\") + title +
                                                     QStringLiteral("\\Frames\\") + EditorAndGame::FileNameOf(path));
  if (module_.FileExists(c)) return c;

  const CDRecord* record = nullptr;
  for (const CDRecord& r : contents.records) {
    if ((CDFolderOf(static_cast<qint16>(r.kind.toInt())) + r.name).compare(path, Qt::CaseInsensitive) == 0) {
      record = &r;
      break;
    }
  }
  if (!record) return EditorAndGame::AlternateFileName(path);
  if (record->kind != QLatin1String("1") && record->kind != QLatin1String("2")) return path;
  const QString rel = EditorAndGame::AlternateFileName(
      QStringLiteral(":\\Data\\") + title +
      (record->kind == QLatin1String("1") ? QStringLiteral("\\Frames\\") : QStringLiteral("\\Areas\\")) + record->name);

  const UITexts& t = module_.texts;
  for (;;) {
    if (module_.FileExists(drive + rel) || module_.EverythingStopped) break;
    std::function<void()> resume;
    if (gameWindow.StopAllActivity) resume = gameWindow.StopAllActivity();
    // A volume inserted since the last request gets its letter now.
    refreshDrives();
    {
      frmRunFromCD dialog(module_, drives_);
      dialog.Combo1->setEditText(drive + QStringLiteral(":\\"));
      dialog.lblMessage->setText(t(47) + QString::number(record->cd) + ' ' + t(48));
      showDialog(dialog);
    }
    if (module_.EverythingStopped) {
      if (gameWindow.StopEverything) gameWindow.StopEverything();
      break;
    }
    drive = storedDriveLetter(drive);
    if (module_.FileExists(drive + rel)) {
      if (resume) resume();
      break;
    }
    module_.MessageBox(t(45) + QStringLiteral("\r\n\r\n") + drive + rel + QStringLiteral("\r\n\r\n") + t(46),
                       msg::Exclamation, title);
  }
  return drive + rel;
}

MultiCDModule::GameWindow cdRequestCallsFor(Game& game) {
  MultiCDModule::GameWindow calls;
  calls.StopAllActivity = [&game]() -> std::function<void()> {
    const bool frameTimer = game.Timer1.isActive();
    const bool messageTimer = game.messageBar().TimerMessageBox().isActive();
    game.StopAllActivity();
    return [&game, frameTimer, messageTimer] {
      if (frameTimer) game.Timer1.start();
      if (messageTimer) game.messageBar().TimerMessageBox().start();
      game.timedEvents().StartTimedEvents();
    };
  };
  calls.StopEverything = [&game] { game.actionModule().StopEverything(); };
  return calls;
}

frmRunFromCD::frmRunFromCD(EditorAndGame& module, const std::vector<DriveLetter>& drives, QWidget* parent)
    : QDialog(parent), module_(module) {
  setObjectName(QStringLiteral("frmRunFromCD"));
  setWindowTitle(module.settings.GameTitle);
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setModal(true);
  auto* Frame1 = new QGroupBox(this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  lblMessage =
      new QLabel(QStringLiteral("Please insert the CD#? in the CD-Rom drive and click OK to continue..."), Frame1);
  lblMessage->setObjectName(QStringLiteral("lblMessage"));
  lblMessage->setWordWrap(true);
  lblDrive = new QLabel(module.texts(37), Frame1);
  lblDrive->setObjectName(QStringLiteral("lblDrive"));
  Combo1 = new QComboBox(Frame1);
  Combo1->setObjectName(QStringLiteral("Combo1"));
  Combo1->setEditable(true);
  Command3 = new QPushButton(QStringLiteral("OK"), Frame1);
  Command3->setObjectName(QStringLiteral("Command3"));
  Command3->setDefault(true);
  Command4 = new QPushButton(module.texts(11), Frame1);
  Command4->setObjectName(QStringLiteral("Command4"));

  auto* driveRow = new QHBoxLayout;
  driveRow->addWidget(lblDrive);
  driveRow->addWidget(Combo1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Command3);
  buttons->addWidget(Command4);
  auto* inner = new QVBoxLayout(Frame1);
  inner->addWidget(lblMessage);
  inner->addLayout(driveRow);
  inner->addLayout(buttons);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(Frame1);
  resize(420, 160);

  for (const DriveLetter& d : drives) {
    Combo1->addItem(driveListEntry(d));
    if (d.kind == DriveKind::CDRom) Combo1->setEditText(QString(d.letter) + QStringLiteral(":\\"));
  }
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  // The labels and the frame drag the window as its title bar would.
  for (QWidget* w : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(lblMessage), static_cast<QWidget*>(lblDrive)})
    w->setAttribute(Qt::WA_TransparentForMouseEvents, w != Frame1);
}

void frmRunFromCD::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (const QScreen* screen = QApplication::primaryScreen()) {
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
  }
  raise();
  activateWindow();
}

void frmRunFromCD::mousePressEvent(QMouseEvent* e) {
  dragging_ = e->button() == Qt::LeftButton;
  dragFrom_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
  QDialog::mousePressEvent(e);
}

void frmRunFromCD::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_ && (e->buttons() & Qt::LeftButton)) move(e->globalPosition().toPoint() - dragFrom_);
  QDialog::mouseMoveEvent(e);
}

void frmRunFromCD::Command3_Click() {
  const QString s = Combo1->currentText().trimmed();
  const QString letter = s.left(1);
  if (s.isEmpty() || !letter.at(0).isLetter() || !module_.hostPaths().isFolder(letter + QStringLiteral(":\\"))) {
    module_.MessageBox(module_.texts(38), msg::Exclamation, module_.settings.GameTitle);
    return;
  }
  module_.userSettings().set(module_.settings.ProjectName, QStringLiteral("DriveLetter"), letter);
  accept();
}

void frmRunFromCD::Command4_Click() {
  module_.EverythingStopped = true;
  reject();
}

}  // namespace storyloom
