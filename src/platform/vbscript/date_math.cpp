#include "platform/vbscript/date_math.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace vbs::dates {

double toLinear(double serial) {
  if (serial >= 0) return serial;
  double whole = std::trunc(serial);
  return whole + std::fabs(serial - whole);
}

double fromLinear(double linear) {
  if (linear >= 0) return linear;
  double whole = std::floor(linear);
  double frac = linear - whole;
  if (frac == 0) return whole;
  // The day stays negative, the time of day is subtracted.
  return whole - frac;
}

double roundToSecond(double serial) {
  double l = toLinear(serial);
  return fromLinear(std::round(l * 86400.0) / 86400.0);
}

bool inRange(double serial) { return serial >= kMinSerial && serial <= kMaxSerial + 1e-9; }

double nowSerial() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm lt{};
  localtime_r(&t, &lt);
  return dateSerial(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday) + timeSerial(lt.tm_hour, lt.tm_min, lt.tm_sec);
}

double secondsSinceMidnight() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm lt{};
  localtime_r(&t, &lt);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return lt.tm_hour * 3600.0 + lt.tm_min * 60.0 + lt.tm_sec + static_cast<double>(ms) / 1000.0;
}

int weekdaySunday(double serial) {
  // Serial 0 (30 December 1899) was a Saturday.
  int64_t day = static_cast<int64_t>(std::floor(toLinear(serial)));
  int w = static_cast<int>(((day + 6) % 7 + 7) % 7);  // 0 = Sunday
  return w + 1;
}

int weekday(double serial, int firstDay) {
  if (firstDay == 0) firstDay = 1;
  return (weekdaySunday(serial) - firstDay + 7) % 7 + 1;
}

int dayOfYear(double serial) {
  int y, m, d;
  splitDate(serial, y, m, d);
  return static_cast<int>(std::floor(toLinear(serial)) - dateSerial(y, 1, 1)) + 1;
}

int weekOfYear(double serial, int firstDay, int firstWeek) {
  if (firstDay == 0) firstDay = 1;
  if (firstWeek == 0) firstWeek = 1;
  int y, m, d;
  splitDate(serial, y, m, d);
  double jan1 = dateSerial(y, 1, 1);
  // Start of the week that holds 1 January.
  double week1 = jan1 - (weekday(jan1, firstDay) - 1);
  if (firstWeek == 2) {
    // The first week with at least four days in the new year.
    if (jan1 - week1 >= 4) week1 += 7;
  } else if (firstWeek == 3) {
    if (week1 < jan1) week1 += 7;
  }
  double day = std::floor(toLinear(serial));
  if (day < week1) {
    // Belongs to the last week of the previous year.
    return weekOfYear(jan1 - 1, firstDay, firstWeek);
  }
  return static_cast<int>((day - week1) / 7) + 1;
}

namespace {
bool isDigitChar(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// True when the date part of `s` has no year: two numbers, or one number
// and a month name (numbers next to ':' belong to the time).
bool lacksYear(std::u16string_view s) {
  int numbers = 0;
  bool monthWord = false, bigNumber = false;
  for (size_t i = 0; i < s.size();) {
    if (isDigitChar(s[i])) {
      size_t b = i;
      while (i < s.size() && isDigitChar(s[i])) ++i;
      size_t before = b, after = i;
      while (before > 0 && s[before - 1] == u' ') --before;
      while (after < s.size() && s[after] == u' ') ++after;
      bool time = (before > 0 && s[before - 1] == u':') || (after < s.size() && s[after] == u':');
      if (!time) {
        ++numbers;
        if (i - b >= 3) bigNumber = true;
      }
    } else if (isLetter(s[i])) {
      size_t b = i;
      while (i < s.size() && isLetter(s[i])) ++i;
      std::u16string w = lowerCase(s.substr(b, i - b));
      if (w != u"am" && w != u"pm" && w != u"a" && w != u"p" && w.size() >= 3) {
        static const char16_t* kMonthStarts[] = {u"jan", u"feb", u"mar", u"apr", u"may", u"jun",
                                                 u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};
        for (auto m : kMonthStarts)
          if (w.compare(0, 3, m) == 0) monthWord = true;
      }
    } else {
      ++i;
    }
  }
  if (bigNumber) return false;
  return monthWord ? numbers == 1 : numbers == 2;
}
}  // namespace

bool parseDateText(std::u16string_view s, double& serial) {
  if (!parseDate(s, serial)) return false;
  if (!lacksYear(s)) return true;
  int y, m, d;
  splitDate(serial, y, m, d);
  double time = std::fabs(serial - std::trunc(serial));
  int cy, cm, cd;
  splitDate(nowSerial(), cy, cm, cd);
  if (m == 2 && d == 29 && !((cy % 4 == 0 && cy % 100 != 0) || cy % 400 == 0)) return false;
  serial = dateSerial(cy, m, d) + time;
  return true;
}

double dateArg(const Value& v) {
  switch (v.type()) {
    case Type::Date: return v.asDate();
    case Type::Null: raise(err::InvalidUseOfNull);
    case Type::String: {
      double serial;
      if (parseDateText(v.asString(), serial)) return serial;
      double d;
      if (parseNumber(v.asString(), d) && inRange(d)) return d;
      raise(err::TypeMismatch);
    }
    case Type::Object:
    case Type::Array:
    case Type::Error: raise(err::TypeMismatch);
    default: {
      double d = v.toDouble();
      if (!inRange(d)) raise(err::InvalidProcedureCall);
      return d;
    }
  }
}

namespace {
const char16_t* const kMonths[] = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                                   u"July",    u"August",   u"September", u"October", u"November", u"December"};
const char16_t* const kMonthsShort[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                        u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
const char16_t* const kDays[] = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"};
const char16_t* const kDaysShort[] = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
}  // namespace

const char16_t* monthName(int month, bool abbreviate) { return (abbreviate ? kMonthsShort : kMonths)[month - 1]; }
const char16_t* weekdayName(int sunday1, bool abbreviate) { return (abbreviate ? kDaysShort : kDays)[sunday1 - 1]; }

}  // namespace vbs::dates
