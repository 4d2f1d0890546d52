// Conversions and formatting of the Variant itself.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/vbscript/value.h"

namespace vbs {
namespace {

struct ToStringCase {
  Value value;
  const char* expected;
};

TEST(ValueTest, ToStringUsesUsEnglishFormatting) {
  const ToStringCase cases[] = {
      {Value(), ""},
      {Value(true), "True"},
      {Value(false), "False"},
      {Value(int16_t(-5)), "-5"},
      {Value(int32_t(100000)), "100000"},
      {Value(1.0 / 3.0), "0.333333333333333"},
      {Value(1e20), "1E+20"},
      {Value(1.5e-7), "1.5E-07"},
      {Value(0.1 + 0.2), "0.3"},
      {Value(-2.5), "-2.5"},
      {Value(123456789012345.0), "123456789012345"},
      {Value(3.5f), "3.5"},
      {Value(Currency{12345}), "1.2345"},
      {Value(Currency{-50000}), "-5"},
      {Value(Date{43832.0}), "1/2/2020"},
      {Value(Date{43832.5}), "1/2/2020 12:00:00 PM"},
      {Value(Date{0.75}), "6:00:00 PM"},
      {Value(Date{0.0}), "12/30/1899"},
      {Value(u"text"), "text"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value.toUtf8(), c.expected) << c.expected;
}

TEST(ValueTest, IntegerConversionsRoundHalfToEvenAndCheckRange) {
  struct Case {
    double in;
    int32_t expected;
  };
  const Case cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {-0.6, -1}};
  for (const auto& c : cases) EXPECT_EQ(Value(c.in).toLong(), c.expected) << c.in;

  EXPECT_EQ(Value(u" 42 ").toInteger(), 42);
  EXPECT_EQ(Value(u"&HFF").toLong(), 255);
  EXPECT_EQ(Value(true).toLong(), -1);
  EXPECT_EQ(Value().toLong(), 0);

  auto errorOf = [](auto fn) {
    try {
      fn();
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  };
  EXPECT_EQ(errorOf([] { Value(40000.0).toInteger(); }), err::Overflow);
  EXPECT_EQ(errorOf([] { Value(3e9).toLong(); }), err::Overflow);
  EXPECT_EQ(errorOf([] { Value(int16_t(256)).toByte(); }), err::Overflow);
  EXPECT_EQ(errorOf([] { Value(u"abc").toDouble(); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([] { Value(u"").toLong(); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([] { Value::null().toString(); }), err::InvalidUseOfNull);
  EXPECT_EQ(errorOf([] { Value::null().toLong(); }), err::InvalidUseOfNull);
  EXPECT_EQ(errorOf([] { Value(u"maybe").toBool(); }), err::TypeMismatch);
}

TEST(ValueTest, BooleanConversions) {
  EXPECT_TRUE(Value(u"True").toBool());
  EXPECT_FALSE(Value(u"false").toBool());
  EXPECT_TRUE(Value(u"-1").toBool());
  EXPECT_FALSE(Value(u"0").toBool());
  EXPECT_TRUE(Value(0.1).toBool());
  EXPECT_FALSE(Value().toBool());
}

TEST(ValueTest, ParseNumberAcceptsVbscriptForms) {
  struct Case {
    const char16_t* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {u"12", true, 12},  {u"  -3.5 ", true, -3.5}, {u"1e3", true, 1000},     {u"&H10", true, 16}, {u"&o17", true, 15},
      {u".5", true, 0.5}, {u"1,000", true, 1000},   {u"&HFFFF", true, 65535}, {u"", false, 0},     {u"abc", false, 0},
      {u"1e", false, 0},  {u"--1", false, 0},       {u"12abc", false, 0},     {u"&H", false, 0},
  };
  for (const auto& c : cases) {
    double d = 0;
    EXPECT_EQ(parseNumber(c.text, d), c.ok) << utf8(c.text);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(d, c.value) << utf8(c.text);
    }
  }
}

TEST(ValueTest, ParseDateUnderstandsCommonForms) {
  struct Case {
    const char16_t* text;
    const char* formatted;  // nullptr: not a date
  };
  const Case cases[] = {
      {u"1/2/2020", "1/2/2020"},        {u"2020-01-02", "1/2/2020"}, {u"1/2/2020 13:05", "1/2/2020 1:05:00 PM"},
      {u"13:05:09", "1:05:09 PM"},      {u"1:05 PM", "1:05:00 PM"},  {u"12:00 AM", "12/30/1899"},
      {u"January 2, 2020", "1/2/2020"}, {u"2 Feb 2021", "2/2/2021"}, {u"2/29/2021", nullptr},
      {u"13/13/2020", nullptr},         {u"hello", nullptr},         {u"25:00", nullptr},
  };
  for (const auto& c : cases) {
    double serial = 0;
    bool ok = parseDate(c.text, serial);
    EXPECT_EQ(ok, c.formatted != nullptr) << utf8(c.text);
    if (ok && c.formatted) {
      EXPECT_EQ(utf8(formatDate(serial)), c.formatted) << utf8(c.text);
    }
  }
}

TEST(ValueTest, DateSerialRollsMonthsAndDays) {
  EXPECT_EQ(dateSerial(1899, 12, 30), 0);
  EXPECT_EQ(dateSerial(2020, 1, 1), 43831);
  EXPECT_EQ(dateSerial(2020, 13, 1), dateSerial(2021, 1, 1));
  EXPECT_EQ(dateSerial(2020, 3, 0), dateSerial(2020, 2, 29));
  EXPECT_EQ(dateSerial(2020, 0, 1), dateSerial(2019, 12, 1));
  int y, m, d;
  splitDate(-1.5, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
}

TEST(ValueTest, CopiesShareStringsAndArraysUntilReplaced) {
  Value a(u"shared");
  Value b = a;
  EXPECT_EQ(a.uniqueString(), nullptr);
  b = Value(u"other");
  ASSERT_NE(a.uniqueString(), nullptr);
  a.uniqueString()->append(u"!");
  EXPECT_EQ(a.toUtf8(), "shared!");

  Value arr(Array::create(2));
  EXPECT_EQ(arr.asArray()->refCount(), 1);
  Value arr2 = arr;
  EXPECT_EQ(arr.asArray()->refCount(), 2);
}

TEST(ValueTest, ArraysCheckBoundsAndResizeTheLastDimension) {
  Value v(Array::create(std::vector<int32_t>{2, 3}));
  Array* a = v.asArray();
  EXPECT_EQ(a->size(), 12u);
  a->at({2, 3}) = Value(int16_t(7));
  a->at({1, 0}) = Value(int16_t(5));
  EXPECT_EQ(a->ubound(1), 2);
  EXPECT_EQ(a->ubound(2), 3);
  a->resizePreserve({2, 5});
  EXPECT_EQ(a->at({2, 3}).toLong(), 7);
  EXPECT_EQ(a->at({1, 0}).toLong(), 5);
  EXPECT_THROW(a->at({3, 0}), ScriptError);
  EXPECT_THROW(a->at({0}), ScriptError);
  EXPECT_THROW(a->resizePreserve({3, 5}), ScriptError);
  EXPECT_THROW(a->ubound(3), ScriptError);
  try {
    Array::create(std::vector<int32_t>{100000, 100000});
    ADD_FAILURE() << "huge array allowed";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, err::OutOfMemory);
  }
}

TEST(ValueTest, Utf8RoundTripsIncludingSurrogates) {
  std::string s = "Caf\xC3\xA9 \xF0\x9F\x98\x80";
  std::u16string u = fromUtf8(s);
  EXPECT_EQ(u.size(), 7u);  // the emoji is two UTF-16 units
  EXPECT_EQ(utf8(u), s);
  EXPECT_TRUE(equalsNoCase(u"\u00C9T\u00C9", u"\u00e9t\u00e9"));
  EXPECT_FALSE(equalsNoCase(u"abc", u"abd"));
}

TEST(ValueTest, Windows1252MapsTheC1Range) {
  struct Case {
    int byte;
    char16_t ch;
  };
  const Case cases[] = {{0x41, u'A'}, {0x80, 0x20AC}, {0x93, 0x201C}, {0x9F, 0x0178}, {0x81, 0x81}, {0xE9, 0xE9}};
  for (const auto& c : cases) {
    EXPECT_EQ(fromWindows1252(static_cast<uint8_t>(c.byte)), c.ch);
    EXPECT_EQ(toWindows1252(c.ch), c.byte);
  }
  EXPECT_EQ(toWindows1252(0x4E2D), -1);
}

TEST(ValueTest, ErrorDescriptionsFollowVbscriptNumbers) {
  struct Case {
    int32_t n;
    const char* text;
  };
  const Case cases[] = {{5, "Invalid procedure call or argument"},
                        {13, "Type mismatch"},
                        {424, "Object required"},
                        {450, "Wrong number of arguments or invalid property assignment"},
                        {1002, "Syntax error"},
                        {1005, "Expected '('"},
                        {1014, "Expected 'End'"},
                        {1025, "Expected end of statement"},
                        {31337, "Unknown runtime error"}};
  for (const auto& c : cases) EXPECT_EQ(utf8(errorDescription(c.n)), c.text);
}

}  // namespace
}  // namespace vbs
