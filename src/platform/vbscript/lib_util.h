// Small helpers shared by the built-in library modules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/vbscript/builtins.h"

namespace vbs::lib {

// The argument as a plain value (an object's default property).
inline Value plain(Context& cx, const Value& v) { return v.isObject() ? cx.defaultValue(v) : v; }
inline Value arg(Context& cx, Args a, size_t i) { return a.isMissing(i) ? Value::missing() : plain(cx, a[i]); }

// Optional numeric argument: `dflt` when missing.
int32_t optLong(Context& cx, Args a, size_t i, int32_t dflt);
// vbBinaryCompare (0) / vbTextCompare (1) argument; raises 5 for others.
bool optTextCompare(Context& cx, Args a, size_t i);

// Letter case as the US-English locale maps it (Latin-1, Latin Extended-A,
// Greek and Cyrillic).
char16_t toLowerChar(char16_t c);
char16_t toUpperChar(char16_t c);
std::u16string toLower(std::u16string_view s);
std::u16string toUpper(std::u16string_view s);
// Comparison key for vbTextCompare (the lower-case letter).
char16_t textKey(char16_t c);
int compareStrings(std::u16string_view a, std::u16string_view b, bool text);
// Position of `needle` in `hay` from `from` (0-based), npos when absent.
size_t findText(std::u16string_view hay, std::u16string_view needle, size_t from, bool text);
size_t rfindText(std::u16string_view hay, std::u16string_view needle, size_t from, bool text);

// Windows-1252, the ANSI code page of the US-English system (the engine's
// tables in value.h).
char16_t ansiToUnicode(uint8_t b);
// The ANSI byte for a character, or -1 when the code page lacks it.
int unicodeToAnsi(char16_t c);

std::u16string ascii(std::string_view s);

// A string's UTF-16 code units as little-endian bytes (the byte view of ChrB, LenB and
// Unicode text files).
std::string utf16LeBytes(std::u16string_view s);

// Arrays are values: a built-in that keeps an array it was given (Array(),
// Dictionary items) keeps its own copy of the outer array.  Nested arrays
// are shared until the engine copies them on assignment, which keeps
// a = Array(a) in a loop linear.
Value ownArray(const Value& v);

}  // namespace vbs::lib
