#pragma once
#include <QString>
#include <QVariant>
#include <optional>

// The value rules of the platform the games were made for, in one place: how text becomes
// a number, how a number is stored into an Integer (16-bit), a Long (32-bit) or a Single,
// how values "taken as written" (Variants) become numbers, Booleans and text. Every reader
// of project files and saved games converts through these; a value that does not convert
// raises PlatformError with the platform's number (13 Type mismatch, 6 Overflow).
//
// A Variant here is a QVariant: invalid is Empty, std::nullptr_t is Null, then Bool, the
// number types, QString and the date types.
namespace storyloom {

// Half to even, as stores into Integer and Long and CInt/CLng round (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// Decimal text with a point ("12", "-3", "1.5", "1E+20"), also "&H1F" and "&O17"; blanks
// around it are ignored and empty text is 0. Nothing for text that is no number.
std::optional<double> numberFromText(const QString& text);
// "#TRUE#" and "True" (any case) are true, "#FALSE#" and "False" are false; nothing else.
std::optional<bool> booleanFromText(const QString& text);

// Stores of a Double: rounded half to even for the whole-number types; "Overflow" when
// the value does not fit.
qint16 toInteger(double value);
qint32 toLong(double value);
float toSingle(double value);

// Variants. Empty is 0, False or ""; Null raises "Invalid use of Null" where a number or
// Boolean is needed and is "" as text; Booleans are -1/0 as numbers and "True"/"False" as
// text; text is a number when it holds one or the word True or False, and "Type mismatch"
// otherwise (empty text and "#TRUE#" included: those forms belong to the file, where the
// field reader turns an empty value into Empty and a bare #TRUE# into a Boolean).
double numberOf(const QVariant& value);
qint16 integerOf(const QVariant& value);
qint32 longOf(const QVariant& value);
float singleOf(const QVariant& value);
bool booleanOf(const QVariant& value);
QString textOf(const QVariant& value);

// The field value "taken as written": Booleans, Null, dates, whole numbers as Integer or
// Long, other numbers as Double, anything else as text.
QVariant variantFromBareText(const QString& text);

}  // namespace storyloom
