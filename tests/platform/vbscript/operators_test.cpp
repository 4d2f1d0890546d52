// Expressions: result subtypes, coercions, Null and Empty, precedence.
#include "script_test_support.h"

namespace vbs::test {
namespace {

class OperatorTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(OperatorTest, Evaluates) { EXPECT_EQ(runScript(GetParam().code), GetParam().expected); }

const ScriptCase kLiteralsAndSubtypes[] = {
    {"IntegerLiteralsPickSmallestType",
     "Echo TypeName(1), TypeName(32767), TypeName(32768), TypeName(2147483647), TypeName(2147483648), TypeName(1.5)",
     "Integer Integer Long Long Double Double"},
    {"HexAndOctalLiterals", "Echo TypeName(&HFF), &HFF, &HFFFF, &HFFFF&, TypeName(&H10000), &O17, &h7fffffff",
     "Integer 255 -1 65535 Long 15 2147483647"},
    {"StringLiteralsDoubleQuotes", "Echo \"say \"\"hi\"\"\", Len(\"\"\"\"), Len(\"\")", "say \"hi\" 1 0"},
    {"DateLiterals", "Echo #1/2/2020#, #2020-03-04 13:05#, TypeName(#12:00#)", "1/2/2020 3/4/2020 1:05:00 PM Date"},
    {"IntegerOverflowWidens",
     "Echo TypeName(32767 + 1), TypeName(CInt(1) + CInt(2)), TypeName(2147483647 + 1), 2147483647 + 1, "
     "TypeName(200 * 200)",
     "Long Integer Double 2147483648 Long"},
    {"DoubleFormatting", "Echo 1/3, 1E+20, 1.5E-7, 0.1 + 0.2, 100000 * 100000, 1.0, -0.5",
     "0.333333333333333 1E+20 1.5E-07 0.3 10000000000 1 -0.5"},
    {"BooleansAreIntegersInArithmetic", "Echo True + True, TypeName(True + 1), -True", "-2 Integer 1"},
};
INSTANTIATE_TEST_SUITE_P(Literals, OperatorTest, ::testing::ValuesIn(kLiteralsAndSubtypes),
                         [](const auto& i) { return std::string(i.param.name); });

const ScriptCase kArithmetic[] = {
    {"SlashGivesDouble", "Echo TypeName(4 / 2), 7 / 2, 1 / 8", "Double 3.5 0.125"},
    {"IntegerDivisionAndModRoundOperands",
     "Echo 7 \\ 2, 2.5 \\ 1, 3.5 \\ 1, 5 Mod 2.5, -7 Mod 3, 7 Mod -3, -7 \\ 2, TypeName(7 \\ 2), TypeName(100000 \\ 3)",
     "3 2 4 1 -1 1 -3 Integer Long"},
    {"PowerIsLeftAssociativeAndBelowNegation", "Echo 2 ^ 3 ^ 2, -2 ^ 2, -3 ^ 2, 2 ^ -1, TypeName(2 ^ 2)",
     "64 4 9 0.5 Double"},
    {"PowerWithoutRealResult", "Echo (-8) ^ (1 / 3)", "error 5"},
    {"NegationWidens", "Echo -(-32768), TypeName(-(-32768)), TypeName(-CInt(5))", "32768 Long Integer"},
    {"PrecedenceMulBeforeAdd", "Echo 1 + 2 * 3, (1 + 2) * 3, 10 - 4 - 3, 2 * 3 Mod 4, 1 + 7 \\ 2 * 2", "7 9 3 2 2"},
    {"StringsAndNumbers", "Echo \"a\" + \"b\", \"1\" + 2, TypeName(\"1\" + 2), 1 & 2, TypeName(1 & 2), \"3\" * \"4\"",
     "ab 3 Double 12 String 12"},
    {"ConcatBindsLooserThanAdd", "Echo 1 + 2 & 3 + 4, \"x\" & 1 = \"x1\"", "37 True"},
    {"DateArithmetic", "d = #1/30/2020# : Echo d + 2, TypeName(d + 1), #1/3/2020# - #1/1/2020#, TypeName(d - d)",
     "2/1/2020 Date 2 Double"},
    {"DivisionByZero", "Echo 1 / 0", "error 11"},
    {"IntegerDivisionByZero", "Echo 5 Mod 0", "error 11"},
    {"ZeroOverZeroOverflows", "Echo 0 / 0", "error 6"},
    {"TypeMismatchOnText", "Echo \"abc\" * 2", "error 13"},
    {"OverflowOnConversion", "Echo CInt(40000)", "error 6"},
};
INSTANTIATE_TEST_SUITE_P(Arithmetic, OperatorTest, ::testing::ValuesIn(kArithmetic),
                         [](const auto& i) { return std::string(i.param.name); });

const ScriptCase kNullAndEmpty[] = {
    {"NullPropagates",
     "Echo IsNull(Null + 1), IsNull(Null & Null), IsNull(Null = 1), IsNull(-Null), \"x\" & Null & \"y\"",
     "True True True True xy"},
    {"NullInLogic", "Echo Null Or True, Null And False, IsNull(Null And True), IsNull(Null Or False), Null Imp True",
     "True False True True True"},
    {"NullConditionIsFalse", "If Null Then Echo \"then\" Else Echo \"else\"", "else"},
    {"EmptyActsAsZeroOrEmptyString",
     "Dim e : Echo TypeName(e + 1), e + 1, \"[\" & e & \"]\", e = 0, e = \"\", TypeName(e)",
     "Integer 1 [] True True Empty"},
    {"InvalidUseOfNull", "Echo CStr(Null)", "error 94"},
};
INSTANTIATE_TEST_SUITE_P(NullEmpty, OperatorTest, ::testing::ValuesIn(kNullAndEmpty),
                         [](const auto& i) { return std::string(i.param.name); });

const ScriptCase kComparisonAndLogic[] = {
    {"ComparisonsBelowArithmetic", "Echo 1 + 2 = 3, Not 1 = 2, 3 > 2 And 2 > 1, 1 < 2 = True", "True True True True"},
    {"StringComparisonIsBinary", "Echo \"a\" < \"b\", \"B\" < \"a\", \"abc\" = \"ABC\", \"10\" < \"9\"",
     "True True False True"},
    {"StringVariableAgainstNumberLiteral", "s = \"10\" : Echo s > 9, s = 10, \"10\" = 10, s < \"9\"",
     "True True True True"},
    {"NumberVariableAgainstStringVariable", "n = 5 : t = \"abc\" : u = \"5\" : Echo n < t, n = u, n = \"5\"",
     "True False True"},
    {"TextAgainstNumberLiteralIsGreater", "t = \"abc\" : Echo t = 1, t > 1, \"abc\" < 1", "False True False"},
    {"BitwiseOnNumbers",
     "Echo 6 And 3, 6 Or 3, 6 Xor 3, Not 0, TypeName(6 And 3), True And 1, TypeName(True And False)",
     "2 7 5 -1 Integer 1 Boolean"},
    {"EqvImp", "Echo True Eqv False, False Imp True, True Imp False, 5 Eqv 3", "False True False -7"},
    {"NotBindsLooserThanComparison", "Echo Not 3 > 4, Not (1) + 1", "True -3"},
    {"LogicPrecedence", "Echo True Or False And False, (True Or False) And False, True Xor True Or True",
     "True False False"},
    {"IsComparesObjects", "Dim o : Set o = Nothing : Echo o Is Nothing, IsObject(o), Err Is Err", "True True True"},
    {"IsNeedsObjects", "Echo 1 Is Nothing", "error 424"},
};
INSTANTIATE_TEST_SUITE_P(Comparison, OperatorTest, ::testing::ValuesIn(kComparisonAndLogic),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace vbs::test
