// Date arithmetic on automation date serials, shared by the date and
// formatting built-ins.
//
// A serial counts days from 30 December 1899 with the time of day as the
// fraction.  Before that day the fraction still counts forwards from
// midnight (-1.25 is 29 December 1899, 06:00), so arithmetic is done on the
// "linear" value, which is monotonic.
#pragma once

#include <string>

#include "platform/vbscript/builtins.h"

namespace vbs::dates {

constexpr double kMinSerial = -657434.0;            // 1 January 100
constexpr double kMaxSerial = 2958465.99998842593;  // 31 December 9999 23:59:59

double toLinear(double serial);
double fromLinear(double linear);
// Rounds a serial to whole seconds.
double roundToSecond(double serial);
bool inRange(double serial);

// Local date and time now.
double nowSerial();
// Seconds since local midnight, with milliseconds.
double secondsSinceMidnight();

// 1 = Sunday ... 7 = Saturday.
int weekdaySunday(double serial);
// Weekday counted from `firstDay` (1 = Sunday ... 7); 0 means Sunday.
int weekday(double serial, int firstDay);
int dayOfYear(double serial);
// Week of the year for DatePart("ww") with vbFirstJan1 / FourDays /
// FullWeek rules.
int weekOfYear(double serial, int firstDay, int firstWeek);

// Date text as CDate reads it.  Like vbs::parseDate, except that a date
// written without a year ("3/15", "March 15") falls in the current year.
bool parseDateText(std::u16string_view s, double& serial);

// Argument as a date serial: Date values, numbers, and date strings
// (raises 13 otherwise).
double dateArg(const Value& v);

const char16_t* monthName(int month, bool abbreviate);
const char16_t* weekdayName(int sunday1, bool abbreviate);

}  // namespace vbs::dates
