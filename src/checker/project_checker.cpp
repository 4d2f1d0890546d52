#include "checker/project_checker.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "dialogue/dialogue_file.h"
#include "game/frame_file.h"
#include "game/frame_history.h"
#include "hotspots/action_record.h"
#include "hotspots/hotspot_file.h"
#include "hotspots/record_fields.h"
#include "media/audio_channels.h"
#include "platform/message_boxes.h"
#include "platform/skipped_steps.h"
#include "platform/user_settings.h"
#include "platform/vbscript/engine.h"
#include "scripting/procedures.h"
#include "shell/editor_and_game.h"
#include "state/inventory.h"
#include "state/variables.h"

namespace storyloom {

QString checkKindName(CheckFinding::Kind kind) {
  switch (kind) {
    case CheckFinding::Kind::BrokenLink: return QStringLiteral("broken link");
    case CheckFinding::Kind::MissingMedia: return QStringLiteral("missing file");
    case CheckFinding::Kind::ScriptError: return QStringLiteral("script error");
    case CheckFinding::Kind::UnknownVariable: return QStringLiteral("unknown variable");
    case CheckFinding::Kind::CutShort: return QStringLiteral("cut short");
    case CheckFinding::Kind::Unread: return QStringLiteral("never read");
  }
  return {};
}

QStringList CheckReport::lines() const {
  QStringList out;
  for (const CheckFinding& f : findings)
    out.append(QStringLiteral("%1: %2%3: %4")
                   .arg(f.file, f.record ? QStringLiteral("record %1: ").arg(f.record) : QString(),
                        checkKindName(f.kind), f.message));
  return out;
}

QByteArray CheckReport::json() const {
  QJsonArray list;
  for (const CheckFinding& f : findings)
    list.append(
        QJsonObject{{"file", f.file}, {"record", f.record}, {"kind", checkKindName(f.kind)}, {"message", f.message}});
  return QJsonDocument(QJsonObject{{"project", isProject}, {"findings", list}}).toJson(QJsonDocument::Compact);
}

namespace {

// Collects what an action record does to the game, for the checks.
struct RecordedEffects : ActionNowEffects {
  QStringList variables;
  QStringList items;
  void ChangeVariableValue(const QString& name, qint16) override { variables.append(name); }
  void HideHotspot() override {}
  void StopMidi() override {}
  void StopAnyWavOrMP3() override {}
  void SetAudioFadeDuration(double) override {}
  void StoreChannelEntry(int, const ChannelEntry&) override {}
  void AddPickedObject(const QString& itemName) override { items.append(itemName); }
};

class Checker {
 public:
  explicit Checker(const QString& hostFolder)
      : folder_(QFileInfo(hostFolder).absoluteFilePath()),
        settings_(settingsDir_.path() + QStringLiteral("/settings.ini")),
        module_(messages_, settings_) {
    messages_.setAutomatic([this](const QString& line) { shown_.append(line); });
  }

  CheckReport run() {
    CheckReport report;
    if (!QFileInfo(folder_ + QStringLiteral("/Config/General")).isFile()) return report;
    report.isProject = true;
    module_.InitProject(folder_);
    for (const QString& line : shown_) add(CheckFinding::Kind::CutShort, QStringLiteral("Config/General"), 0, line);
    try {
      vars_.LoadVariables(module_);
    } catch (const PlatformError& e) {
      add(CheckFinding::Kind::CutShort, QStringLiteral("Config/Variables"), 0, e.text());
    }
    for (const QString& f : files()) {
      if (f.startsWith(QLatin1String("Frames/")) && f.endsWith(QLatin1String(".fme"), Qt::CaseInsensitive))
        frames_.insert(QFileInfo(f).completeBaseName().toLower());
    }
    compile(QStringLiteral("Config/General"), 0, module_.settings.StartupScript);
    compile(QStringLiteral("Config/General"), 0, module_.settings.FrameScript);
    const QString procedures = LoadProcedures(module_);
    compile(QStringLiteral("Config/Procedures"), 0, procedures);
    for (const QString& f : files()) checkFile(f);
    report.findings = std::move(findings_);
    return report;
  }

