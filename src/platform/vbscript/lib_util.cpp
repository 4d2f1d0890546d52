#include "platform/vbscript/lib_util.h"

#include <vector>

namespace vbs::lib {

int32_t optLong(Context& cx, Args a, size_t i, int32_t dflt) {
  if (a.isMissing(i)) return dflt;
  return plain(cx, a[i]).toLong();
}

bool optTextCompare(Context& cx, Args a, size_t i) {
  int32_t mode = optLong(cx, a, i, 0);
  if (mode < 0 || mode > 2) raise(err::InvalidProcedureCall);
  return mode != 0;
}

char16_t toLowerChar(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? c + 32 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x100 && c <= 0x137) return c | 1;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;
  return c;
}

char16_t toUpperChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? c - 32 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x137) return c & ~1;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : c - 1;
  if (c >= 0x14A && c <= 0x177) return c & ~1;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c : c - 1;
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 32;
  if (c == 0x3C2) return 0x3A3;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 32;
  return c;
}

std::u16string toLower(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = toLowerChar(c);
  return out;
}

std::u16string toUpper(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = toUpperChar(c);
  return out;
}

namespace {
// toLowerChar for every code unit, so the text-compare loops are a lookup.
const char16_t* lowerTable() {
  static const std::vector<char16_t> table = [] {
    std::vector<char16_t> t(65536);
    for (size_t c = 0; c < t.size(); ++c) t[c] = toLowerChar(static_cast<char16_t>(c));
    return t;
  }();
  return table.data();
}
}  // namespace

char16_t textKey(char16_t c) { return lowerTable()[c]; }

int compareStrings(std::u16string_view a, std::u16string_view b, bool text) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  const char16_t* key = lowerTable();
  for (size_t i = 0; i < n; ++i) {
    char16_t x = a[i], y = b[i];
    if (text) {
      x = key[x];
      y = key[y];
    }
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

size_t findText(std::u16string_view hay, std::u16string_view needle, size_t from, bool text) {
  if (!text) return hay.find(needle, from);
  if (needle.size() > hay.size()) return std::u16string_view::npos;
  const size_t last = hay.size() - needle.size();
  if (needle.empty()) return from <= hay.size() ? from : std::u16string_view::npos;
  const char16_t* key = lowerTable();
  const char16_t first = key[needle[0]];
  for (size_t i = from; i <= last; ++i) {
    if (key[hay[i]] != first) continue;
    size_t k = 1;
    while (k < needle.size() && key[hay[i + k]] == key[needle[k]]) ++k;
    if (k == needle.size()) return i;
  }
  return std::u16string_view::npos;
}

size_t rfindText(std::u16string_view hay, std::u16string_view needle, size_t from, bool text) {
  if (!text) return hay.rfind(needle, from);
  if (needle.size() > hay.size()) return std::u16string_view::npos;
  size_t i = hay.size() - needle.size();
  if (from < i) i = from;
  const char16_t* key = lowerTable();
  for (;; --i) {
    size_t k = 0;
    while (k < needle.size() && key[hay[i + k]] == key[needle[k]]) ++k;
    if (k == needle.size()) return i;
    if (i == 0) break;
  }
  return std::u16string_view::npos;
}

char16_t ansiToUnicode(uint8_t b) { return fromWindows1252(b); }
int unicodeToAnsi(char16_t c) { return toWindows1252(c); }

std::u16string ascii(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char ch : s) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(ch)));
  return out;
}

Value ownArray(const Value& v) {
  if (!v.isArray()) return v;
  const Array* src = v.asArray();
  if (src->dimensions() == 0) return Value(Array::createUndimensioned());
  Array* copy = Array::createBounds(src->bounds());
  copy->data() = src->data();
  return Value(copy);
}

std::string utf16LeBytes(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (char16_t ch : s) {
    out.push_back(static_cast<char>(ch & 0xFF));
    out.push_back(static_cast<char>(ch >> 8));
  }
  return out;
}

}  // namespace vbs::lib
