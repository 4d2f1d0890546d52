#pragma once
#include <QString>

// The log lines of a walkthrough quote their texts so that every line can be parsed: a
// backslash and a double quote inside a text are written with a backslash before them, and
// line breaks as \n.
namespace storyloom {

inline QString quotedForLog(const QString& text) {
  QString s;
  s.reserve(text.size() + 2);
  s += QLatin1Char('"');
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\\') || c == QLatin1Char('"')) {
      s += QLatin1Char('\\');
      s += c;
    } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
      if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
      s += QLatin1String("\\n");
    } else {
      s += c;
    }
  }
  s += QLatin1Char('"');
  return s;
}

}  // namespace storyloom
