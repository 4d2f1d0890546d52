#include "shell/editor_and_game.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTime>
#include <algorithm>

#include "platform/ini_file.h"
#include "platform/skipped_steps.h"
#include "platform/text_codec.h"
#include "shell/multi_cd.h"

namespace storyloom {

double SecondsSinceMidnight() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

EditorAndGame::EditorAndGame(MessageBoxes& messages, UserSettings& userSettings)
    : messages_(messages),
      userSettings_(userSettings),
      display_(std::make_unique<Display>(*this)),
      multiCD_(std::make_unique<MultiCDModule>(*this)) {
  CDFilePath = [this](const QString& path) { return multiCD_->CDFilePath(path); };
}

EditorAndGame::~EditorAndGame() = default;

int EditorAndGame::MessageBox(const QString& text, int style, const QString& title) {
  return messages_.show(withHostPaths(text), style, title);
}

// A path of this machine in Windows form starts with "Z:\" and runs to a quote, a closing
// parenthesis, a line break or the end; a full stop that ends the sentence is not part of it.
QString EditorAndGame::withHostPaths(const QString& text) {
  static const QString kEnds = QStringLiteral("\"')\r\n");
  QString out;
  qsizetype from = 0;
  for (;;) {
    const qsizetype at = text.indexOf(QLatin1String(":\\"), from);
    if (at < 1 || text[at - 1].toLower() != QLatin1Char('z') ||
        (at >= 2 && (text[at - 2].isLetterOrNumber() || text[at - 2] == QLatin1Char('\\')))) {
      if (at < 0) break;
      out += text.mid(from, at + 2 - from);
      from = at + 2;
      continue;
    }
    qsizetype end = at + 1;
    while (end < text.size() && !kEnds.contains(text[end])) ++end;
    while (end > at + 2 && text[end - 1] == QLatin1Char('.') && (end == text.size() || text[end].isSpace())) --end;
    out += text.mid(from, at - 1 - from);
    out += hostPaths_.toHost(text.mid(at - 1, end - at + 1));
    from = end;
  }
  out += text.mid(from);
  return out;
}

void EditorAndGame::ReportError(const QString& context, const QString& description) {
  MessageBox(texts(30) + QStringLiteral("\r\n\r\n") + texts(31) + context + description, msg::Critical, texts(29));
}

FieldReader EditorAndGame::OpenFieldFile(const QString& path) { return FieldReader::fromFile(hostPaths_.toHost(path)); }

QString EditorAndGame::MergedOrOwnFrameFile(const QString& frameName, const QString& mergedExt, const QString& ownExt) {
  const QString base = paths.FramesDataPath + frameName;
  if (FileExists(base + mergedExt)) return base + mergedExt;
  if (FileExists(base + ownExt)) return base + ownExt;
  return {};
}

QString EditorAndGame::ReadIniValue(const QString& path, const QString& section, const QString& key,
                                    const QString& defaultValue) {
  return IniFile::read(hostPaths_.toHost(path), section, key, defaultValue);
}

EditorAndGame::InitResult EditorAndGame::InitProject(const QString& hostProjectFolder) {
  // Each step below is skipped on failure; only a missing settings file or declined
  // large-fonts warning ends the program.
  display_->RecordStartupDisplayMode();
  if (paths.ProjectPath.isEmpty()) {
    hostPaths_.setBase(hostProjectFolder);
    paths.setFromProjectFolder(HostPaths::windowsFolderOf(hostProjectFolder));
  }
  const QString textsPath = paths.ConfigPath + QStringLiteral("Texts");
  const bool haveTexts = FileExists(textsPath);
  if (!haveTexts) texts.SetDefaultUITexts(0);
  // The frame state is owned by the game window and starts cleared.
  if (haveTexts) {
    bool ok = false;
    try {
      FieldReader reader = OpenFieldFile(textsPath);
      ok = texts.LoadUITexts(&reader);
    } catch (const PlatformError&) {
      texts.SetDefaultUITexts(0);
    }
    if (!ok) messages_.show(QStringLiteral("Unable to load text."), msg::Critical, QStringLiteral("Error"));
  } else {
    texts.LoadUITexts(nullptr);
  }
  const QString generalPath = paths.ConfigPath + QStringLiteral("General");
  if (!FileExists(generalPath)) {
    MessageBox(texts(33) + ' ' + generalPath, msg::Exclamation, texts(29));
    return InitResult::EndProgram;
  }
  if (SmallFontsCheck && !SmallFontsCheck()) {
    const int answer = messages_.show(texts(40) + QStringLiteral("\r\n\r\n") + texts(41),
                                      msg::YesNo | msg::Exclamation | msg::DefaultButton2, QStringLiteral("!!!"));
    if (answer == msg::No) return InitResult::EndProgram;
  }
  try {
    FieldReader reader = OpenFieldFile(generalPath);
    settings.LoadGeneralSettings(reader);
  } catch (const PlatformError&) {
    ReportError(QStringLiteral(" Error loading project information."));
  }
  runSkippingErrors(QStringLiteral("start-up: the CD index"), [&] { multiCD_->LoadCDContents(); });
  return InitResult::Ready;
}

QString EditorAndGame::FileNameOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf('\\');
  return slash < 0 ? path : path.mid(slash + 1);
}

