#include "platform/ini_file.h"

#include <QFile>
#include <QStringList>

#include "platform/text_codec.h"

namespace storyloom {
namespace {

QStringList readLines(const QString& hostPath, bool* exists) {
  QFile f(hostPath);
  *exists = f.open(QIODevice::ReadOnly);
  if (!*exists) return {};
  QString text = decodeWindows1252(f.readAll());
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace('\r', '\n');
  QStringList lines = text.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

bool isSection(const QString& line, QString* name) {
  const QString t = line.trimmed();
  if (!t.startsWith('[')) return false;
  const qsizetype close = t.indexOf(']');
  if (close < 0) return false;
  *name = t.mid(1, close - 1).trimmed();
  return true;
}

bool isKey(const QString& line, const QString& key, QString* value) {
  const qsizetype eq = line.indexOf('=');
  if (eq < 0) return false;
  if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) return false;
  *value = line.mid(eq + 1).trimmed();
  return true;
}

}  // namespace

QString IniFile::read(const QString& hostPath, const QString& section, const QString& key,
                      const QString& defaultValue) {
  bool exists = false;
  const QStringList lines = readLines(hostPath, &exists);
  bool inSection = false;
  for (const QString& line : lines) {
    QString name;
    if (isSection(line, &name)) {
      inSection = name.compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    QString value;
    if (inSection && isKey(line, key, &value)) {
      if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) value = value.mid(1, value.size() - 2);
      return value;
    }
  }
  return defaultValue;
}

bool IniFile::write(const QString& hostPath, const QString& section, const QString& key, const QString& value) {
  bool exists = false;
  QStringList lines = readLines(hostPath, &exists);
  qsizetype sectionStart = -1, sectionEnd = lines.size();
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QString name;
    if (isSection(lines[i], &name)) {
      if (sectionStart >= 0) {
        sectionEnd = i;
        break;
      }
      if (name.compare(section, Qt::CaseInsensitive) == 0) sectionStart = i;
    }
  }
  const QString entry = key + '=' + value;
  if (sectionStart < 0) {
    if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QString());
    lines.append('[' + section + ']');
    lines.append(entry);
  } else {
    bool replaced = false;
    for (qsizetype i = sectionStart + 1; i < sectionEnd; ++i) {
      QString old;
      if (isKey(lines[i], key, &old)) {
        lines[i] = entry;
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      qsizetype at = sectionEnd;
      while (at > sectionStart + 1 && lines[at - 1].trimmed().isEmpty()) --at;
      lines.insert(at, entry);
    }
  }
  QFile f(hostPath);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const QByteArray bytes = encodeWindows1252(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
  return f.write(bytes) == bytes.size();
}

}  // namespace storyloom
