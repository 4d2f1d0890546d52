// Date and time functions.
#include <cmath>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/date_math.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;
using namespace dates;

namespace {

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval intervalArg(Context& cx, const Value& raw) {
  Value v = plain(cx, raw);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  std::u16string s = lowerCase(v.toString());
  if (s == u"yyyy") return Interval::Year;
  if (s == u"q") return Interval::Quarter;
  if (s == u"m") return Interval::Month;
  if (s == u"y") return Interval::DayOfYear;
  if (s == u"d") return Interval::Day;
  if (s == u"w") return Interval::Weekday;
  if (s == u"ww") return Interval::Week;
  if (s == u"h") return Interval::Hour;
  if (s == u"n") return Interval::Minute;
  if (s == u"s") return Interval::Second;
  raise(err::InvalidProcedureCall);
}

Value dateValue(double serial) {
  if (!inRange(serial)) raise(err::InvalidProcedureCall);
  return Value(Date{serial});
}

int firstDayArg(Context& cx, Args a, size_t i) {
  int32_t d = optLong(cx, a, i, 1);
  if (d < 0 || d > 7) raise(err::InvalidProcedureCall);
  return d == 0 ? 1 : d;
}

int firstWeekArg(Context& cx, Args a, size_t i) {
  int32_t w = optLong(cx, a, i, 1);
  if (w < 0 || w > 3) raise(err::InvalidProcedureCall);
  return w == 0 ? 1 : w;
}

// ---- now ----

Value fnNow(Context&, Args) { return Value(Date{nowSerial()}); }
Value fnDate(Context&, Args) { return Value(Date{std::floor(nowSerial())}); }
Value fnTime(Context&, Args) {
  double n = nowSerial();
  return Value(Date{n - std::floor(n)});
}
Value fnTimer(Context&, Args) { return Value(static_cast<float>(std::floor(secondsSinceMidnight() * 100) / 100)); }

// ---- parts ----

template <int Part>  // 0 year, 1 month, 2 day, 3 hour, 4 minute, 5 second
Value datePartOf(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) return Value::null();
  double serial = dateArg(v);
  int p[6];
  splitDate(serial, p[0], p[1], p[2]);
  splitTime(serial, p[3], p[4], p[5]);
  return Value(static_cast<int16_t>(p[Part]));
}

Value fnWeekday(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  int fd = firstDayArg(cx, a, 1);
  if (v.isNull()) return Value::null();
  return Value(static_cast<int16_t>(weekday(dateArg(v), fd)));
}

Value fnMonthName(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  int32_t m = v.toLong();
  bool abbr = !a.isMissing(1) && plain(cx, a[1]).toBool();
  if (m < 1 || m > 12) raise(err::InvalidProcedureCall);
  return Value(monthName(m, abbr));
}

Value fnWeekdayName(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  int32_t w = v.toLong();
  bool abbr = !a.isMissing(1) && plain(cx, a[1]).toBool();
  int fd = firstDayArg(cx, a, 2);
  if (w < 1 || w > 7) raise(err::InvalidProcedureCall);
  return Value(weekdayName((w - 1 + fd - 1) % 7 + 1, abbr));
}

// ---- building dates ----

int32_t partArg(Context& cx, Args a, size_t i) {
  Value v = plain(cx, a[i]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  return v.toLong();
}

Value fnDateSerial(Context& cx, Args a) {
  int32_t y = partArg(cx, a, 0), m = partArg(cx, a, 1), d = partArg(cx, a, 2);
  if (y >= 0 && y < 30)
    y += 2000;
  else if (y >= 30 && y < 100)
    y += 1900;
  if (y < -10000 || y > 20000) raise(err::InvalidProcedureCall);
  return dateValue(dateSerial(y, m, d));
}

Value fnTimeSerial(Context& cx, Args a) {
  int32_t h = partArg(cx, a, 0), m = partArg(cx, a, 1), s = partArg(cx, a, 2);
  double secs = static_cast<double>(h) * 3600 + static_cast<double>(m) * 60 + s;
  return dateValue(fromLinear(secs / 86400.0));
}

Value fnDateValue(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) return Value::null();
  double serial = dateArg(v);
  return Value(Date{std::trunc(serial)});
}

Value fnTimeValue(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) return Value::null();
  double serial = dateArg(v);
  return Value(Date{std::fabs(serial - std::trunc(serial))});
}

// ---- arithmetic ----

int daysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

double addMonths(double serial, int64_t months) {
  int y, m, d;
  splitDate(serial, y, m, d);
  double lin = toLinear(serial);
  double time = lin - std::floor(lin);
  int64_t total = static_cast<int64_t>(y) * 12 + (m - 1) + months;
  int64_t ny = total >= 0 ? total / 12 : -((-total + 11) / 12);
  int nm = static_cast<int>(total - ny * 12) + 1;
  if (ny < 100 || ny > 9999) raise(err::InvalidProcedureCall);
  int nd = std::min(d, daysInMonth(static_cast<int>(ny), nm));
  return fromLinear(dateSerial(static_cast<int>(ny), nm, nd) + time);
}

