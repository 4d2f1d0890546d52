#include "state/saved_games.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>
#include <cmath>

#include "dialogue/dialogue.h"
#include "game/game.h"
#include "platform/conversions.h"
#include "platform/skipped_steps.h"
#include "scripting/control_properties.h"
#include "scripting/script_host.h"
#include "scripting/timed_events.h"
#include "shell/editor_and_game.h"
#include "shell/field_reader.h"
#include "state/inventory.h"
#include "state/saved_game_windows.h"

namespace storyloom {
namespace {

const QString kExtension = QStringLiteral(".sav");

// A value read "as written" as the script value it stands for.
vbs::Value scriptValueOf(const QVariant& v) {
  if (!v.isValid()) return {};
  switch (v.typeId()) {
    case QMetaType::Nullptr: return vbs::Value::null();
    case QMetaType::Bool: return vbs::Value(v.toBool());
    case QMetaType::Short: return vbs::Value(static_cast<int16_t>(v.toInt()));
    case QMetaType::Int: return vbs::Value(static_cast<int32_t>(v.toInt()));
    case QMetaType::Double: return vbs::Value(v.toDouble());
    case QMetaType::QDate: {
      const QDate d = v.toDate();
      return vbs::Value(vbs::Date{vbs::dateSerial(d.year(), d.month(), d.day())});
    }
    case QMetaType::QTime: {
      const QTime t = v.toTime();
      return vbs::Value(vbs::Date{vbs::timeSerial(t.hour(), t.minute(), t.second())});
    }
    case QMetaType::QDateTime: {
      const QDateTime dt = v.toDateTime();
      const double day = vbs::dateSerial(dt.date().year(), dt.date().month(), dt.date().day());
      const double time = vbs::timeSerial(dt.time().hour(), dt.time().minute(), dt.time().second());
      return vbs::Value(vbs::Date{day < 0 ? day - time : day + time});
    }
    default: return scriptText(BarToQuote(v.toString()));
  }
}

// A script value in the form the file gives it: text quoted, numbers plain, Booleans,
// Null and dates marked with "#", Empty as nothing.
void writeScriptValue(FieldWriter& w, const vbs::Value& v) {
  switch (v.type()) {
    case vbs::Type::Empty: w.writeVariant(QVariant()); return;
    case vbs::Type::Null: w.writeVariant(QVariant::fromValue(nullptr)); return;
    case vbs::Type::Boolean: w.writeBoolean(v.asBool()); return;
    case vbs::Type::Byte:
    case vbs::Type::Integer:
    case vbs::Type::Long: w.writeInteger(v.toLong()); return;
    case vbs::Type::Single: {
      // Seven significant digits, as a Single prints.
      w.writeDouble(QByteArray::number(static_cast<float>(v.toDouble()), 'g', 7).toDouble());
      return;
    }
    case vbs::Type::Double:
    case vbs::Type::Currency: w.writeDouble(v.toDouble()); return;
    case vbs::Type::Date: {
      const double serial = v.asDate();
      int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
      vbs::splitDate(serial, year, month, day);
      vbs::splitTime(serial, hour, minute, second);
      const QDate date(year, month, day);
      const QTime time(hour, minute, second);
      if (std::trunc(serial) == 0)
        w.writeVariant(time);
      else if (serial == std::trunc(serial))
        w.writeVariant(date);
      else
        w.writeVariant(QDateTime(date, time));
      return;
    }
    case vbs::Type::String: w.writeString(qtText(v.asString())); return;
    default:
      // An object or an array cannot live on in a file; the variable loads as Empty.
      w.writeVariant(QVariant());
      return;
  }
}

void writeText(FieldWriter& w, const QString& text) {
  w.writeString(text);
  w.endLine();
}

void writeNumber(FieldWriter& w, qint64 n) {
  w.writeInteger(n);
  w.endLine();
}

}  // namespace

void readSavedGame(FieldReader& r, SavedGame& into) {
  into.resumeFrame = r.readString();
  const qint32 n = r.readLong();
  for (qint32 i = 0; i < n; ++i) {
    QString name = r.readString();
    into.variables.emplace_back(std::move(name), r.readInteger());
  }
  const qint32 h = r.readLong();
  for (qint32 i = 0; i < h; ++i) {
    QString name = r.readString();
    into.disappear.emplace_back(std::move(name), r.readInteger());
  }
  const qint16 k = r.readInteger();
  for (qint16 i = 0; i < k; ++i) into.items.append(r.readString());
  if (r.atEnd()) return;
  const qint16 f = r.readInteger();
  into.history = QStringList();
  for (qint16 i = 0; i < f; ++i) into.history->append(r.readString());
  if (r.atEnd()) return;
  r.skip(3);
  into.projectName = r.readString();
  into.gameTitle = r.readString();
  into.date = r.readString();
  into.version = r.readString();
  if (r.atEnd()) return;
  const qint32 v = r.readLong();
  into.variants.emplace();
  for (qint32 i = 0; i < v; ++i) {
    QString name = r.readString();
    into.variants->emplace_back(std::move(name), scriptValueOf(r.readVariant()));
  }
}

QByteArray writeSavedGame(const SavedGame& g) {
  FieldWriter w;
  writeText(w, g.resumeFrame);
  writeNumber(w, static_cast<qint64>(g.variables.size()));
  for (const auto& [name, value] : g.variables) {
    writeText(w, name);
    writeNumber(w, value);
  }
  writeNumber(w, static_cast<qint64>(g.disappear.size()));
  for (const auto& [name, value] : g.disappear) {
    writeText(w, name);
    writeNumber(w, value);
  }
  writeNumber(w, g.items.size());
  for (const QString& item : g.items) writeText(w, item);
  const QStringList history = g.history.value_or(QStringList());
  writeNumber(w, history.size());
  for (const QString& frame : history) writeText(w, frame);
  for (int i = 0; i < 3; ++i) writeText(w, QString());
  writeText(w, g.projectName);
  writeText(w, g.gameTitle);
  writeText(w, g.date);
  writeText(w, g.version);
  const auto variants = g.variants.value_or(std::vector<std::pair<QString, vbs::Value>>());
  writeNumber(w, static_cast<qint64>(variants.size()));
  for (const auto& [name, value] : variants) {
    writeText(w, name);
    writeScriptValue(w, value);
    w.endLine();
  }
  return w.bytes();
}

SavedGames::SavedGames(Game& game) : game_(game) {
  pause = [](double seconds) { EditorAndGame::WaitSeconds(seconds); };
  writeBytes = [](QIODevice& file, const QByteArray& bytes) { return file.write(bytes); };
}

SavedGames::~SavedGames() = default;

EditorAndGame& SavedGames::module() const { return game_.module(); }

QString SavedGames::userSaveFolder() const {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/' + module().settings.ProjectName;
}

std::vector<SavedGameFile> SavedGames::listSavedGames() const {
  std::vector<SavedGameFile> found;
  const QStringList folders = {module().hostPathOf(module().paths.ProjectPath), userSaveFolder()};
  for (const QString& folder : folders) {
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) continue;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
      const QString fileName = info.fileName();
      if (!fileName.endsWith(kExtension, Qt::CaseInsensitive) || fileName.size() <= 4) continue;
      SavedGameFile entry{fileName.left(fileName.size() - 4), info.absoluteFilePath(), info.lastModified()};
      auto same = std::find_if(found.begin(), found.end(), [&](const SavedGameFile& f) {
        return f.name.compare(entry.name, Qt::CaseInsensitive) == 0;
      });
      if (same != found.end()) {
        if (same->modified >= entry.modified) continue;
        found.erase(same);
      }
      // Before the first entry that is newer; the list runs from the oldest to the newest.
      auto at =
          std::find_if(found.begin(), found.end(), [&](const SavedGameFile& f) { return f.modified > entry.modified; });
      found.insert(at, std::move(entry));
    }
  }
  return found;
}

