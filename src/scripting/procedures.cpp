#include "scripting/procedures.h"

#include <QFile>
#include <array>

#include "platform/conversions.h"
#include "platform/message_boxes.h"
#include "platform/platform_error.h"
#include "platform/skipped_steps.h"
#include "platform/text_codec.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

constexpr char kScrambleKey[] = "qmhazpwylktrsvbnucxoi";
constexpr int kKeyLength = sizeof(kScrambleKey) - 1;
constexpr int kHeaderLines = 3;

std::array<qint32, kKeyLength> ScrambleKeyValues{};
bool ScrambleKeyValuesFilled = false;

void InitScrambleTable() {
  for (int j = 0; j < kKeyLength; ++j) ScrambleKeyValues[j] = kScrambleKey[j] - 32;
  ScrambleKeyValuesFilled = true;
}

// 32-bit results: anything wider is an overflow.
qint32 long32(qint64 value) { return toLong(static_cast<double>(value)); }

// The lines of a text file read one by one: each ends at CR LF, LF or CR; after the last
// line's end the file is at its end.
class LineFile {
 public:
  explicit LineFile(QByteArray bytes) : bytes_(std::move(bytes)) {}
  bool atEnd() const { return pos_ >= bytes_.size(); }
  QString readLine() {
    if (atEnd()) throw PlatformError::pastEnd();
    qsizetype end = pos_;
    while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n') ++end;
    const QString line = decodeWindows1252(bytes_.constData() + pos_, end - pos_);
    pos_ = end;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') {
      ++pos_;
      if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    } else if (pos_ < bytes_.size() && bytes_[pos_] == '\n') {
      ++pos_;
    }
    return line;
  }

 private:
  QByteArray bytes_;
  qsizetype pos_ = 0;
};

}  // namespace

qint32 NameCodeSum(const QString& s) {
  qint32 sum = 0;
  for (const char c : encodeWindows1252(s)) sum = long32(qint64(sum) + static_cast<unsigned char>(c));
  return sum;
}

QString UnscrambleText(const QString& sLine, qint32 K) {
  if (sLine.isEmpty()) return {};
  if (!ScrambleKeyValuesFilled) InitScrambleTable();
  const QByteArray s = encodeWindows1252(sLine);
  const qint32 offset = static_cast<unsigned char>(s[0]) - 32;
  const qsizetype n = s.size();
  QByteArray result;
  result.reserve(n - 1);
  for (qint32 i = 0; i <= n - 2; ++i) {
    qint32 ch = static_cast<unsigned char>(s[n - 1 - i]);
    if (ch >= 32 && ch <= 126) {
      const qint32 factor = long32(qint64(i) + offset);
      const qint32 shift = long32(qint64(long32(qint64(factor) * ScrambleKeyValues[i % kKeyLength])) + K);
      qint32 v = long32(qint64(ch) - 32 - shift) % 94;
      if (v < 0) v += 94;
      ch = v + 32;
    }
    result.append(static_cast<char>(ch));
  }
  return decodeWindows1252(result);
}

QString LoadProcedures(EditorAndGame& module) {
  try {
    const qint32 K = NameCodeSum(module.settings.ProjectName);
    const QString flag = module.ReadIniValue(module.paths.ConfigPath + QStringLiteral("More"),
                                             QStringLiteral("General"), QStringLiteral("ProcEncr"));
    const bool scrambled = numberFromText(flag) == 1.0;
    const QString path = module.paths.ConfigPath + QStringLiteral("Procedures");
    if (!module.FileExists(path)) return {};
    QFile file(module.hostPathOf(path));
    if (!file.open(QIODevice::ReadOnly)) throw PlatformError::fileNotFound();
    LineFile lines(file.readAll());
    for (int i = 0; i < kHeaderLines && !lines.atEnd(); ++i) lines.readLine();
    QString result;
    for (;;) {
      const QString line = lines.readLine();
      result += scrambled ? UnscrambleText(line, K) : line;
      if (lines.atEnd()) break;
      result += QStringLiteral("\r\n");
    }
    return result;
  } catch (...) {
    const PlatformError e = PlatformError::current();
    logSkipped(QStringLiteral("the procedures file"), e.code(), e.text());
    module.MessageBox(QStringLiteral("Error loading projet procedures."), msg::Critical, QStringLiteral("Error"));
    return {};
  }
}

}  // namespace storyloom
