#pragma once
#include <QString>

// The project's procedures file (Config\Procedures), plain or scrambled, and the routines
// that unscramble it.
namespace storyloom {

class EditorAndGame;

// The procedures text: the lines after the three header lines, joined with CR LF (none
// after the last), unscrambled when Config\More says so. "" when there is no file.
QString LoadProcedures(EditorAndGame& module);
// One scrambled line, unscrambled with the numeric key K.
QString UnscrambleText(const QString& sLine, qint32 K);
// The sum of the Windows-1252 codes of the text's characters.
qint32 NameCodeSum(const QString& s);

}  // namespace storyloom
