#include "shell/launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/host_paths.h"
#include "platform/message_boxes.h"
#include "platform/user_settings.h"

namespace storyloom {
namespace {
const QString kSection = QStringLiteral("Recent Games");

QString cleanFolder(const QString& hostFolder) { return QDir::cleanPath(QFileInfo(hostFolder).absoluteFilePath()); }
}  // namespace

bool isGameFolder(const QString& hostFolder) {
  if (hostFolder.isEmpty() || !QFileInfo(hostFolder).isDir()) return false;
  HostPaths paths;
  paths.setBase(hostFolder);
  return paths.isFile(QStringLiteral("Config\\General"));
}

QString notAGameMessage(const QString& hostFolder) {
  if (!QFileInfo(hostFolder).isDir()) return QStringLiteral("The folder %1 does not exist.").arg(hostFolder);
  return QStringLiteral(
             "The folder %1 is not a game: it has no Config/General file. Choose the folder that holds "
             "the game's Config, Frames and Areas folders.")
      .arg(hostFolder);
}

QString findDemoFolder(const QString& programFolder) {
  QStringList candidates{programFolder + QStringLiteral("/../share/storyloom-player/demo")};
#ifdef STORYLOOM_SOURCE_DEMO_DIR
  candidates.append(QStringLiteral(STORYLOOM_SOURCE_DEMO_DIR));
#endif
  for (const QString& c : candidates)
    if (isGameFolder(c)) return cleanFolder(c);
  return {};
}

QStringList RecentGames::folders() const {
  QStringList list;
  for (int i = 1; i <= Kept; ++i) {
    const QString f = settings_.get(kSection, QStringLiteral("Game%1").arg(i));
    if (!f.isEmpty() && !list.contains(f)) list.append(f);
  }
  return list;
}

void RecentGames::add(const QString& hostFolder) {
  QStringList list = folders();
  const QString folder = cleanFolder(hostFolder);
  list.removeAll(folder);
  list.prepend(folder);
  store(list);
}

void RecentGames::remove(const QString& hostFolder) {
  QStringList list = folders();
  list.removeAll(cleanFolder(hostFolder));
  store(list);
}

void RecentGames::store(const QStringList& list) {
  for (int i = 1; i <= Kept; ++i) {
    const QString key = QStringLiteral("Game%1").arg(i);
    if (i <= list.size())
      settings_.set(kSection, key, list[i - 1]);
    else
      settings_.remove(kSection, key);
  }
}

GameLauncher::GameLauncher(UserSettings& settings, MessageBoxes& messages, const QString& demoFolder, QWidget* parent)
    : QDialog(parent), settings_(settings), messages_(messages), demoFolder_(demoFolder) {
  setObjectName(QStringLiteral("frmLauncher"));
  setWindowTitle(QStringLiteral("Storyloom Player"));
  auto* layout = new QVBoxLayout(this);

  auto* intro = new QLabel(QStringLiteral("Choose the folder of a game to play."), this);
  layout->addWidget(intro);
  auto* folderRow = new QHBoxLayout;
  txtGameFolder_ = new QLineEdit(this);
  txtGameFolder_->setObjectName(QStringLiteral("txtGameFolder"));
  txtGameFolder_->setPlaceholderText(QStringLiteral("Game folder"));
  cmdBrowse_ = new QPushButton(QStringLiteral("&Browse..."), this);
  cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
  cmdPlay_ = new QPushButton(QStringLiteral("&Play"), this);
  cmdPlay_->setObjectName(QStringLiteral("cmdPlay"));
  cmdPlay_->setDefault(true);
  folderRow->addWidget(txtGameFolder_, 1);
  folderRow->addWidget(cmdBrowse_);
  folderRow->addWidget(cmdPlay_);
  layout->addLayout(folderRow);

  auto* recentLabel = new QLabel(QStringLiteral("Recent games:"), this);
  layout->addWidget(recentLabel);
  lstRecentGames_ = new QListWidget(this);
  lstRecentGames_->setObjectName(QStringLiteral("lstRecentGames"));
  layout->addWidget(lstRecentGames_);

  auto* buttons = new QHBoxLayout;
  cmdPlayDemo_ = new QPushButton(QStringLiteral("Play the &Demo"), this);
  cmdPlayDemo_->setObjectName(QStringLiteral("cmdPlayDemo"));
  cmdPlayDemo_->setVisible(!demoFolder_.isEmpty());
  cmdQuit_ = new QPushButton(QStringLiteral("&Quit"), this);
  cmdQuit_->setObjectName(QStringLiteral("cmdQuit"));
  buttons->addWidget(cmdPlayDemo_);
  buttons->addStretch(1);
  buttons->addWidget(cmdQuit_);
  layout->addLayout(buttons);
  resize(520, 320);

  fillRecentGames();
  connect(cmdBrowse_, &QPushButton::clicked, this, &GameLauncher::browse);
  connect(cmdPlay_, &QPushButton::clicked, this, [this] { choose(txtGameFolder_->text().trimmed()); });
  connect(cmdPlayDemo_, &QPushButton::clicked, this, [this] { choose(demoFolder_); });
  connect(cmdQuit_, &QPushButton::clicked, this, &QDialog::reject);
  // A recent game is played with a double-click (or Enter); one click puts it in the box.
  connect(lstRecentGames_, &QListWidget::currentTextChanged, txtGameFolder_, &QLineEdit::setText);
  connect(lstRecentGames_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { choose(item->text()); });
}

void GameLauncher::fillRecentGames() {
  lstRecentGames_->clear();
  lstRecentGames_->addItems(RecentGames(settings_).folders());
}

void GameLauncher::browse() {
  const QString folder =
      QFileDialog::getExistingDirectory(this, QStringLiteral("Choose a Game Folder"), txtGameFolder_->text().trimmed());
  if (folder.isEmpty()) return;
  txtGameFolder_->setText(folder);
  choose(folder);
}

bool GameLauncher::choose(const QString& hostFolder) {
  if (hostFolder.isEmpty()) {
    messages_.show(QStringLiteral("Type or browse for the folder of a game first."), msg::Exclamation, windowTitle());
    return false;
  }
  if (!isGameFolder(hostFolder)) {
    messages_.show(notAGameMessage(hostFolder), msg::Exclamation, windowTitle());
    return false;
  }
  chosen_ = cleanFolder(hostFolder);
  // The demo is always offered by its own button; only the player's own games are listed.
  if (chosen_ != demoFolder_) RecentGames(settings_).add(chosen_);
  accept();
  return true;
}

QString chooseGameInLauncher(UserSettings& settings, MessageBoxes& messages, const QString& programFolder) {
  GameLauncher launcher(settings, messages, findDemoFolder(programFolder));
  if (launcher.exec() != QDialog::Accepted) return {};
  return launcher.chosenFolder();
}

}  // namespace storyloom
