#pragma once
#include <QCursor>
#include <QPixmap>
#include <QString>
#include <QVariant>

#include "platform/vbscript/object.h"

// The value rules of control properties set by scripts: positions and sizes in twips,
// colour numbers, Booleans, texts, pointers and pictures. A value that does not convert
// raises the platform's error: 13 Type mismatch, 6 Overflow, 94 Invalid use of Null, 380
// Invalid property value.
namespace storyloom {

inline bool memberIs(std::u16string_view name, const char16_t* member) { return vbs::equalsNoCase(name, member); }
inline vbs::Value scriptText(const QString& text) { return vbs::Value(text.toStdU16String()); }
inline QString qtText(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A script value as a Variant of the conversion module; an object raises Type mismatch.
QVariant variantOf(const vbs::Value& value);

float twipsValue(const vbs::Value& value);
// A width or a height: negative sizes are Invalid property value.
float sizeValue(const vbs::Value& value);
bool booleanValue(const vbs::Value& value);
QString textValue(const vbs::Value& value);
// red + 256 x green + 65536 x blue, or a system colour (&H80000000 to &H80000018).
qint32 colourValue(const vbs::Value& value);
// Points, more than 0 and at most 2160.
float fontSizeValue(const vbs::Value& value);
// 0 to 15, or 99 for the control's own MouseIcon.
qint16 mousePointerValue(const vbs::Value& value);

// The pointer a MousePointer number stands for; 99 is the custom pointer, 0 the default.
QCursor cursorForPointer(int mousePointer, const QCursor& custom, const QCursor& standard);

// A picture given to a Picture or MouseIcon property: Nothing clears it; a picture object
// gives its picture; anything else that is no object is a Type mismatch.
QPixmap pictureValue(const vbs::Value& value);
// The picture object a Picture or MouseIcon property reads as.
vbs::Value pictureObject(const QPixmap& pixmap);

// The Windows name of a host font family (Liberation Sans reads as Arial, ...).
QString windowsFontName(const QString& hostFamily);

// "Property is read-only".
[[noreturn]] void raiseReadOnly();

}  // namespace storyloom