Value fnDateAdd(Context& cx, Args a) {
  Interval iv = intervalArg(cx, a[0]);
  Value nv = plain(cx, a[1]);
  if (nv.isNull()) raise(err::InvalidUseOfNull);
  double n = std::nearbyint(nv.toDouble());
  Value dv = plain(cx, a[2]);
  if (dv.isNull()) return Value::null();
  double serial = dateArg(dv);
  if (std::fabs(n) > 1e10) raise(err::InvalidProcedureCall);
  double lin = toLinear(serial);
  double out;
  switch (iv) {
    case Interval::Year: out = addMonths(serial, static_cast<int64_t>(n) * 12); break;
    case Interval::Quarter: out = addMonths(serial, static_cast<int64_t>(n) * 3); break;
    case Interval::Month: out = addMonths(serial, static_cast<int64_t>(n)); break;
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: out = fromLinear(lin + n); break;
    case Interval::Week: out = fromLinear(lin + n * 7); break;
    case Interval::Hour: out = roundToSecond(fromLinear(lin + n / 24)); break;
    case Interval::Minute: out = roundToSecond(fromLinear(lin + n / 1440)); break;
    default: out = roundToSecond(fromLinear(lin + n / 86400)); break;
  }
  return dateValue(out);
}

int64_t wholeSeconds(double serial) { return std::llround(toLinear(serial) * 86400.0); }

int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

Value fnDateDiff(Context& cx, Args a) {
  Interval iv = intervalArg(cx, a[0]);
  Value v1 = plain(cx, a[1]), v2 = plain(cx, a[2]);
  int fd = firstDayArg(cx, a, 3);
  int fw = firstWeekArg(cx, a, 4);
  (void)fw;
  if (v1.isNull() || v2.isNull()) return Value::null();
  double d1 = dateArg(v1), d2 = dateArg(v2);
  int y1, m1, dd1, y2, m2, dd2;
  splitDate(d1, y1, m1, dd1);
  splitDate(d2, y2, m2, dd2);
  int64_t s1 = wholeSeconds(d1), s2 = wholeSeconds(d2);
  int64_t day1 = floorDiv(s1, 86400), day2 = floorDiv(s2, 86400);
  int64_t r;
  switch (iv) {
    case Interval::Year: r = y2 - y1; break;
    case Interval::Quarter: r = (y2 * 4 + (m2 - 1) / 3) - (y1 * 4 + (m1 - 1) / 3); break;
    case Interval::Month: r = (y2 * 12 + m2) - (y1 * 12 + m1); break;
    case Interval::DayOfYear:
    case Interval::Day: r = day2 - day1; break;
    case Interval::Weekday: r = (day2 - day1) / 7; break;
    case Interval::Week: {
      int64_t w1 = day1 - (weekday(d1, fd) - 1), w2 = day2 - (weekday(d2, fd) - 1);
      r = (w2 - w1) / 7;
      break;
    }
    case Interval::Hour: r = floorDiv(s2, 3600) - floorDiv(s1, 3600); break;
    case Interval::Minute: r = floorDiv(s2, 60) - floorDiv(s1, 60); break;
    default: r = s2 - s1; break;
  }
  if (r >= INT32_MIN && r <= INT32_MAX) return Value(static_cast<int32_t>(r));
  return Value(static_cast<double>(r));
}

Value fnDatePart(Context& cx, Args a) {
  Interval iv = intervalArg(cx, a[0]);
  Value dv = plain(cx, a[1]);
  int fd = firstDayArg(cx, a, 2);
  int fw = firstWeekArg(cx, a, 3);
  if (dv.isNull()) return Value::null();
  double serial = dateArg(dv);
  int y, m, d, h, mi, s;
  splitDate(serial, y, m, d);
  splitTime(serial, h, mi, s);
  int r;
  switch (iv) {
    case Interval::Year: r = y; break;
    case Interval::Quarter: r = (m - 1) / 3 + 1; break;
    case Interval::Month: r = m; break;
    case Interval::DayOfYear: r = dayOfYear(serial); break;
    case Interval::Day: r = d; break;
    case Interval::Weekday: r = weekday(serial, fd); break;
    case Interval::Week: r = weekOfYear(serial, fd, fw); break;
    case Interval::Hour: r = h; break;
    case Interval::Minute: r = mi; break;
    default: r = s; break;
  }
  return Value(static_cast<int16_t>(r));
}

}  // namespace

void register_builtins_dates(Registry& r) {
  r.addFunction(u"Now", 0, 0, fnNow);
  r.addFunction(u"Date", 0, 0, fnDate);
  r.addFunction(u"Time", 0, 0, fnTime);
  r.addFunction(u"Timer", 0, 0, fnTimer);
  r.addFunction(u"Year", 1, 1, datePartOf<0>);
  r.addFunction(u"Month", 1, 1, datePartOf<1>);
  r.addFunction(u"Day", 1, 1, datePartOf<2>);
  r.addFunction(u"Hour", 1, 1, datePartOf<3>);
  r.addFunction(u"Minute", 1, 1, datePartOf<4>);
  r.addFunction(u"Second", 1, 1, datePartOf<5>);
  r.addFunction(u"Weekday", 1, 2, fnWeekday);
  r.addFunction(u"MonthName", 1, 2, fnMonthName);
  r.addFunction(u"WeekdayName", 1, 3, fnWeekdayName);
  r.addFunction(u"DateSerial", 3, 3, fnDateSerial);
  r.addFunction(u"TimeSerial", 3, 3, fnTimeSerial);
  r.addFunction(u"DateValue", 1, 1, fnDateValue);
  r.addFunction(u"TimeValue", 1, 1, fnTimeValue);
  r.addFunction(u"DateAdd", 3, 3, fnDateAdd);
  r.addFunction(u"DateDiff", 3, 5, fnDateDiff);
  r.addFunction(u"DatePart", 2, 4, fnDatePart);
}

}  // namespace vbs
