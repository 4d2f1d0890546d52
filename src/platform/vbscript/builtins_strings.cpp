// String functions: Len, Left, Mid, InStr, Replace, Split, Join ...
//
// Strings are UTF-16; the *B variants see a string as its little-endian
// bytes.  A byte string of odd length cannot be held in a u16string, so such
// results are padded with a zero byte.
#include <algorithm>
#include <cstdio>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;

namespace {

// ---- argument helpers ----

// String argument that may be Null: returns false for Null.
bool strArg(Context& cx, Args a, size_t i, std::u16string& out) {
  Value v = plain(cx, a[i]);
  if (v.isNull()) return false;
  out = v.toString();
  return true;
}

// A length/position argument: Null raises 94.
int32_t numArg(Context& cx, Args a, size_t i) {
  Value v = plain(cx, a[i]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  return v.toLong();
}

std::u16string bytesToString(const std::string& bytes) {
  std::u16string out((bytes.size() + 1) / 2, u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    out[i / 2] |= static_cast<char16_t>(i % 2 ? b << 8 : b);
  }
  return out;
}

// ---- Len, Left, Right, Mid ----

Value fnLen(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) return Value::null();
  if (v.isString()) return Value(static_cast<int32_t>(v.asString().size()));
  return Value(static_cast<int32_t>(v.toString().size()));
}

Value fnLenB(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) return Value::null();
  return Value(static_cast<int32_t>(v.toString().size() * 2));
}

template <bool Bytes, bool FromRight>
Value leftRight(Context& cx, Args a) {
  std::u16string s;
  bool isNull = !strArg(cx, a, 0, s);
  int32_t n = numArg(cx, a, 1);
  if (n < 0) raise(err::InvalidProcedureCall);
  if (isNull) return Value::null();
  if constexpr (Bytes) {
    std::string b = utf16LeBytes(s);
    size_t k = std::min<size_t>(static_cast<size_t>(n), b.size());
    return Value(bytesToString(FromRight ? b.substr(b.size() - k) : b.substr(0, k)));
  } else {
    size_t k = std::min<size_t>(static_cast<size_t>(n), s.size());
    return Value(FromRight ? s.substr(s.size() - k) : s.substr(0, k));
  }
}

template <bool Bytes>
Value fnMid(Context& cx, Args a) {
  std::u16string s;
  bool isNull = !strArg(cx, a, 0, s);
  int32_t start = numArg(cx, a, 1);
  int32_t len = a.isMissing(2) ? -1 : numArg(cx, a, 2);
  if (start < 1 || (len < 0 && !a.isMissing(2))) raise(err::InvalidProcedureCall);
  if (isNull) return Value::null();
  if constexpr (Bytes) {
    std::string b = utf16LeBytes(s);
    size_t from = static_cast<size_t>(start - 1);
    if (from >= b.size()) return Value(u"");
    return Value(bytesToString(b.substr(from, len < 0 ? std::string::npos : static_cast<size_t>(len))));
  } else {
    size_t from = static_cast<size_t>(start - 1);
    if (from >= s.size()) return Value(u"");
    return Value(s.substr(from, len < 0 ? std::u16string::npos : static_cast<size_t>(len)));
  }
}

// ---- Trim, case ----

template <int Which>  // 1 left, 2 right, 3 both
Value trim(Context& cx, Args a) {
  std::u16string s;
  if (!strArg(cx, a, 0, s)) return Value::null();
  size_t b = 0, e = s.size();
  if (Which & 1)
    while (b < e && s[b] == u' ') ++b;
  if (Which & 2)
    while (e > b && s[e - 1] == u' ') --e;
  return Value(s.substr(b, e - b));
}

Value fnLCase(Context& cx, Args a) {
  std::u16string s;
  if (!strArg(cx, a, 0, s)) return Value::null();
  return Value(toLower(s));
}

Value fnUCase(Context& cx, Args a) {
  std::u16string s;
  if (!strArg(cx, a, 0, s)) return Value::null();
  return Value(toUpper(s));
}

// ---- characters ----

std::u16string firstCharArg(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  std::u16string s = v.toString();
  if (s.empty()) raise(err::InvalidProcedureCall);
  return s;
}

Value fnAsc(Context& cx, Args a) {
  std::u16string s = firstCharArg(cx, a);
  int b = unicodeToAnsi(s[0]);
  return Value(static_cast<int16_t>(b < 0 ? u'?' : b));
}

Value fnAscW(Context& cx, Args a) {
  std::u16string s = firstCharArg(cx, a);
  return Value(static_cast<int16_t>(s[0]));
}

Value fnAscB(Context& cx, Args a) {
  std::u16string s = firstCharArg(cx, a);
  return Value(static_cast<int16_t>(s[0] & 0xFF));
}