QString SavedGames::savedGameFile(const QString& name) const {
  for (const SavedGameFile& f : listSavedGames())
    if (f.name.compare(name, Qt::CaseInsensitive) == 0) return f.hostPath;
  return {};
}

SavedGame SavedGames::capture() const {
  const ProjectSettings& s = module().settings;
  SavedGame g;
  // A game saved during a dialogue resumes in the dialogue's frame.
  g.resumeFrame = game_.dialogue().ResumeFrame();
  for (const auto& v : game_.vars.Variables) g.variables.emplace_back(v->Name, v->Value);
  for (const auto& d : game_.Disappear) g.disappear.emplace_back(d->Name, d->Value);
  g.items = game_.inventory().itemNames();
  g.history = game_.FramesHistory.entries();
  g.projectName = s.ProjectName;
  g.gameTitle = s.GameTitle;
  g.date = QDate::currentDate().toString(QStringLiteral("MM/dd/")) + QString::number(QDate::currentDate().year());
  g.variants.emplace();
  for (const auto& v : game_.vars.VariablesVariant) g.variants->emplace_back(v->Name, v->Value);
  return g;
}

SavedGames::Written SavedGames::writeInto(const QString& hostFolder, const QString& name,
                                          const QByteArray& bytes) const {
  if (!QDir().mkpath(hostFolder)) return Written::NotThere;
  // The new file is written beside the old one and takes its place only when complete.
  QSaveFile file(QDir(hostFolder).filePath(name + kExtension));
  if (!file.open(QIODevice::WriteOnly)) return Written::NotThere;
  if (writeBytes(file, bytes) != bytes.size()) {
    file.cancelWriting();
    return Written::Failed;
  }
  return file.commit() ? Written::Done : Written::Failed;
}

