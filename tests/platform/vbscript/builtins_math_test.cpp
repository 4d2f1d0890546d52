#include <gtest/gtest.h>

#include "lib_test_support.h"

namespace vbs::test {
namespace {

const Value N = Value::null();
Value S(const char16_t* s) { return Value(s); }

class MathTest : public ::testing::TestWithParam<Case> {};

TEST_P(MathTest, Evaluates) {
  TestContext cx;
  const Case& c = GetParam();
  EXPECT_EQ(eval(cx, c.fn, c.args), c.expected) << utf8(c.fn);
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, MathTest,
    ::testing::Values(Case{u"Round", {Value(2.5)}, "2"}, Case{u"Round", {Value(3.5)}, "4"},
                      Case{u"Round", {Value(-2.5)}, "-2"}, Case{u"Round", {Value(2.675), Value(2)}, "2.68"},
                      Case{u"Round", {Value(0.125), Value(2)}, "0.12"},
                      Case{u"Round", {Value(1.2345), Value(3)}, "1.234"}, Case{u"Round", {S(u"7.5")}, "8"},
                      Case{u"Round", {Value(1.5), Value(-1)}, "#5"}, Case{u"Round", {N}, "Null"},
                      Case{u"Round", {Value(Currency{25000})}, "2"}, Case{u"Round", {Value(Currency{35000})}, "4"},
                      Case{u"Int", {Value(-2.5)}, "-3"}, Case{u"Fix", {Value(-2.5)}, "-2"},
                      Case{u"Int", {Value(2.9)}, "2"}, Case{u"Int", {S(u"-0.5")}, "-1"}, Case{u"Fix", {N}, "Null"},
                      Case{u"Int", {S(u"x")}, "#13"}, Case{u"Abs", {Value(int16_t(-32768))}, "32768"},
                      Case{u"Abs", {Value(-3.5)}, "3.5"}, Case{u"Abs", {Value()}, "0"}, Case{u"Abs", {N}, "Null"},
                      Case{u"Sgn", {Value(-0.1)}, "-1"}, Case{u"Sgn", {Value(0)}, "0"}, Case{u"Sgn", {S(u"12")}, "1"}));

INSTANTIATE_TEST_SUITE_P(
    Functions, MathTest,
    ::testing::Values(
        Case{u"Sqr", {Value(16)}, "4"}, Case{u"Sqr", {Value(-1)}, "#5"}, Case{u"Log", {Value(0)}, "#5"},
        Case{u"Log", {Value(1)}, "0"}, Case{u"Exp", {Value(1000)}, "#6"}, Case{u"Exp", {Value(0)}, "1"},
        Case{u"Atn", {Value(1)}, "0.785398163397448"}, Case{u"Cos", {Value(0)}, "1"}, Case{u"Sin", {N}, "#94"},
        Case{u"Sqr", {N}, "#94"}, Case{u"Hex", {Value(255)}, "FF"}, Case{u"Hex", {Value(int16_t(-1))}, "FFFF"},
        Case{u"Hex", {Value(-1)}, "FFFFFFFF"}, Case{u"Hex", {Value(-32769)}, "FFFF7FFF"},
        Case{u"Hex", {Value(10.5)}, "A"}, Case{u"Hex", {Value()}, "0"}, Case{u"Hex", {N}, "Null"},
        Case{u"Hex", {Value(1e10)}, "#6"}, Case{u"Oct", {Value(8)}, "10"}, Case{u"Oct", {Value(int16_t(-1))}, "177777"},
        Case{u"RGB", {Value(255), Value(0), Value(0)}, "255"}, Case{u"RGB", {Value(1), Value(2), Value(3)}, "197121"},
        Case{u"RGB", {Value(300), Value(0), Value(0)}, "255"}, Case{u"RGB", {Value(-1), Value(0), Value(0)}, "#5"}));

INSTANTIATE_TEST_SUITE_P(
    Conversions, MathTest,
    ::testing::Values(Case{u"CStr", {Value(0.1 + 0.2)}, "0.3"}, Case{u"CStr", {Value(1e20)}, "1E+20"},
                      Case{u"CStr", {Value(1.0 / 3)}, "0.333333333333333"}, Case{u"CStr", {Value(1.5e-7)}, "1.5E-07"},
                      Case{u"CStr", {dt(2003, 1, 2, 16, 5, 6)}, "1/2/2003 4:05:06 PM"},
                      Case{u"CStr", {dt(2003, 1, 2)}, "1/2/2003"}, Case{u"CStr", {Value(Date{0.5})}, "12:00:00 PM"},
                      Case{u"CStr", {Value(true)}, "True"}, Case{u"CStr", {N}, "#94"}, Case{u"CStr", {Value()}, ""},
                      Case{u"CInt", {Value(2.5)}, "2"}, Case{u"CInt", {Value(3.5)}, "4"},
                      Case{u"CInt", {Value(32768)}, "#6"}, Case{u"CInt", {S(u"")}, "#13"},
                      Case{u"CInt", {S(u" 12 ")}, "12"}, Case{u"CLng", {S(u"&HFF")}, "255"},
                      Case{u"CLng", {Value(2147483648.0)}, "#6"}, Case{u"CByte", {Value(255.4)}, "255"},
                      Case{u"CByte", {Value(-1)}, "#6"}, Case{u"CBool", {S(u"true")}, "True"},
                      Case{u"CBool", {Value(0)}, "False"}, Case{u"CBool", {S(u"abc")}, "#13"},
                      Case{u"CBool", {N}, "#94"}, Case{u"CDbl", {S(u"1.5E3")}, "1500"},
                      Case{u"CSng", {Value(1.0 / 3)}, "0.3333333"}, Case{u"CCur", {Value(1.23456)}, "1.2346"},
                      Case{u"CDate", {S(u"1/2/2003 4:05:06 PM")}, "1/2/2003 4:05:06 PM"},
                      Case{u"CDate", {Value(37623)}, "1/2/2003"}, Case{u"CDate", {S(u"nonsense")}, "#13"}));

INSTANTIATE_TEST_SUITE_P(
    Information, MathTest,
    ::testing::Values(Case{u"TypeName", {Value(int16_t(1))}, "Integer"}, Case{u"TypeName", {arr({})}, "Variant()"},
                      Case{u"TypeName", {Value::nothing()}, "Nothing"}, Case{u"VarType", {S(u"x")}, "8"},
                      Case{u"VarType", {arr({})}, "8204"}, Case{u"IsNumeric", {S(u" 1.5e3 ")}, "True"},
                      Case{u"IsNumeric", {S(u"1a")}, "False"}, Case{u"IsNumeric", {Value()}, "True"},
                      Case{u"IsNumeric", {N}, "False"}, Case{u"IsNumeric", {dt(2000, 1, 1)}, "False"},
                      Case{u"IsDate", {S(u"1/2/2003")}, "True"}, Case{u"IsDate", {S(u"2/30/2003")}, "False"},
                      Case{u"IsDate", {Value(5)}, "False"}, Case{u"IsEmpty", {Value()}, "True"},
                      Case{u"IsNull", {N}, "True"}, Case{u"IsArray", {arr({})}, "True"},
                      Case{u"ScriptEngine", {}, "VBScript"}, Case{u"ScriptEngineMajorVersion", {}, "5"},
                      Case{u"ScriptEngineMinorVersion", {}, "8"}, Case{u"GetObject", {S(u"x.doc")}, "#429"},
                      Case{u"CreateObject", {S(u"No.Such")}, "#429"}, Case{u"UBound", {arr({Value(1), Value(2)})}, "1"},
                      Case{u"UBound", {arr({})}, "-1"}, Case{u"UBound", {arr({}), Value(2)}, "#9"},
                      Case{u"LBound", {Value(1)}, "#13"}, Case{u"Array", {}, "[]"}));

// The generator must repeat the language's sequences exactly: scripts seed
// it with Rnd(-1) / Randomize n to get reproducible puzzles.
TEST(RandomTest, ReproducesTheLanguageSequence) {
  TestContext cx;
  EXPECT_FLOAT_EQ(call(cx, u"Rnd", {}).asSingle(), 0.7055475f);
  TestContext cx2;
  EXPECT_FLOAT_EQ(call(cx2, u"Rnd", {Value(-1)}).asSingle(), 0.224007f);
  call(cx2, u"Randomize", {Value(5)});
  const float expected[] = {0.8944274f, 0.6981077f, 0.7664978f};
  for (float e : expected) EXPECT_FLOAT_EQ(call(cx2, u"Rnd", {}).asSingle(), e);
  // Rnd(0) repeats the last number.
  EXPECT_FLOAT_EQ(call(cx2, u"Rnd", {Value(0)}).asSingle(), 0.7664978f);
}

TEST(RandomTest, SeedIsPerEngineAndValuesInRange) {
  TestContext a, b;
  call(a, u"Rnd", {});
  EXPECT_FLOAT_EQ(call(b, u"Rnd", {}).asSingle(), 0.7055475f);
  call(a, u"Randomize", {});
  for (int i = 0; i < 1000; ++i) {
    float f = call(a, u"Rnd", {}).asSingle();
    ASSERT_GE(f, 0.0f);
    ASSERT_LT(f, 1.0f);
  }
}

TEST(ConstantsTest, HaveTheLanguageValues) {
  const Registry& r = Registry::standard();
  struct {
    const char16_t* name;
    const char* value;
    int varType;
  } cases[] = {
      {u"vbCrLf", "\r\n", 8},
      {u"vbNewLine", "\r\n", 8},
      {u"vbFormFeed", "\f", 8},
      {u"vbVerticalTab", "\v", 8},
      {u"vbYesNo", "4", 2},
      {u"vbMsgBoxRtlReading", "1048576", 3},
      {u"vbDefaultButton3", "512", 2},
      {u"vbNo", "7", 2},
      {u"vbArray", "8192", 2},
      {u"vbTextCompare", "1", 2},
      {u"vbSaturday", "7", 2},
      {u"vbFirstFullWeek", "3", 2},
      {u"vbShortTime", "4", 2},
      {u"vbUseDefault", "-2", 2},
      {u"vbTrue", "-1", 2},
      {u"vbRed", "255", 3},
      {u"vbWhite", "16777215", 3},
      {u"vbObjectError", "-2147221504", 3},
  };
  for (const auto& c : cases) {
    const Value* v = r.findConstant(c.name);
    ASSERT_NE(v, nullptr) << utf8(c.name);
    EXPECT_EQ(v->toUtf8(), c.value) << utf8(c.name);
    EXPECT_EQ(v->varType(), c.varType) << utf8(c.name);
  }
  EXPECT_NE(r.findConstant(u"VBCRLF"), nullptr);
}

}  // namespace
}  // namespace vbs::test