Value fnChr(Context& cx, Args a) {
  int32_t c = numArg(cx, a, 0);
  if (c < 0 || c > 255) raise(err::InvalidProcedureCall);
  return Value(std::u16string(1, ansiToUnicode(static_cast<uint8_t>(c))));
}

Value fnChrW(Context& cx, Args a) {
  int32_t c = numArg(cx, a, 0);
  if (c < -32768 || c > 65535) raise(err::InvalidProcedureCall);
  return Value(std::u16string(1, static_cast<char16_t>(c < 0 ? c + 65536 : c)));
}

Value fnChrB(Context& cx, Args a) {
  int32_t c = numArg(cx, a, 0);
  if (c < 0 || c > 255) raise(err::InvalidProcedureCall);
  return Value(std::u16string(1, static_cast<char16_t>(c)));
}

Value fnSpace(Context& cx, Args a) {
  int32_t n = numArg(cx, a, 0);
  if (n < 0) raise(err::InvalidProcedureCall);
  return Value(std::u16string(static_cast<size_t>(n), u' '));
}

Value fnString(Context& cx, Args a) {
  int32_t n = numArg(cx, a, 0);
  Value ch = plain(cx, a[1]);
  if (ch.isNull()) return Value::null();
  if (n < 0) raise(err::InvalidProcedureCall);
  char16_t c;
  if (ch.isString()) {
    if (ch.asString().empty()) raise(err::InvalidProcedureCall);
    c = ch.asString()[0];
  } else {
    int32_t code = ch.toLong();
    c = ansiToUnicode(static_cast<uint8_t>(((code % 256) + 256) % 256));
  }
  return Value(std::u16string(static_cast<size_t>(n), c));
}

Value fnStrReverse(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  std::u16string s = v.toString();
  std::reverse(s.begin(), s.end());
  return Value(std::move(s));
}

// ---- searching ----

// InStr([start, ]string1, string2[, compare]): the first argument is the
// start position only when three or more arguments are given.
template <bool Bytes>
Value fnInStr(Context& cx, Args a) {
  size_t base = 0;
  int32_t start = 1;
  bool text = false;
  if (a.size() >= 3) {
    Value st = plain(cx, a[0]);
    if (st.isNull()) raise(err::InvalidUseOfNull);
    if (!a.isMissing(0)) start = st.toLong();
    base = 1;
    text = optTextCompare(cx, a, 3);
  }
  if (start < 1) raise(err::InvalidProcedureCall);
  std::u16string s1, s2;
  bool ok1 = strArg(cx, a, base, s1);
  bool ok2 = strArg(cx, a, base + 1, s2);
  if (!ok1 || !ok2) return Value::null();
  if constexpr (Bytes) {
    std::string b1 = utf16LeBytes(s1), b2 = utf16LeBytes(s2);
    if (static_cast<size_t>(start) > b1.size()) return Value(int32_t(0));
    if (b2.empty()) return Value(start);
    size_t p = b1.find(b2, static_cast<size_t>(start - 1));
    return Value(static_cast<int32_t>(p == std::string::npos ? 0 : p + 1));
  } else {
    if (static_cast<size_t>(start) > s1.size()) return Value(int32_t(0));
    if (s2.empty()) return Value(start);
    size_t p = findText(s1, s2, static_cast<size_t>(start - 1), text);
    return Value(static_cast<int32_t>(p == std::u16string::npos ? 0 : p + 1));
  }
}

// InStrRev(string1, string2[, start[, compare]])
Value fnInStrRev(Context& cx, Args a) {
  std::u16string s1, s2;
  // Unlike InStr, InStrRev does not pass Null through.
  if (!strArg(cx, a, 0, s1) || !strArg(cx, a, 1, s2)) raise(err::InvalidUseOfNull);
  int32_t start = a.isMissing(2) ? -1 : numArg(cx, a, 2);
  bool text = optTextCompare(cx, a, 3);
  if (start == 0 || start < -1) raise(err::InvalidProcedureCall);
  if (s1.empty()) return Value(int32_t(0));
  if (start == -1) start = static_cast<int32_t>(s1.size());
  if (static_cast<size_t>(start) > s1.size()) return Value(int32_t(0));
  if (s2.empty()) return Value(start);
  if (s2.size() > static_cast<size_t>(start)) return Value(int32_t(0));
  size_t last = static_cast<size_t>(start) - s2.size();
  size_t p = rfindText(s1, s2, last, text);
  return Value(static_cast<int32_t>(p == std::u16string::npos ? 0 : p + 1));
}

