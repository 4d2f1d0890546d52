#include <gtest/gtest.h>

#include "lib_test_support.h"

namespace vbs::test {
namespace {

const Value N = Value::null();
const Value M = Value::missing();
Value S(const char16_t* s) { return Value(s); }

class StringsTest : public ::testing::TestWithParam<Case> {};

TEST_P(StringsTest, Evaluates) {
  TestContext cx;
  const Case& c = GetParam();
  EXPECT_EQ(eval(cx, c.fn, c.args), c.expected) << utf8(c.fn);
}

INSTANTIATE_TEST_SUITE_P(
    LengthAndSlices, StringsTest,
    ::testing::Values(Case{u"Len", {S(u"hello")}, "5"}, Case{u"Len", {N}, "Null"}, Case{u"Len", {Value(12345)}, "5"},
                      Case{u"Len", {Value()}, "0"}, Case{u"Len", {S(u"\u00e9\u4e2d")}, "2"},
                      Case{u"LenB", {S(u"abc")}, "6"}, Case{u"Left", {S(u"hello"), Value(2)}, "he"},
                      Case{u"Left", {S(u"hello"), Value(0)}, ""}, Case{u"Left", {S(u"hello"), Value(99)}, "hello"},
                      Case{u"Left", {S(u"hello"), Value(-1)}, "#5"}, Case{u"Left", {N, Value(1)}, "Null"},
                      Case{u"Left", {S(u"x"), N}, "#94"}, Case{u"Left", {S(u"hello"), Value(1.5)}, "he"},
                      Case{u"Right", {S(u"hello"), Value(3)}, "llo"}, Case{u"Right", {S(u"hello"), Value(10)}, "hello"},
                      Case{u"Right", {S(u"hello"), Value(-2)}, "#5"}, Case{u"Mid", {S(u"hello"), Value(2)}, "ello"},
                      Case{u"Mid", {S(u"hello"), Value(2), Value(2)}, "el"},
                      Case{u"Mid", {S(u"hello"), Value(9), Value(2)}, ""}, Case{u"Mid", {S(u"hello"), Value(0)}, "#5"},
                      Case{u"Mid", {S(u"hello"), Value(1), Value(-1)}, "#5"}, Case{u"Mid", {N, Value(1)}, "Null"},
                      Case{u"LeftB", {S(u"ab"), Value(2)}, "a"}, Case{u"MidB", {S(u"abc"), Value(3), Value(2)}, "b"},
                      Case{u"RightB", {S(u"abc"), Value(4)}, "bc"}, Case{u"InStrB", {S(u"abc"), S(u"c")}, "5"}));

INSTANTIATE_TEST_SUITE_P(TrimAndCase, StringsTest,
                         ::testing::Values(Case{u"Trim", {S(u"  a b  ")}, "a b"}, Case{u"LTrim", {S(u"  a  ")}, "a  "},
                                           Case{u"RTrim", {S(u"  a  ")}, "  a"}, Case{u"Trim", {S(u"\ta\t")}, "\ta\t"},
                                           Case{u"Trim", {N}, "Null"},
                                           Case{u"UCase", {S(u"abc\u00e9\u00ff\u0434")}, "ABC\u00c9\u0178\u0414"},
                                           Case{u"LCase", {S(u"ABC\u00c9\u0141")}, "abc\u00e9\u0142"},
                                           Case{u"UCase", {N}, "Null"}, Case{u"LCase", {Value(true)}, "true"}));

INSTANTIATE_TEST_SUITE_P(
    Characters, StringsTest,
    ::testing::Values(Case{u"Asc", {S(u"A")}, "65"}, Case{u"Asc", {S(u"\u20ac")}, "128"}, Case{u"Asc", {S(u"")}, "#5"},
                      Case{u"Asc", {N}, "#94"}, Case{u"AscW", {S(u"\u4e2d")}, "20013"},
                      Case{u"AscW", {S(u"\uffff")}, "-1"}, Case{u"AscB", {S(u"\u0141")}, "65"},
                      Case{u"Chr", {Value(65)}, "A"}, Case{u"Chr", {Value(128)}, "\u20ac"},
                      Case{u"Chr", {Value(256)}, "#5"}, Case{u"Chr", {Value(-1)}, "#5"},
                      Case{u"ChrW", {Value(20013)}, "\u4e2d"}, Case{u"ChrW", {Value(-1)}, "\uffff"},
                      Case{u"ChrW", {Value(65536)}, "#5"}, Case{u"Space", {Value(3)}, "   "},
                      Case{u"Space", {Value(-1)}, "#5"}, Case{u"String", {Value(3), S(u"xyz")}, "xxx"},
                      Case{u"String", {Value(2), Value(65)}, "AA"}, Case{u"String", {Value(2), Value(321)}, "AA"},
                      Case{u"String", {Value(2), S(u"")}, "#5"}, Case{u"String", {Value(2), N}, "Null"},
                      Case{u"StrReverse", {S(u"abc")}, "cba"}, Case{u"StrReverse", {N}, "#94"}));

INSTANTIATE_TEST_SUITE_P(
    Searching, StringsTest,
    ::testing::Values(
        Case{u"InStr", {S(u"abcabc"), S(u"c")}, "3"}, Case{u"InStr", {Value(4), S(u"abcabc"), S(u"c")}, "6"},
        Case{u"InStr", {Value(1), S(u"ABC"), S(u"b"), Value(1)}, "2"},
        Case{u"InStr", {Value(1), S(u"ABC"), S(u"b"), Value(0)}, "0"}, Case{u"InStr", {S(u"abc"), S(u"")}, "1"},
        Case{u"InStr", {Value(3), S(u"abc"), S(u"")}, "3"}, Case{u"InStr", {Value(5), S(u"abc"), S(u"a")}, "0"},
        Case{u"InStr", {S(u""), S(u"a")}, "0"}, Case{u"InStr", {Value(0), S(u"abc"), S(u"a")}, "#5"},
        Case{u"InStr", {N, S(u"a")}, "Null"}, Case{u"InStr", {S(u"a"), N}, "Null"},
        Case{u"InStr", {N, S(u"abc"), S(u"a")}, "#94"}, Case{u"InStr", {Value(1), S(u"a"), S(u"a"), Value(7)}, "#5"},
        Case{u"InStrRev", {S(u"abcabc"), S(u"b")}, "5"}, Case{u"InStrRev", {S(u"abcabc"), S(u"b"), Value(4)}, "2"},
        Case{u"InStrRev", {S(u"abcabc"), S(u"BC"), Value(-1), Value(1)}, "5"},
        Case{u"InStrRev", {S(u"abc"), S(u"")}, "3"}, Case{u"InStrRev", {S(u"abc"), S(u"a"), Value(9)}, "0"},
        Case{u"InStrRev", {S(u"abc"), S(u"a"), Value(0)}, "#5"}, Case{u"StrComp", {S(u"a"), S(u"b")}, "-1"},
        Case{u"StrComp", {S(u"b"), S(u"a")}, "1"}, Case{u"StrComp", {S(u"a"), S(u"A")}, "1"},
        Case{u"StrComp", {S(u"a"), S(u"A"), Value(1)}, "0"}, Case{u"StrComp", {S(u"ab"), S(u"abc")}, "-1"},
        Case{u"StrComp", {N, S(u"a")}, "Null"}));

INSTANTIATE_TEST_SUITE_P(
    Replace, StringsTest,
    ::testing::Values(Case{u"Replace", {S(u"a-b-c"), S(u"-"), S(u"+")}, "a+b+c"},
                      Case{u"Replace", {S(u"a-b-c"), S(u"-"), S(u"")}, "abc"},
                      Case{u"Replace", {S(u"a-b-c"), S(u""), S(u"x")}, "a-b-c"},
                      Case{u"Replace", {S(u"a-b-c"), S(u"-"), S(u"+"), Value(3)}, "b+c"},
                      Case{u"Replace", {S(u"a-b-c"), S(u"-"), S(u"+"), Value(1), Value(1)}, "a+b-c"},
                      Case{u"Replace", {S(u"a-b-c"), S(u"-"), S(u"+"), Value(9)}, ""},
                      Case{u"Replace", {S(u"a-b-c"), S(u"-"), S(u"+"), Value(1), Value(0)}, "a-b-c"},
                      Case{u"Replace", {S(u"aXbxc"), S(u"x"), S(u"_"), Value(1), Value(-1), Value(1)}, "a_b_c"},
                      Case{u"Replace", {S(u"aaa"), S(u"aa"), S(u"b")}, "ba"},
                      Case{u"Replace", {S(u"abc"), S(u"b"), S(u"bb")}, "abbc"},
                      Case{u"Replace", {S(u"abc"), S(u"b"), S(u"x"), Value(0)}, "#5"},
                      Case{u"Replace", {N, S(u"b"), S(u"x")}, "#94"}, Case{u"Replace", {S(u"abc"), N, S(u"x")}, "#94"},
                      Case{u"Replace", {S(u""), S(u"b"), S(u"x")}, ""},
                      Case{u"Replace", {S(u"abc"), S(u"b"), S(u"x"), M, M, Value(1)}, "axc"}));

INSTANTIATE_TEST_SUITE_P(
    SplitJoinFilter, StringsTest,
    ::testing::Values(
        Case{u"Split", {S(u"a b c")}, "[a|b|c]"}, Case{u"Split", {S(u"a,,b"), S(u",")}, "[a||b]"},
        Case{u"Split", {S(u"a<>b<>c"), S(u"<>")}, "[a|b|c]"},
        Case{u"Split", {S(u"a,b,c"), S(u","), Value(2)}, "[a|b,c]"},
        Case{u"Split", {S(u"a,b,c"), S(u","), Value(0)}, "[]"}, Case{u"Split", {S(u""), S(u",")}, "[]"},
        Case{u"Split", {S(u"abc"), S(u"")}, "[abc]"}, Case{u"Split", {S(u",a,"), S(u",")}, "[|a|]"},
        Case{u"Split", {S(u"aXbxc"), S(u"x"), Value(-1), Value(1)}, "[a|b|c]"}, Case{u"Split", {N}, "#94"},
        Case{u"Join", {arr({S(u"a"), Value(1), Value()})}, "a 1 "},
        Case{u"Join", {arr({S(u"a"), S(u"b")}), S(u", ")}, "a, b"}, Case{u"Join", {arr({}), S(u",")}, ""},
        Case{u"Join", {S(u"a")}, "#13"},
        Case{u"Filter", {arr({S(u"apple"), S(u"Banana"), S(u"cherry")}), S(u"an")}, "[Banana]"},
        Case{u"Filter", {arr({S(u"apple"), S(u"Banana")}), S(u"A"), Value(true), Value(1)}, "[apple|Banana]"},
        Case{u"Filter", {arr({S(u"apple"), S(u"Banana")}), S(u"pp"), Value(false)}, "[Banana]"},
        Case{u"Filter", {arr({S(u"x")}), S(u"q")}, "[]"}));

INSTANTIATE_TEST_SUITE_P(Escaping, StringsTest,
                         ::testing::Values(Case{u"Escape", {S(u"a b+c/@*_-.")}, "a%20b+c/@*_-."},
                                           Case{u"Escape", {S(u"\u00e9&\u4e2d")}, "%E9%26%u4E2D"},
                                           Case{u"Unescape", {S(u"a%20b%u4E2D%zz%4")}, "a b\u4e2d%zz%4"},
                                           Case{u"Escape", {N}, "Null"}));

TEST(StringsTest, SplitJoinRoundTripKeepsEmptyFields) {
  TestContext cx;
  for (const char16_t* s : {u"", u",", u"a,,b,", u",,,", u"x"}) {
    Value parts = call(cx, u"Split", {Value(s), Value(u",")});
    Value back = call(cx, u"Join", {parts, Value(u",")});
    EXPECT_EQ(back.asString(), std::u16string(s));
  }
}

TEST(StringsTest, WrongArgumentCountsAreRejected) {
  TestContext cx;
  EXPECT_EQ(eval(cx, u"Left", {Value(u"a")}), "#450");
  EXPECT_EQ(eval(cx, u"InStr", {Value(u"a")}), "#450");
  EXPECT_EQ(eval(cx, u"Replace", {Value(u"a"), Value(u"b")}), "#450");
}

}  // namespace
}  // namespace vbs::test