 private:
  QStringList files() const {
    QStringList list;
    const QDir dir(folder_);
    QDirIterator it(folder_, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) list.append(dir.relativeFilePath(it.next()));
    list.sort();
    return list;
  }
  void add(CheckFinding::Kind kind, const QString& file, int record, const QString& message) {
    findings_.push_back({kind, file, record, message});
  }
  bool exists(const QString& windowsFolder, const QString& name) {
    return module_.FileExists(module_.ResolveProjectFile(windowsFolder + name));
  }
  void media(const QString& file, int record, const QString& windowsFolder, const QString& folderName,
             const QString& name) {
    if (name.trimmed().isEmpty() || exists(windowsFolder, name)) return;
    add(CheckFinding::Kind::MissingMedia, file, record, folderName + '/' + name);
  }
  void link(const QString& file, int record, const QString& frame) {
    if (frame.isEmpty() || frames_.contains(frame.toLower())) return;
    add(CheckFinding::Kind::BrokenLink, file, record, QStringLiteral("no frame \"%1\"").arg(frame));
  }
  void compile(const QString& file, int record, const QString& code) {
    if (code.trimmed().isEmpty()) return;
    try {
      vbs::Engine engine;
      engine.check(code.toStdU16String());
    } catch (const vbs::ScriptError& e) {
      add(CheckFinding::Kind::ScriptError, file, record,
          QStringLiteral("line %1: %2").arg(e.line).arg(QString::fromStdU16String(e.description)));
    }
    // GoToFrame with a literal name must name a frame.
    static const QRegularExpression goTo(QStringLiteral(R"re(GoToFrame\s*\(?\s*"([^"]*)")re"),
                                         QRegularExpression::CaseInsensitiveOption);
    for (auto m = goTo.globalMatch(code); m.hasNext();) link(file, record, m.next().captured(1));
  }
  void variable(const QString& file, int record, const QString& name) {
    if (name.isEmpty() || vars_.GetVariableValue(name) != ProjectVariables::kMissing) return;
    add(CheckFinding::Kind::UnknownVariable, file, record, QStringLiteral("\"%1\"").arg(name));
  }

  void checkFile(const QString& f) {
    const QString folder = f.section('/', 0, 0);
    const QString name = QFileInfo(f).fileName();
    const QString stem = QFileInfo(f).completeBaseName();
    const QString ext = QFileInfo(f).suffix().toLower();
    const bool frameKnown = frames_.contains(stem.toLower());
    if (name == QLatin1String(".keep")) return;
    if (folder == QLatin1String("Frames") && ext == QLatin1String("fme")) return checkFrame(f);
    if (folder == QLatin1String("FramesData")) {
      if (!frameKnown)
        return add(CheckFinding::Kind::Unread, f, 0, QStringLiteral("no frame \"%1\" uses it").arg(stem));
      if (ext == QLatin1String("fm2") || ext == QLatin1String("mr2")) return checkHotspots(f);
      if (ext == QLatin1String("fm3") || ext == QLatin1String("mr3") || ext == QLatin1String("fm0"))
        return checkActions(f);
      if (ext == QLatin1String("dlg")) return checkDialogue(f, stem);
      if (ext == QLatin1String("fm4")) return checkPickedItems(f, stem);
      if (ext == QLatin1String("fm5")) return checkHotspotSounds(f, stem);
      return;
    }
    if (folder == QLatin1String("Frames") && (ext == QLatin1String("lks") || ext == QLatin1String("chn")) &&
        !frameKnown)
      return add(CheckFinding::Kind::Unread, f, 0, QStringLiteral("no frame \"%1\" uses it").arg(stem));
    if (folder == QLatin1String("Frames") && ext == QLatin1String("chn")) return checkChannelList(f);
    if (folder == QLatin1String("Areas") && ext == QLatin1String("obj")) return checkItem(f);
    if (folder == QLatin1String("Areas") && ext == QLatin1String("drg")) return checkCombination(f);
  }

  void checkFrame(const QString& f) {
    FrameFile frame;
    try {
      FieldReader reader = FieldReader::fromFile(folder_ + '/' + f);
      frame.read(reader);
    } catch (const PlatformError& e) {
      return add(CheckFinding::Kind::CutShort, f, 1, e.text());
    }
    const QString frames = module_.paths.FramesPath;
    if (frame.FramePicture.contains('.')) media(f, 1, frames, QStringLiteral("Frames"), frame.FramePicture);
    media(f, 1, module_.paths.AreasPath, QStringLiteral("Areas"), frame.MusicFile);
    media(f, 1, frames, QStringLiteral("Frames"), frame.FrameSound);
    media(f, 1, frames, QStringLiteral("Frames"), frame.VideoFile);
    if (frame.FrameTimerEnabled) link(f, 1, frame.FrameTimerTarget);
    if (frame.OnLoadScriptEnabled) compile(f, 1, frame.OnLoadScript);
  }

  void checkHotspots(const QString& f) {
    HotspotFileReader reader(FieldReader::fromFile(folder_ + '/' + f));
    for (int n = 1; !reader.atEnd() && n < 100000; ++n) {
      HotspotRecord r;
      try {
        r = reader.next();
      } catch (const PlatformError& e) {
        return add(CheckFinding::Kind::CutShort, f, n, e.text());
      }
      for (const PlatformError& e : r.readErrors) add(CheckFinding::Kind::CutShort, f, n, e.text());
      if (r.ShowPicture.toBool())
        media(f, n, module_.paths.AreasPath, QStringLiteral("Areas"), r.PictureFile.toString());
      const QString cursor = r.CursorFile.toString();
      if (cursor.compare(QLatin1String("default"), Qt::CaseInsensitive) != 0)
        media(f, n, module_.paths.IconsPath, QStringLiteral("Icons"), cursor);
      if (r.HasVideo.toBool()) media(f, n, module_.paths.FramesPath, QStringLiteral("Frames"), r.VideoFile.toString());
      for (const QString& v : r.HideIfAnySet) variable(f, n, v);
      for (const QString& v : r.HideUnlessAllSet) variable(f, n, v);
    }
  }

  void checkActions(const QString& f) {
    QFile raw(folder_ + '/' + f);
    const bool endsWithLine = raw.open(QIODevice::ReadOnly) && raw.size() > 0 && raw.seek(raw.size() - 1) &&
                              raw.read(1) == QByteArrayLiteral("\n");
    FieldReader reader = FieldReader::fromFile(folder_ + '/' + f);
    for (int n = 1; !reader.atEnd() && n < 100000; ++n) {
      RecordedEffects effects;
      ActionRecord r;
      try {
        reader.skip(10);
        r = ReadActionRecord(reader, effects);
        // The last record may end without its separator (older editors) but not in the
        // middle of a line.
        if (reader.atEnd() && !endsWithLine) {
          add(CheckFinding::Kind::CutShort, f, n, QStringLiteral("the record stops in the middle of a line"));
          return;
        }
        SkipToSeparator(reader);
      } catch (const PlatformError& e) {
        return add(CheckFinding::Kind::CutShort, f, n, e.text());
      }
      if (r.GoToAnotherFrame == 1) link(f, n, r.TargetFrame);
      if (r.RunScript) compile(f, n, r.ScriptText);
      if (r.PlayMovie) media(f, n, module_.paths.FramesPath, QStringLiteral("Frames"), r.MovieFile);
      if (r.PlayMidi) media(f, n, module_.paths.AreasPath, QStringLiteral("Areas"), r.MidiFile);
      if (r.PlayMp3) media(f, n, module_.paths.FramesPath, QStringLiteral("Frames"), r.Mp3File);
      for (const QString& v : effects.variables) variable(f, n, v);
      for (const QString& item : effects.items)
        media(f, n, module_.paths.AreasPath, QStringLiteral("Areas"), item + QStringLiteral(".obj"));
    }
  }

  // The number of hotspot records of a frame's ".fm2" file, as far as it reads (its damage
  // is reported where the file itself is checked).
  int hotspotRecords(const QString& frame) {
    const QString path = folder_ + QStringLiteral("/FramesData/") + frame + QStringLiteral(".fm2");
    if (!QFileInfo(path).isFile()) return 0;
    HotspotFileReader reader(FieldReader::fromFile(path));
    int n = 0;
    runSkippingErrors(QStringLiteral("counting the hotspots of ") + path, [&] {
      for (; !reader.atEnd() && n < 100000; ++n) reader.next();
    });
    return n;
  }

  // Questions' scripts compile, and the hotspots they name are hotspots of the frame (the
  // player leaves out a number beyond the frame's hotspot count).
  void checkDialogue(const QString& f, const QString& frame) {
    std::vector<DialogueQuestion> questions;
    try {
      FieldReader reader = FieldReader::fromFile(folder_ + '/' + f);
      questions = ReadDialogueFile(reader);
    } catch (const PlatformError& e) {
      return add(CheckFinding::Kind::CutShort, f, 0, e.text());
    }
    const qint16 count = ReadHotspotCount(module_, frame);
    for (size_t i = 0; i < questions.size(); ++i) {
      const DialogueQuestion& q = questions[i];
      const int n = static_cast<int>(i) + 1;
      for (const QString& code : {q.QuestionScript1, q.QuestionScript2, q.QuestionScript3}) compile(f, n, code);
      for (const qint16 hotspot : {q.QuestionHotspot1, q.QuestionHotspot2, q.QuestionHotspot3}) {
        if (hotspot == 0 || (hotspot > 0 && hotspot <= count)) continue;
        add(CheckFinding::Kind::BrokenLink, f, n,
            QStringLiteral("no hotspot %1 in frame \"%2\" (it has %3)").arg(hotspot).arg(frame).arg(count));
      }
    }
  }

  // The item each hotspot gives is there; a damaged file is cut short at the first hotspot
  // whose look-up fails.
  void checkPickedItems(const QString& f, const QString& frame) {
    const int hotspots = hotspotRecords(frame);
    int area = 1;
    try {
      for (; area <= hotspots; ++area) {
        FieldReader reader = FieldReader::fromFile(folder_ + '/' + f);
        if (const std::optional<QString> item = ReadPickedItem(reader, area))
          media(f, area, module_.paths.AreasPath, QStringLiteral("Areas"), *item + QStringLiteral(".obj"));
      }
      // An index no record can have: the whole file is read.
      FieldReader reader = FieldReader::fromFile(folder_ + '/' + f);
      area = 0;
      ReadPickedItem(reader, -100000);
    } catch (const PlatformError& e) {
      add(CheckFinding::Kind::CutShort, f, area, e.text());
    }
  }

  void channelSounds(const QString& f, int record, FieldReader& reader) {
    ReadOldChannelList(reader, [&](int, const OldChannelEntry& entry) {
      if (entry.play) media(f, record, module_.paths.AreasPath, QStringLiteral("Areas"), entry.name);
    });
  }

  void checkHotspotSounds(const QString& f, const QString& frame) {
    const int hotspots = hotspotRecords(frame);
    for (int area = 1; area <= hotspots; ++area) {
      try {
        if (std::optional<FieldReader> reader = OpenHotspotSounds(module_, frame, area))
          channelSounds(f, area, *reader);
      } catch (const PlatformError& e) {
        return add(CheckFinding::Kind::CutShort, f, area, e.text());
      }
    }
  }

  void checkChannelList(const QString& f) {
    try {
      FieldReader reader = FieldReader::fromFile(folder_ + '/' + f);
      channelSounds(f, 1, reader);
    } catch (const PlatformError& e) {
      add(CheckFinding::Kind::CutShort, f, 1, e.text());
    }
  }

  void checkItem(const QString& f) {
    try {
      FieldReader reader = FieldReader::fromFile(folder_ + '/' + f);
      media(f, 1, module_.paths.AreasPath, QStringLiteral("Areas"), reader.readString());
    } catch (const PlatformError& e) {
      add(CheckFinding::Kind::CutShort, f, 1, e.text());
    }
  }

  void checkCombination(const QString& f) {
    try {
      FieldReader reader = FieldReader::fromFile(folder_ + '/' + f);
      reader.skip(2);
      const bool add = isTrue(reader.readString());
      const QString added = reader.readString();
      if (add) media(f, 1, module_.paths.AreasPath, QStringLiteral("Areas"), added + QStringLiteral(".obj"));
      if (!reader.atEnd()) {
        reader.skip(3);
        const bool runCode = reader.readBoolean();
        QString code = reader.readString();
        code.replace(QLatin1Char('|'), QLatin1Char('"'));
        if (runCode) compile(f, 1, code);
      }
    } catch (const PlatformError& e) {
      this->add(CheckFinding::Kind::CutShort, f, 1, e.text());
    }
  }
  static bool isTrue(const QString& s) { return s.trimmed() == QLatin1String("1"); }

  QString folder_;
  QTemporaryDir settingsDir_;
  MessageBoxes messages_;
  UserSettings settings_;
  EditorAndGame module_;
  QStringList shown_;
  ProjectVariables vars_;
  QSet<QString> frames_;
  std::vector<CheckFinding> findings_;
};

}  // namespace

CheckReport CheckProject(const QString& hostFolder) { return Checker(hostFolder).run(); }

}  // namespace storyloom
