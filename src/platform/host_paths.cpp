#include "platform/host_paths.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

namespace storyloom {

QString HostPaths::windowsFormOf(const QString& hostPath) {
  QString abs = QFileInfo(hostPath).absoluteFilePath();
  if (abs.startsWith('/')) abs.remove(0, 1);
  abs.replace('/', '\\');
  return QStringLiteral("Z:\\") + abs;
}

QString HostPaths::windowsFolderOf(const QString& hostFolder) {
  QString w = windowsFormOf(hostFolder);
  if (!w.endsWith('\\')) w += '\\';
  return w;
}

void HostPaths::setDriveFolder(QChar letter, const QString& hostFolder) {
  letter = letter.toUpper();
  if (hostFolder.isEmpty())
    drives_.remove(letter);
  else
    drives_.insert(letter, hostFolder.endsWith('/') && hostFolder.size() > 1 ? hostFolder.chopped(1) : hostFolder);
  resolved_.clear();
}

const HostPaths::Listing& HostPaths::listingOf(const QString& hostDir) {
  // The folder's change time moves whenever an entry is added, removed or renamed.
  struct stat st {};
  int64_t modified = -1;
  if (::stat(hostDir.toLocal8Bit().constData(), &st) == 0)
    modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  auto it = listings_.find(hostDir);
  if (it != listings_.end() && it->modified == modified) return *it;
  Listing listing;
  listing.modified = modified;
  const QStringList names =
      QDir(hostDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& n : names) {
    const QString lower = n.toLower();
    // Of names differing only by case, the first in sorted order wins, as on a Windows disk
    // only one of them could exist.
    if (!listing.byLowerName.contains(lower)) listing.byLowerName.insert(lower, n);
  }
  return *listings_.insert(hostDir, std::move(listing));
}

QString HostPaths::matchComponent(const QString& hostDir, const QString& name) {
  if (name == QLatin1String(".") || name == QLatin1String("..")) return name;
  const QString dir = hostDir.isEmpty() ? QStringLiteral("/") : hostDir;
  if (QFileInfo::exists(dir + '/' + name)) return name;
  const Listing& listing = listingOf(dir);
  const auto it = listing.byLowerName.constFind(name.toLower());
  return it == listing.byLowerName.constEnd() ? QString() : *it;
}

QString HostPaths::toHost(const QString& windowsPath) {
  const auto cached = resolved_.constFind(windowsPath);
  if (cached != resolved_.constEnd()) return *cached;
  QString p = windowsPath;
  p.replace('/', '\\');
  QString host;
  if (p.size() >= 2 && p[1] == ':' && p[0].isLetter()) {
    const QChar letter = p[0].toUpper();
    const auto drive = drives_.constFind(letter);
    if (letter != 'Z' && drive == drives_.constEnd()) {
      // A drive with no volume behind it: keep a path that cannot be found.
      return QStringLiteral("/nonexistent-drive-") + letter + p.mid(2).replace('\\', '/');
    }
    p = p.mid(2);
    host = letter == 'Z' ? QString() : *drive;
    if (host == QLatin1String("/")) host.clear();
  } else if (p.startsWith('\\')) {
    host = QString();
  } else {
    host = base_.isEmpty() ? QDir::currentPath() : base_;
  }
  const QStringList parts = p.split('\\', Qt::SkipEmptyParts);
  bool matching = true;
  for (const QString& part : parts) {
    if (matching) {
      const QString real = matchComponent(host, part);
      if (!real.isEmpty()) {
        host += '/' + real;
        continue;
      }
      matching = false;
    }
    host += '/' + part;
  }
  if (host.isEmpty()) host = QStringLiteral("/");
  if (p.endsWith('\\') && !host.endsWith('/')) host += '/';
  if (matching) resolved_.insert(windowsPath, host);
  return host;
}

QFileInfo HostPaths::infoOf(const QString& windowsPath) {
  QFileInfo info(toHost(windowsPath));
  if (!info.exists() && resolved_.remove(windowsPath)) {
    // Removed since it was found, or made again under another spelling.
    info = QFileInfo(toHost(windowsPath));
  }
  return info;
}

bool HostPaths::exists(const QString& windowsPath) { return !windowsPath.isEmpty() && infoOf(windowsPath).exists(); }

bool HostPaths::isFile(const QString& windowsPath) { return !windowsPath.isEmpty() && infoOf(windowsPath).isFile(); }

bool HostPaths::isFolder(const QString& windowsPath) { return !windowsPath.isEmpty() && infoOf(windowsPath).isDir(); }

}  // namespace storyloom