bool SavedGames::SaveGame(const QString& name) {
  EditorAndGame& m = module();
  Written written = Written::Failed;
  try {
    const QByteArray bytes = writeSavedGame(capture());
    const QString existing = savedGameFile(name);
    const bool inUserFolder =
        !existing.isEmpty() && QFileInfo(existing).absolutePath() == QDir(userSaveFolder()).absolutePath();
    // A game folder that cannot be written (a system folder, a read-only medium) sends the
    // saved games to the player's own folder; one saved there stays there.
    if (!inUserFolder) written = writeInto(m.hostPathOf(m.paths.ProjectPath), name, bytes);
    if (inUserFolder || written == Written::NotThere) written = writeInto(userSaveFolder(), name, bytes);
  } catch (const std::exception&) {
    written = Written::Failed;
  }
  if (written != Written::Done) {
    m.ReportError(QStringLiteral(" Unable to save '") + m.paths.ProjectPath + name +
                  QStringLiteral(".sav'.\r\nVerify that this file is not Read-Only and that it does not contain any of "
                                 "the following characters: \" \\ / : * ? < > | ,"));
  }
  return written == Written::Done;
}

QString SavedGames::GetResumeLocation(const QString& sFrameName) {
  QString result = sFrameName;
  EditorAndGame& m = module();
  const QString path = m.paths.ConfigPath + QStringLiteral("Resume");
  if (sFrameName.isEmpty() || !m.FileExists(path)) return result;
  FieldReader r = m.OpenFieldFile(path);
  r.skip(6);
  const QString wanted = sFrameName.toLower();
  while (!r.atEnd()) {
    const QString a = r.readString();
    if (r.atEnd()) break;
    const QString b = r.readString();
    if (a.toLower() == wanted && !b.isEmpty()) result = b;
  }
  return result;
}

void SavedGames::apply(const SavedGame& saved) {
  // Every variable of the saved name takes the saved value; -1 is the value itself, not
  // the request to invert the variable. The names are looked up once, not per field.
  QHash<QString, QList<ClassVariable*>> byName;
  for (const auto& v : game_.vars.Variables) byName[v->Name].append(v.get());
  for (const auto& [name, value] : saved.variables)
    for (ClassVariable* v : byName.value(name)) v->Value = value;
  for (const auto& [frame, index] : saved.disappear) game_.Disappear.Add(frame, index);
  for (const QString& item : saved.items) game_.inventory().AddPickedObject(item, false);
  if (saved.history) {
    game_.FramesHistory.clear();
    for (const QString& frame : *saved.history) game_.FramesHistory.FramesHistoryAdd(frame);
  }
  if (saved.variants)
    for (const auto& [name, value] : *saved.variants) game_.vars.ChangeVariableVariantValue(name, value);
}

