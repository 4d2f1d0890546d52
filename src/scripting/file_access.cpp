#include "scripting/file_access.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <filesystem>
#include <system_error>

#include "platform/platform_error.h"
#include "platform/skipped_steps.h"
#include "shell/editor_and_game.h"

namespace storyloom {
namespace {

namespace fs = std::filesystem;

// Whether path is folder or lies under it (both resolved).
bool isUnder(const QString& path, const QString& folder) {
  if (folder.isEmpty()) return false;
  if (path == folder) return true;
  const QString prefix = folder.endsWith('/') ? folder : folder + '/';
  return path.startsWith(prefix);
}

// The settings key of the places always allowed for a kind of access.
QString alwaysKey(FileAccessRule::Kind kind) {
  switch (kind) {
    case FileAccessRule::Kind::Read: return QStringLiteral("AlwaysAllowReading");
    case FileAccessRule::Kind::Write: return QStringLiteral("AlwaysAllowWriting");
    case FileAccessRule::Kind::Run: return QStringLiteral("AlwaysAllowPrograms");
    case FileAccessRule::Kind::Open: return QStringLiteral("AlwaysAllowOpening");
  }
  return {};
}

// The place a question is about: the folder for reading and writing (a folder itself, or
// the folder a file lies in), the file itself for a program or a document.
QString placeOf(const QString& path, FileAccessRule::Kind kind) {
  if (kind == FileAccessRule::Kind::Run || kind == FileAccessRule::Kind::Open) return path;
  if (QFileInfo(path).isDir()) return path;
  const QString parent = QFileInfo(path).path();
  return parent.isEmpty() ? QStringLiteral("/") : parent;
}

}  // namespace

FileAccessRule::FileAccessRule(EditorAndGame& module) : module_(module) {}
FileAccessRule::~FileAccessRule() = default;

const QStringList& FileAccessRule::answerLabels() {
  static const QStringList labels{QStringLiteral("Allow once"), QStringLiteral("Always allow for this game"),
                                  QStringLiteral("Deny")};
  return labels;
}

QString FileAccessRule::resolved(const QString& hostPath) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(hostPath.toStdString()), ec);
  if (ec) return QDir::cleanPath(hostPath);
  fs::path r = fs::weakly_canonical(p, ec);
  if (ec) r = p.lexically_normal();
  QString out = QString::fromStdString(r.lexically_normal().string());
  while (out.size() > 1 && out.endsWith('/')) out.chop(1);
  return out;
}

QString FileAccessRule::gameFolder() const { return resolved(module_.hostPathOf(module_.paths.ProjectPath)); }

QString FileAccessRule::savedGamesFolder() const {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  const QString name = module_.settings.ProjectName;
  if (data.isEmpty() || name.isEmpty() || name.contains('/') || name == QLatin1String("..") ||
      name == QLatin1String("."))
    return {};
  return resolved(data + '/' + name);
}

QString FileAccessRule::temporaryFolder() {
  if (!temporary_) {
    temporary_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/storyloom-game-XXXXXX"));
    if (!temporary_->isValid()) {
      temporary_.reset();
      return {};
    }
  }
  return resolved(temporary_->path());
}

bool FileAccessRule::insideOwnPlaces(const QString& path, Kind kind) {
  if (isUnder(path, gameFolder()) || isUnder(path, savedGamesFolder())) return true;
  // The temporary folder is the game's for files; nothing there is started or opened.
  if (temporary_ && (kind == Kind::Read || kind == Kind::Write)) return isUnder(path, temporaryFolder());
  return false;
}

bool FileAccessRule::storedAlways(const QString& place, Kind kind) const {
  QString stored;
  runSkippingErrors(QStringLiteral("the places always allowed"),
                    [&] { stored = module_.userSettings().get(module_.settings.ProjectName, alwaysKey(kind)); });
  const QStringList places = stored.split('\n', Qt::SkipEmptyParts);
  for (const QString& allowed : places) {
    // A program or a document is allowed by itself; a folder with everything under it.
    if (kind == Kind::Run || kind == Kind::Open ? place == allowed : isUnder(place, allowed)) return true;
  }
  return false;
}

void FileAccessRule::storeAlways(const QString& place, Kind kind) {
  runSkippingErrors(QStringLiteral("storing a place always allowed"), [&] {
    UserSettings& s = module_.userSettings();
    const QString section = module_.settings.ProjectName;
    QStringList places = s.get(section, alwaysKey(kind)).split('\n', Qt::SkipEmptyParts);
    if (!places.contains(place)) places.append(place);
    s.set(section, alwaysKey(kind), places.join('\n'));
  });
}

QString FileAccessRule::question(const QString& place, Kind kind) const {
  QString game = module_.settings.GameTitle;
  if (game.isEmpty()) game = module_.settings.ProjectName;
  const QString head = QStringLiteral("The game '") + game + QStringLiteral("' wants to ");
  switch (kind) {
    case Kind::Read: return head + QStringLiteral("read files in ") + place + QStringLiteral(". Allow?");
    case Kind::Write: return head + QStringLiteral("write files in ") + place + QStringLiteral(". Allow?");
    case Kind::Run: return head + QStringLiteral("start the program ") + place + QStringLiteral(". Allow?");
    case Kind::Open:
      return head + QStringLiteral("open the file ") + place + QStringLiteral(" with the desktop. Allow?");
  }
  return {};
}

bool FileAccessRule::allows(const QString& hostPath, Kind kind) {
  if (trusted_) return true;
  const QString path = resolved(hostPath);
  if (insideOwnPlaces(path, kind)) return true;
  const QString place = placeOf(path, kind);
  // Writing somewhere allowed reading there too.
  if (storedAlways(place, kind) || (kind == Kind::Read && storedAlways(place, Kind::Write))) return true;
  for (const Answered& a : answeredThisRun_) {
    const bool covers = kind == Kind::Run || kind == Kind::Open ? a.place == place : isUnder(place, a.place);
    if (!covers) continue;
    if (a.kind == kind) return a.allowed;
    if (kind == Kind::Read && a.kind == Kind::Write && a.allowed) return true;
  }
  const int answer = module_.messages().choose(question(place, kind), QStringLiteral("File Access"), answerLabels(),
                                               static_cast<int>(Answer::Deny));
  const bool allowed = answer != static_cast<int>(Answer::Deny);
  answeredThisRun_.push_back({kind, place, allowed});
  if (answer == static_cast<int>(Answer::AlwaysAllow)) storeAlways(place, kind);
  return allowed;
}

void FileAccessRule::require(const QString& hostPath, Kind kind) {
  if (!allows(hostPath, kind)) throw PlatformError(70, QStringLiteral("Permission denied"));
}

}  // namespace storyloom
