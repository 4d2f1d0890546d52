#pragma once
#include <QByteArray>
#include <QString>

// Project files are Windows-1252 text; these turn bytes into Unicode and back.
namespace storyloom {

QString decodeWindows1252(const QByteArray& bytes);
QString decodeWindows1252(const char* data, qsizetype size);
// Characters without a Windows-1252 form are written as "?".
QByteArray encodeWindows1252(const QString& text);

}  // namespace storyloom
