// FormatNumber, FormatCurrency, FormatPercent, FormatDateTime and the
// locale functions.  Formatting is always US English.
#include <cmath>
#include <cstdio>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/date_math.h"
#include "platform/vbscript/lib_util.h"
#include "platform/vbscript/number_format.h"

namespace vbs {

using namespace lib;

namespace {

// Tristate argument: vbTrue (-1), vbFalse (0), vbUseDefault (-2).
bool tristate(Context& cx, Args a, size_t i, bool dflt) {
  int32_t t = optLong(cx, a, i, -2);
  if (t == -2) return dflt;
  return t != 0;
}

template <int Kind>  // 0 number, 1 currency, 2 percent
Value formatNumeric(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) raise(err::TypeMismatch);
  double d;
  if (v.type() == Type::Currency)
    d = static_cast<double>(v.asCurrency().scaled) / Currency::kScale;
  else
    d = v.toDouble();
  numfmt::Options o;
  int32_t digits = optLong(cx, a, 1, -1);
  if (digits < -1 || digits > 255) raise(err::InvalidProcedureCall);
  o.digits = digits == -1 ? 2 : digits;
  o.leadingZero = tristate(cx, a, 2, true);
  o.parens = tristate(cx, a, 3, Kind == 1);
  o.group = tristate(cx, a, 4, true);
  if (Kind == 1) o.prefix = "$";
  if (Kind == 2) {
    o.suffix = "%";
    d *= 100;
  }
  return Value(ascii(numfmt::format(d, o)));
}

Value fnFormatDateTime(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) raise(err::TypeMismatch);
  double serial = dates::dateArg(v);
  int32_t kind = optLong(cx, a, 1, 0);
  int y, m, d, h, mi, s;
  splitDate(serial, y, m, d);
  splitTime(serial, h, mi, s);
  char buf[96];
  switch (kind) {
    case 0: return Value(formatDate(serial));
    case 1: {
      std::u16string out = dates::weekdayName(dates::weekdaySunday(serial), false);
      out += u", ";
      out += dates::monthName(m, false);
      std::snprintf(buf, sizeof buf, " %d, %d", d, y);
      return Value(out + ascii(buf));
    }
    case 2: std::snprintf(buf, sizeof buf, "%d/%d/%d", m, d, y); break;
    case 3:
      std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, mi, s, h < 12 ? "AM" : "PM");
      break;
    case 4: std::snprintf(buf, sizeof buf, "%02d:%02d", h, mi); break;
    default: raise(err::InvalidProcedureCall);
  }
  return Value(ascii(buf));
}

struct LocaleState {
  int32_t lcid = 1033;
};
const char kLocaleKey = 0;

Value fnGetLocale(Context& cx, Args) { return Value(cx.moduleState<LocaleState>(&kLocaleKey).lcid); }

// Scripts may switch the locale; formatting stays US English, but the
// number they set is remembered and returned.
Value fnSetLocale(Context& cx, Args a) {
  auto& st = cx.moduleState<LocaleState>(&kLocaleKey);
  int32_t old = st.lcid;
  if (a.isMissing(0)) {
    st.lcid = 1033;
    return Value(old);
  }
  Value v = plain(cx, a[0]);
  if (v.isString()) {
    std::u16string tag = lowerCase(v.asString());
    double n;
    if (tag.empty() || tag == u"en-us")
      st.lcid = 1033;
    else if (parseNumber(tag, n))
      st.lcid = static_cast<int32_t>(n);
    else if (tag.size() >= 2 && tag.size() <= 10)
      st.lcid = 1033;
    else
      raise(err::InvalidProcedureCall);
  } else {
    int32_t id = v.toLong();
    if (id < 0) raise(err::InvalidProcedureCall);
    st.lcid = id == 0 ? 1033 : id;
  }
  return Value(old);
}

}  // namespace

void register_builtins_format(Registry& r) {
  r.addFunction(u"FormatNumber", 1, 5, formatNumeric<0>);
  r.addFunction(u"FormatCurrency", 1, 5, formatNumeric<1>);
  r.addFunction(u"FormatPercent", 1, 5, formatNumeric<2>);
  r.addFunction(u"FormatDateTime", 1, 2, fnFormatDateTime);
  r.addFunction(u"GetLocale", 0, 0, fnGetLocale);
  r.addFunction(u"SetLocale", 0, 1, fnSetLocale);
}

}  // namespace vbs