Value fnStrComp(Context& cx, Args a) {
  std::u16string s1, s2;
  bool ok1 = strArg(cx, a, 0, s1);
  bool ok2 = strArg(cx, a, 1, s2);
  bool text = optTextCompare(cx, a, 2);
  if (!ok1 || !ok2) return Value::null();
  return Value(static_cast<int16_t>(compareStrings(s1, s2, text)));
}

// Replace(expression, find, replacewith[, start[, count[, compare]]])
Value fnReplace(Context& cx, Args a) {
  // Unlike most string functions, Replace does not pass Null through.
  std::u16string s, find, with;
  if (!strArg(cx, a, 0, s) || !strArg(cx, a, 1, find) || !strArg(cx, a, 2, with)) raise(err::InvalidUseOfNull);
  int32_t start = a.isMissing(3) ? 1 : numArg(cx, a, 3);
  int32_t count = a.isMissing(4) ? -1 : numArg(cx, a, 4);
  bool text = optTextCompare(cx, a, 5);
  if (start < 1 || count < -1) raise(err::InvalidProcedureCall);
  if (static_cast<size_t>(start) > s.size()) return Value(u"");
  std::u16string_view rest = std::u16string_view(s).substr(static_cast<size_t>(start - 1));
  if (find.empty() || count == 0) return Value(std::u16string(rest));
  std::u16string out;
  out.reserve(rest.size());
  size_t pos = 0;
  int32_t done = 0;
  while (count < 0 || done < count) {
    size_t hit = findText(rest, find, pos, text);
    if (hit == std::u16string_view::npos) break;
    out.append(rest.data() + pos, hit - pos);
    out += with;
    pos = hit + find.size();
    ++done;
  }
  out.append(rest.data() + pos, rest.size() - pos);
  return Value(std::move(out));
}

// ---- arrays of strings ----

Value fnSplit(Context& cx, Args a) {
  Value ev = plain(cx, a[0]);
  if (ev.isNull()) raise(err::InvalidUseOfNull);
  std::u16string s = ev.toString();
  std::u16string delim = u" ";
  if (!a.isMissing(1)) {
    Value dv = plain(cx, a[1]);
    if (dv.isNull()) raise(err::InvalidUseOfNull);
    delim = dv.toString();
  }
  int32_t count = a.isMissing(2) ? -1 : numArg(cx, a, 2);
  bool text = optTextCompare(cx, a, 3);
  if (count < -1) raise(err::InvalidProcedureCall);
  std::vector<Value> parts;
  if (s.empty() || count == 0) return Value(Array::fromValues({}));
  if (delim.empty()) return Value(Array::fromValues({Value(s)}));
  size_t pos = 0;
  while (count < 0 || static_cast<int32_t>(parts.size()) < count - 1) {
    size_t hit = findText(s, delim, pos, text);
    if (hit == std::u16string::npos) break;
    parts.emplace_back(s.substr(pos, hit - pos));
    pos = hit + delim.size();
  }
  parts.emplace_back(s.substr(pos));
  return Value(Array::fromValues(std::move(parts)));
}

Array* requireArray(const Value& v) {
  if (v.isNull()) raise(err::InvalidUseOfNull);
  if (!v.isArray()) raise(err::TypeMismatch);
  return v.asArray();
}

Value fnJoin(Context& cx, Args a) {
  if (!a[0].isArray()) raise(err::TypeMismatch);
  Array* arr = requireArray(a[0]);
  if (arr->dimensions() != 1) raise(err::SubscriptOutOfRange);
  std::u16string delim = u" ";
  if (!a.isMissing(1)) {
    Value dv = plain(cx, a[1]);
    if (dv.isNull()) raise(err::InvalidUseOfNull);
    delim = dv.toString();
  }
  std::u16string out;
  size_t total = 0;
  for (const Value& v : arr->data()) total += v.isString() ? v.asString().size() + delim.size() : 8;
  out.reserve(total);
  bool first = true;
  for (const Value& v : arr->data()) {
    if (!first) out += delim;
    first = false;
    if (v.isString())
      out += v.asString();
    else
      out += plain(cx, v).toConcatString();
  }
  return Value(std::move(out));
}

// Filter(InputStrings, Value[, Include[, Compare]])
Value fnFilter(Context& cx, Args a) {
  Array* arr = requireArray(a[0]);
  if (arr->dimensions() != 1) raise(err::TypeMismatch);
  Value fv = plain(cx, a[1]);
  if (fv.isNull()) raise(err::InvalidUseOfNull);
  std::u16string match = fv.toString();
  bool include = true;
  if (!a.isMissing(2)) {
    Value iv = plain(cx, a[2]);
    if (iv.isNull()) raise(err::InvalidUseOfNull);
    include = iv.toBool();
  }
  bool text = optTextCompare(cx, a, 3);
  std::vector<Value> out;
  for (const Value& v : arr->data()) {
    Value pv = plain(cx, v);
    if (pv.isNull()) raise(err::InvalidUseOfNull);
    std::u16string s = pv.toString();
    bool hit = findText(s, match, 0, text) != std::u16string::npos;
    if (hit == include) out.emplace_back(std::move(s));
  }
  return Value(Array::fromValues(std::move(out)));
}