QString EditorAndGame::AlternateFileName(const QString& path) {
  const QString name = FileNameOf(path);
  if (name.size() <= 4) return path;
  const QString ext = path.right(4).toLower();
  static const struct {
    const char* ext;
    int code;
  } kCodes[] = {{".ico", 2},  {".cur", 3},  {".bmp", 4},  {".jpg", 5},  {".gif", 6},  {".wmf", 7},
                {".emf", 8},  {".wav", 10}, {".mid", 11}, {".mp3", 12}, {".avi", 14}, {".wma", 16},
                {".mpg", 20}, {".mpe", 24}, {".m1v", 26}, {".wmv", 28}, {".ogg", 31}, {".snd", 34},
                {".rmi", 36}, {".mpa", 38}, {".mp2", 40}, {".asf", 44}};
  int code = -1;
  for (const auto& c : kCodes)
    if (ext == QLatin1String(c.ext)) code = c.code;
  if (code < 0) return path;
  // The character codes of the Windows-1252 names the editor stored.
  const QByteArray codes = encodeWindows1252(name.left(3));
  const int a = static_cast<unsigned char>(codes[0]), b = static_cast<unsigned char>(codes[1]),
            c = static_cast<unsigned char>(codes[2]);
  // 16-bit signed arithmetic, as the stored names were made with it.
  const qint16 product1 = static_cast<qint16>(a * ((code % 3) + 1));
  const qint16 product2 = static_cast<qint16>(c * ((code & 1) + 1));
  qint16 sum = static_cast<qint16>(product1 - b + product2);
  sum = static_cast<qint16>(sum < 0 ? -sum : sum);
  const qint16 n = static_cast<qint16>(sum + code);
  return path.left(path.size() - 4) + '.' + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

QString EditorAndGame::DirOrEmpty(const QString& path) {
  if (path.isEmpty()) return {};
  const QString host = hostPaths_.toHost(path);
  const QFileInfo info(host);
  if (!info.isFile()) return {};
  return info.fileName();
}

QString EditorAndGame::ResolveProjectFile(const QString& path) {
  if (!DirOrEmpty(path).isEmpty()) return path;
  QString p = path;
  if (path.size() >= 5) {
    p = AlternateFileName(path);
    if (!DirOrEmpty(p).isEmpty()) return p;
    p = CDFilePath ? CDFilePath(path) : path;
    if (!DirOrEmpty(p).isEmpty()) return p;
  }
  if (DirOrEmpty(p).isEmpty() && !EverythingStopped) {
    MessageBox(texts(33) + QStringLiteral("\r\n") + p + QStringLiteral("\r\n\r\n") + texts(34), msg::Exclamation,
               texts(29));
  }
  return p;
}

void EditorAndGame::DeleteFileIfExists(const QString& path) {
  if (DirOrEmpty(path).isEmpty()) return;
  QFile::remove(hostPaths_.toHost(path));
}

void EditorAndGame::WaitSeconds(double seconds, bool noEvents) {
  const double start = SecondsSinceMidnight();
  for (;;) {
    double now = SecondsSinceMidnight();
    if (now < start) now += 86400.0;  // the clock passed midnight
    if (now - start >= seconds) break;
    if (!noEvents) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double left = seconds - (now - start);
    QThread::usleep(static_cast<unsigned long>(std::min(0.002, std::max(0.0, left)) * 1e6));
  }
}

}  // namespace storyloom