bool SavedGames::LoadGame(const QString& name) {
  EditorAndGame& m = module();
  const auto settle = [this](double seconds) {
    QCoreApplication::processEvents();
    pause(seconds);
  };
  bool busy = false;
  const auto normalPointer = [&] {
    if (busy) QApplication::restoreOverrideCursor();
    busy = false;
  };
  try {
    // 2. The game window, its picture hidden while the game is rebuilt.
    game_.PictureBox->hide();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    busy = true;
    settle(0.3);
    // 3. The display is never switched by this player, so no resolution change comes here.
    settle(0.3);
    // 4, 5.
    game_.ResetAll();
    settle(0.3);
    game_.vars.LoadVariables(m);
    settle(0.3);
    // 6.
    SavedGame saved;
    const QString file = savedGameFile(name);
    if (file.isEmpty()) throw PlatformError::fileNotFound();
    FieldReader reader = FieldReader::fromFile(file);
    try {
      readSavedGame(reader, saved);
    } catch (...) {
      // What was read before the damage is restored, as the fields are taken one by one.
      apply(saved);
      throw;
    }
    apply(saved);
    // 7.
    if (loadWindow_) loadWindow_->done(QDialog::Accepted);
    game_.frame.CurrentFrameName = GetResumeLocation(saved.resumeFrame);
    // 8.
    settle(0.2);
    game_.scripts().ExecuteOnLoadVBScript();
    settle(0.2);
    game_.OpenFrame(game_.frame.CurrentFrameName, false, 0, 0);
    settle(0.3);
    // 9.
    game_.PictureBox->show();
    game_.show();
    LoadCancelled = false;
    if (!m.settings.SkipWelcomeWindow && gameShown) gameShown();
    settle(0.3);
    normalPointer();
    return true;
  } catch (const std::exception&) {
    // The picture and the pointer come back, so that the half-restored game can still be
    // played, saved or loaded again.
    game_.PictureBox->show();
    normalPointer();
    m.ReportError(QStringLiteral(" Unable to load '") + m.paths.ProjectPath + name + QStringLiteral(".sav'."));
    return false;
  }
}

void SavedGames::ShowSaveGameWindow() {
  const bool timerWasOn = game_.Timer1.isActive();
  game_.Timer1.stop();
  game_.timedEvents().PauseTimedEvents();
  {
    frmSaveGame window(*this, module(), &game_);
    saveWindow_ = &window;
    window.LoadSaveGames();
    window.exec();
    saveWindow_ = nullptr;
  }
  if (timerWasOn) game_.Timer1.start();
  game_.timedEvents().StartTimedEvents();
}

void SavedGames::ShowLoadGameWindow(bool bAbortIfATimerIsEnabled) {
  if (bAbortIfATimerIsEnabled && game_.timedEvents().AnyTimerObjectRunning()) return;
  const bool timerWasOn = game_.Timer1.isActive();
  game_.Timer1.stop();
  game_.timedEvents().PauseTimedEvents();
  LoadCancelled = false;
  {
    frmLoadGame window(*this, module(), &game_);
    loadWindow_ = &window;
    window.LoadSaveGames();
    window.exec();
    loadWindow_ = nullptr;
  }
  if (LoadCancelled) {
    if (timerWasOn) game_.Timer1.start();
    game_.timedEvents().StartTimedEvents();
  }
}

void SavedGames::ShowLoadGameWindowFromWelcome() {
  LoadCancelled = false;
  frmLoadGame window(*this, module(), nullptr);
  loadWindow_ = &window;
  window.LoadSaveGames();
  window.exec();
  loadWindow_ = nullptr;
}

}  // namespace storyloom
