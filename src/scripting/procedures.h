#pragma once
#include <QString>

// The project's procedures file (Config\Procedures), plain or scrambled, and the routines
// that unscramble it.
namespace storyloom {

class EditorAndGame;

// The procedures text: the lines after the three header lines, joined with CR LF (none
// after the last), unscrambled when Config\More says so. "" when there is no file; "" and
// the message "Error loading projet procedures." when the file cannot be read (a file of
// three lines or fewer included).
QString LoadProcedures(EditorAndGame& module);
// One scrambled line, unscrambled with the numeric key K. The first character carries the
// line's offset; the others, last to second, are the text. Raises Overflow (6) when the
// 32-bit arithmetic overflows.
QString UnscrambleText(const QString& sLine, qint32 K);
// The sum of the Windows-1252 codes of the text's characters; Overflow (6) past 32 bits.
qint32 NameCodeSum(const QString& s);

}  // namespace storyloom