// ---- Escape / Unescape (the URL-style encoding of the language) ----

bool escapeKeeps(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'@' || c == u'*' ||
         c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

Value fnEscape(Context& cx, Args a) {
  std::u16string s;
  if (!strArg(cx, a, 0, s)) return Value::null();
  std::u16string out;
  out.reserve(s.size());
  char buf[8];
  for (char16_t c : s) {
    if (escapeKeeps(c)) {
      out.push_back(c);
    } else if (c < 256) {
      std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned>(c));
      out += ascii(buf);
    } else {
      std::snprintf(buf, sizeof buf, "%%u%04X", static_cast<unsigned>(c));
      out += ascii(buf);
    }
  }
  return Value(std::move(out));
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

Value fnUnescape(Context& cx, Args a) {
  std::u16string s;
  if (!strArg(cx, a, 0, s)) return Value::null();
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'%') {
      if (i + 5 < s.size() + 0 && (s[i + 1] == u'u' || s[i + 1] == u'U')) {
        int d[4] = {hexDigit(s[i + 2]), hexDigit(s[i + 3]), hexDigit(s[i + 4]), hexDigit(s[i + 5])};
        if (d[0] >= 0 && d[1] >= 0 && d[2] >= 0 && d[3] >= 0) {
          out.push_back(static_cast<char16_t>(d[0] << 12 | d[1] << 8 | d[2] << 4 | d[3]));
          i += 5;
          continue;
        }
      }
      if (i + 2 < s.size()) {
        int h = hexDigit(s[i + 1]), l = hexDigit(s[i + 2]);
        if (h >= 0 && l >= 0) {
          out.push_back(static_cast<char16_t>(h << 4 | l));
          i += 2;
          continue;
        }
      }
    }
    out.push_back(s[i]);
  }
  return Value(std::move(out));
}

}  // namespace

void register_builtins_strings(Registry& r) {
  r.addFunction(u"Len", 1, 1, fnLen);
  r.addFunction(u"LenB", 1, 1, fnLenB);
  r.addFunction(u"Left", 2, 2, leftRight<false, false>);
  r.addFunction(u"Right", 2, 2, leftRight<false, true>);
  r.addFunction(u"LeftB", 2, 2, leftRight<true, false>);
  r.addFunction(u"RightB", 2, 2, leftRight<true, true>);
  r.addFunction(u"Mid", 2, 3, fnMid<false>);
  r.addFunction(u"MidB", 2, 3, fnMid<true>);
  r.addFunction(u"LTrim", 1, 1, trim<1>);
  r.addFunction(u"RTrim", 1, 1, trim<2>);
  r.addFunction(u"Trim", 1, 1, trim<3>);
  r.addFunction(u"LCase", 1, 1, fnLCase);
  r.addFunction(u"UCase", 1, 1, fnUCase);
  r.addFunction(u"Asc", 1, 1, fnAsc);
  r.addFunction(u"AscB", 1, 1, fnAscB);
  r.addFunction(u"AscW", 1, 1, fnAscW);
  r.addFunction(u"Chr", 1, 1, fnChr);
  r.addFunction(u"ChrB", 1, 1, fnChrB);
  r.addFunction(u"ChrW", 1, 1, fnChrW);
  r.addFunction(u"Space", 1, 1, fnSpace);
  r.addFunction(u"String", 2, 2, fnString);
  r.addFunction(u"StrReverse", 1, 1, fnStrReverse);
  r.addFunction(u"InStr", 2, 4, fnInStr<false>);
  r.addFunction(u"InStrB", 2, 4, fnInStr<true>);
  r.addFunction(u"InStrRev", 2, 4, fnInStrRev);
  r.addFunction(u"StrComp", 2, 3, fnStrComp);
  r.addFunction(u"Replace", 3, 6, fnReplace);
  r.addFunction(u"Split", 1, 4, fnSplit);
  r.addFunction(u"Join", 1, 2, fnJoin);
  r.addFunction(u"Filter", 2, 4, fnFilter);
  r.addFunction(u"Escape", 1, 1, fnEscape);
  r.addFunction(u"Unescape", 1, 1, fnUnescape);
}

}  // namespace vbs
