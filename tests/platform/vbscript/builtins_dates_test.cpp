#include <gtest/gtest.h>

#include <cmath>

#include "lib_test_support.h"

namespace vbs::test {
namespace {

const Value N = Value::null();
const Value M = Value::missing();
Value S(const char16_t* s) { return Value(s); }

class DatesTest : public ::testing::TestWithParam<Case> {};

TEST_P(DatesTest, Evaluates) {
  TestContext cx;
  const Case& c = GetParam();
  EXPECT_EQ(eval(cx, c.fn, c.args), c.expected) << utf8(c.fn);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, DatesTest,
    ::testing::Values(Case{u"Year", {dt(2004, 2, 29, 23, 59, 59)}, "2004"}, Case{u"Month", {dt(2004, 2, 29)}, "2"},
                      Case{u"Day", {dt(2004, 2, 29)}, "29"}, Case{u"Hour", {dt(2004, 2, 29, 23, 59, 59)}, "23"},
                      Case{u"Minute", {dt(2004, 2, 29, 23, 59, 59)}, "59"},
                      Case{u"Second", {dt(2004, 2, 29, 23, 59, 59)}, "59"}, Case{u"Year", {S(u"3/4/1999")}, "1999"},
                      Case{u"Day", {N}, "Null"}, Case{u"Month", {S(u"soon")}, "#13"},
                      Case{u"Day", {Value(Date{-1.25})}, "29"}, Case{u"Hour", {Value(Date{-1.25})}, "6"},
                      Case{u"Weekday", {dt(2003, 1, 2)}, "5"}, Case{u"Weekday", {dt(2003, 1, 2), Value(2)}, "4"},
                      Case{u"Weekday", {dt(1899, 12, 30)}, "7"}, Case{u"Weekday", {dt(2003, 1, 2), Value(8)}, "#5"},
                      Case{u"MonthName", {Value(2)}, "February"}, Case{u"MonthName", {Value(9), Value(true)}, "Sep"},
                      Case{u"MonthName", {Value(13)}, "#5"}, Case{u"WeekdayName", {Value(1)}, "Sunday"},
                      Case{u"WeekdayName", {Value(1), Value(true), Value(2)}, "Mon"},
                      Case{u"WeekdayName", {Value(7), Value(false), Value(7)}, "Friday"},
                      Case{u"WeekdayName", {Value(0)}, "#5"}));

INSTANTIATE_TEST_SUITE_P(
    Building, DatesTest,
    ::testing::Values(Case{u"DateSerial", {Value(2003), Value(1), Value(2)}, "1/2/2003"},
                      Case{u"DateSerial", {Value(2003), Value(14), Value(1)}, "2/1/2004"},
                      Case{u"DateSerial", {Value(2003), Value(3), Value(0)}, "2/28/2003"},
                      Case{u"DateSerial", {Value(2004), Value(3), Value(0)}, "2/29/2004"},
                      Case{u"DateSerial", {Value(2000), Value(1), Value(-1)}, "12/30/1999"},
                      Case{u"DateSerial", {Value(5), Value(1), Value(1)}, "1/1/2005"},
                      Case{u"DateSerial", {Value(75), Value(1), Value(1)}, "1/1/1975"},
                      Case{u"DateSerial", {Value(10000), Value(1), Value(1)}, "#5"},
                      Case{u"DateSerial", {N, Value(1), Value(1)}, "#94"},
                      Case{u"TimeSerial", {Value(16), Value(5), Value(6)}, "4:05:06 PM"},
                      Case{u"TimeSerial", {Value(0), Value(90), Value(0)}, "1:30:00 AM"},
                      Case{u"TimeSerial", {Value(12), Value(-1), Value(0)}, "11:59:00 AM"},
                      Case{u"TimeSerial", {Value(0), Value(-1), Value(0)}, "12/29/1899 11:59:00 PM"},
                      Case{u"DateValue", {S(u"January 2, 2003")}, "1/2/2003"},
                      Case{u"DateValue", {dt(2003, 1, 2, 4, 5, 6)}, "1/2/2003"},
                      Case{u"TimeValue", {S(u"4:05:06 PM")}, "4:05:06 PM"},
                      Case{u"TimeValue", {dt(2003, 1, 2, 4, 5, 6)}, "4:05:06 AM"},
                      Case{u"DateValue", {S(u"bogus")}, "#13"}));

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, DatesTest,
    ::testing::Values(
        Case{u"DateAdd", {S(u"m"), Value(1), dt(2003, 1, 31)}, "2/28/2003"},
        Case{u"DateAdd", {S(u"m"), Value(1), dt(2004, 1, 31)}, "2/29/2004"},
        Case{u"DateAdd", {S(u"yyyy"), Value(1), dt(2004, 2, 29)}, "2/28/2005"},
        Case{u"DateAdd", {S(u"q"), Value(-1), dt(2003, 5, 31)}, "2/28/2003"},
        Case{u"DateAdd", {S(u"d"), Value(1), dt(2004, 2, 28)}, "2/29/2004"},
        Case{u"DateAdd", {S(u"ww"), Value(2), dt(2003, 12, 25)}, "1/8/2004"},
        Case{u"DateAdd", {S(u"h"), Value(25), dt(2003, 1, 1, 12)}, "1/2/2003 1:00:00 PM"},
        Case{u"DateAdd", {S(u"n"), Value(-1), dt(2003, 1, 1)}, "12/31/2002 11:59:00 PM"},
        Case{u"DateAdd", {S(u"s"), Value(30), dt(1899, 12, 29, 6)}, "12/29/1899 6:00:30 AM"},
        Case{u"DateAdd", {S(u"m"), Value(1), dt(2003, 1, 31, 10, 30)}, "2/28/2003 10:30:00 AM"},
        Case{u"DateAdd", {S(u"x"), Value(1), dt(2003, 1, 1)}, "#5"},
        Case{u"DateAdd", {S(u"yyyy"), Value(9000), dt(2003, 1, 1)}, "#5"},
        Case{u"DateAdd", {S(u"d"), Value(1), N}, "Null"},
        Case{u"DateDiff", {S(u"d"), dt(2004, 2, 1), dt(2004, 3, 1)}, "29"},
        Case{u"DateDiff", {S(u"d"), dt(2003, 2, 1), dt(2003, 3, 1)}, "28"},
        Case{u"DateDiff", {S(u"d"), dt(2003, 1, 1, 23), dt(2003, 1, 2, 1)}, "1"},
        Case{u"DateDiff", {S(u"yyyy"), dt(2003, 12, 31), dt(2004, 1, 1)}, "1"},
        Case{u"DateDiff", {S(u"m"), dt(2004, 3, 1), dt(2003, 1, 31)}, "-14"},
        Case{u"DateDiff", {S(u"q"), dt(2003, 3, 31), dt(2003, 4, 1)}, "1"},
        Case{u"DateDiff", {S(u"h"), dt(2003, 1, 1, 1, 59), dt(2003, 1, 1, 2, 1)}, "1"},
        Case{u"DateDiff", {S(u"n"), dt(2003, 1, 1), dt(2003, 1, 2)}, "1440"},
        Case{u"DateDiff", {S(u"s"), dt(2003, 1, 1), dt(2003, 1, 1, 0, 1, 1)}, "61"},
        Case{u"DateDiff", {S(u"w"), dt(2003, 1, 1), dt(2003, 1, 14)}, "1"},
        Case{u"DateDiff", {S(u"ww"), dt(2003, 1, 4), dt(2003, 1, 5)}, "1"},
        Case{u"DateDiff", {S(u"ww"), dt(2003, 1, 4), dt(2003, 1, 5), Value(1 + 1)}, "0"},
        Case{u"DateDiff", {S(u"d"), N, dt(2003, 1, 1)}, "Null"},
        Case{u"DatePart", {S(u"yyyy"), dt(2004, 12, 31)}, "2004"}, Case{u"DatePart", {S(u"q"), dt(2004, 8, 1)}, "3"},
        Case{u"DatePart", {S(u"y"), dt(2004, 12, 31)}, "366"}, Case{u"DatePart", {S(u"y"), dt(2003, 12, 31)}, "365"},
        Case{u"DatePart", {S(u"w"), dt(2003, 1, 2)}, "5"}, Case{u"DatePart", {S(u"ww"), dt(2003, 1, 1)}, "1"},
        Case{u"DatePart", {S(u"ww"), dt(2003, 1, 5)}, "2"}, Case{u"DatePart", {S(u"ww"), dt(2003, 12, 31)}, "53"},
        Case{u"DatePart", {S(u"ww"), dt(2004, 1, 1), Value(2), Value(2)}, "1"},
        Case{u"DatePart", {S(u"ww"), dt(2005, 1, 1), Value(2), Value(2)}, "53"},
        Case{u"DatePart", {S(u"ww"), dt(2005, 1, 3), Value(2), Value(2)}, "1"},
        Case{u"DatePart", {S(u"ww"), dt(2003, 1, 1), Value(1), Value(3)}, "52"},
        Case{u"DatePart", {S(u"h"), dt(2003, 1, 1, 13)}, "13"}));

INSTANTIATE_TEST_SUITE_P(
    Formatting, DatesTest,
    ::testing::Values(
        Case{u"FormatNumber", {Value(1234.5)}, "1,234.50"},
        Case{u"FormatNumber", {Value(1234567.891), Value(1)}, "1,234,567.9"},
        Case{u"FormatNumber", {Value(0.5), Value(0)}, "1"}, Case{u"FormatNumber", {Value(2.5), Value(0)}, "3"},
        Case{u"FormatNumber", {Value(1.005), Value(2)}, "1.01"},
        Case{u"FormatNumber", {Value(0.25), Value(2), Value(0)}, ".25"},
        Case{u"FormatNumber", {Value(-3), Value(2), M, Value(-1)}, "(3.00)"},
        Case{u"FormatNumber", {Value(-3)}, "-3.00"},
        Case{u"FormatNumber", {Value(1234), Value(0), M, M, Value(0)}, "1234"},
        Case{u"FormatNumber", {Value(999.999), Value(2)}, "1,000.00"},
        Case{u"FormatNumber", {Value(-0.001), Value(2)}, "0.00"},
        Case{u"FormatNumber", {Value(1e20), Value(0)}, "100,000,000,000,000,000,000"},
        Case{u"FormatNumber", {Value(1.5e-10), Value(3)}, "0.000"}, Case{u"FormatNumber", {S(u"12.345")}, "12.35"},
        Case{u"FormatNumber", {S(u"abc")}, "#13"}, Case{u"FormatNumber", {N}, "#13"},
        Case{u"FormatCurrency", {Value(1234.5)}, "$1,234.50"}, Case{u"FormatCurrency", {Value(-1)}, "($1.00)"},
        Case{u"FormatCurrency", {Value(-1), M, M, Value(0)}, "-$1.00"},
        Case{u"FormatPercent", {Value(0.256)}, "25.60%"}, Case{u"FormatPercent", {Value(1), Value(0)}, "100%"},
        Case{u"FormatDateTime", {dt(2003, 1, 2, 16, 5, 6)}, "1/2/2003 4:05:06 PM"},
        Case{u"FormatDateTime", {dt(2003, 1, 2, 16, 5, 6), Value(1)}, "Thursday, January 2, 2003"},
        Case{u"FormatDateTime", {dt(2003, 1, 2, 16, 5, 6), Value(2)}, "1/2/2003"},
        Case{u"FormatDateTime", {dt(2003, 1, 2, 16, 5, 6), Value(3)}, "4:05:06 PM"},
        Case{u"FormatDateTime", {dt(2003, 1, 2, 16, 5, 6), Value(4)}, "16:05"},
        Case{u"FormatDateTime", {dt(2003, 1, 2), Value(9)}, "#5"}, Case{u"GetLocale", {}, "1033"},
        Case{u"SetLocale", {Value(2057)}, "1033"}));

TEST(DatesNowTest, NowDateAndTimeAgree) {
  TestContext cx;
  double now = call(cx, u"Now", {}).asDate();
  double today = call(cx, u"Date", {}).asDate();
  double time = call(cx, u"Time", {}).asDate();
  EXPECT_EQ(today, std::floor(today));
  EXPECT_GE(time, 0.0);
  EXPECT_LT(time, 1.0);
  EXPECT_NEAR(now, today + time, 2.0 / 86400);
  float timer = call(cx, u"Timer", {}).asSingle();
  EXPECT_NEAR(timer, time * 86400, 2.0);
}

TEST(DatesNowTest, DatesWithoutAYearFallInTheCurrentYear) {
  TestContext cx;
  std::string year = repr(call(cx, u"Year", {call(cx, u"Now", {})}));
  for (const char16_t* text : {u"3/15", u"March 15", u"15 Mar", u"3/15 10:30 PM"}) {
    EXPECT_EQ(repr(call(cx, u"Year", {Value(text)})), year) << utf8(text);
    EXPECT_EQ(repr(call(cx, u"Year", {call(cx, u"CDate", {Value(text)})})), year) << utf8(text);
    EXPECT_EQ(repr(call(cx, u"Day", {call(cx, u"DateValue", {Value(text)})})), "15") << utf8(text);
    EXPECT_EQ(repr(call(cx, u"IsDate", {Value(text)})), "True") << utf8(text);
  }
  // A year is kept when one is written, and times alone have no date.
  EXPECT_EQ(repr(call(cx, u"Year", {Value(u"March 2005")})), "2005");
  EXPECT_EQ(repr(call(cx, u"CDate", {Value(u"10:30:15")})), "10:30:15 AM");
}

TEST(DatesNowTest, SetLocaleRemembersTheLastValue) {
  TestContext cx;
  call(cx, u"SetLocale", {Value(2057)});
  EXPECT_EQ(repr(call(cx, u"GetLocale", {})), "2057");
  EXPECT_EQ(repr(call(cx, u"SetLocale", {Value(u"en-us")})), "2057");
  EXPECT_EQ(repr(call(cx, u"GetLocale", {})), "1033");
}

// Every day of four years (two leap days included) survives DateSerial ->
// parts -> DateSerial, and consecutive days are one apart.
TEST(DatesNowTest, CalendarRoundTripsAcrossLeapYears) {
  TestContext cx;
  double prev = 0;
  for (int y = 1999; y <= 2004; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= 31; ++d) {
        Value v = call(cx, u"DateSerial", {Value(y), Value(m), Value(d)});
        if (repr(call(cx, u"Month", {v})) != std::to_string(m)) continue;  // rolled over
        ASSERT_EQ(repr(call(cx, u"Day", {v})), std::to_string(d));
        ASSERT_EQ(repr(call(cx, u"Year", {v})), std::to_string(y));
        if (prev != 0) {
          ASSERT_EQ(v.asDate() - prev, 1.0);
        }
        prev = v.asDate();
      }
    }
  }
}

}  // namespace
}  // namespace vbs::test
