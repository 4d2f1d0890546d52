// Result value and subtype of expressions, evaluated with Engine::eval.
#include "script_test_support.h"

namespace vbs::test {
namespace {

struct ExprCase {
  const char16_t* expr;
  const char* value;  // CStr of the result, or "error N"
  const char* type;   // TypeName of the result
};

std::ostream& operator<<(std::ostream& os, const ExprCase& c) { return os << utf8(c.expr); }

class ExpressionTest : public ::testing::TestWithParam<ExprCase> {};

TEST_P(ExpressionTest, ValueAndSubtype) {
  const ExprCase& c = GetParam();
  Engine engine;
  try {
    Value v = engine.eval(c.expr);
    EXPECT_EQ(v.isNull() ? std::string("Null") : v.toUtf8(), c.value);
    EXPECT_EQ(utf8(typeName(v)), c.type);
  } catch (const ScriptError& e) {
    EXPECT_EQ("error " + std::to_string(e.number), c.value);
  }
}

const ExprCase kExpressions[] = {
    // Integer arithmetic widens Integer -> Long -> Double on overflow only.
    {u"32000 + 767", "32767", "Integer"},
    {u"32000 + 768", "32768", "Long"},
    {u"-32768 - 1", "-32769", "Long"},
    {u"2147483647 * 2", "4294967294", "Double"},
    {u"CInt(300) * CInt(300)", "90000", "Long"},
    {u"CLng(5) + CInt(1)", "6", "Long"},
    {u"1.5 + 1", "2.5", "Double"},
    {u"True + 1", "0", "Integer"},
    {u"Empty + Empty", "0", "Integer"},
    {u"\"2\" * 3", "6", "Double"},
    {u"\"\" & 5", "5", "String"},
    {u"Null + 5", "Null", "Null"},
    {u"Null & Null", "Null", "Null"},
    {u"Empty & Empty", "", "String"},
    // Division and integer operators.
    {u"10 / 4", "2.5", "Double"},
    {u"10 \\ 4", "2", "Integer"},
    {u"-10 \\ 4", "-2", "Integer"},
    {u"10 Mod 4", "2", "Integer"},
    {u"1.5 \\ 1", "2", "Long"},
    {u"2147483647 \\ 1", "2147483647", "Long"},
    {u"5.5 Mod 2", "0", "Long"},
    {u"2 ^ 0.5 > 1.414", "True", "Boolean"},
    {u"0 ^ 0", "1", "Double"},
    // Comparison results.
    {u"1 < 2", "True", "Boolean"},
    {u"\"abc\" < \"abd\"", "True", "Boolean"},
    {u"Null = Null", "Null", "Null"},
    {u"Empty = Empty", "True", "Boolean"},
    {u"#1/1/2020# < #1/2/2020#", "True", "Boolean"},
    {u"#1/1/2020# = 43831", "True", "Boolean"},
    {u"True = -1", "True", "Boolean"},
    // Logic.
    {u"Not 5", "-6", "Integer"},
    {u"Not 100000", "-100001", "Long"},
    {u"&HF0 And &H3C", "48", "Integer"},
    {u"True Or 2", "-1", "Integer"},
    {u"Not Null", "Null", "Null"},
    {u"False And Null", "False", "Boolean"},
    {u"True Or Null", "True", "Boolean"},
    // Dates.
    {u"#2/28/2020# + 1", "2/29/2020", "Date"},
    {u"#12/31/2019 23:00# + 1 / 24", "1/1/2020", "Date"},
    {u"#1/2/2020 6:00# - #1/1/2020#", "1.25", "Double"},
    // Literal folding does not hide run-time errors.
    {u"1 / 0", "error 11", ""},
    {u"\"a\" - 1", "error 13", ""},
    {u"CInt(\"40000\")", "error 6", ""},
    {u"2 ^ 2000", "error 6", ""},
};
INSTANTIATE_TEST_SUITE_P(Eval, ExpressionTest, ::testing::ValuesIn(kExpressions));

const ScriptCase kParsing[] = {
    {"MethodResultMember",
     "Class B\n  Public N\n  Public Function Self() : Set Self = Me : End Function\nEnd Class\n"
     "Set bb = New B : bb.Self().N = 5 : bb.Self.N = bb.Self().N + 1 : Echo bb.N",
     "6"},
    {"SetArrayElement",
     "Class B : Public N : End Class\nDim arr(1) : Set arr(1) = New B : arr(1).N = 3 : Echo arr(1).N", "3"},
    {"NestedWith",
     "Class B : Public N, Child : End Class\nSet outer = New B : Set outer.Child = New B\n"
     "With outer\n  .N = 1\n  With .Child\n    .N = 2\n  End With\n  Echo .N, .Child.N\nEnd With",
     "1 2"},
    {"SingleLineIfWithEndIf", "If 1 = 1 Then Echo \"yes\" End If\nIf 1 = 2 Then Echo \"no\" Else Echo \"else\" End If",
     "yes\nelse"},
    {"SelectCaseTrue",
     "x = 3\nSelect Case True\n  Case x > 5 : Echo \"big\"\n  Case x > 1 : Echo \"medium\"\nEnd Select", "medium"},
    {"KeywordsAsMemberNames",
     "Class B : Public Step, Default2 : End Class\nSet bb = New B : bb.Step = 4 : Echo bb.Step", "4"},
    {"BracketedIdentifiers", "[my var] = 5 : Echo [my var] + 1", "6"},
    {"ColonsAndBlankLines", "::\n\n x = 1 :: y = 2 :\nEcho x + y", "3"},
    {"FunctionCallWithoutParentheses", "Function Seven : Seven = 7 : End Function\nEcho Seven + Seven()", "14"},
    {"NegativeArgumentWithoutParentheses", "Sub Show(v) : Echo v : End Sub\nShow -5\nShow - 5", "-5\n-5"},
    {"LeadingDotNumber", "Echo .5 + 1", "1.5"},
    {"CaseInsensitiveEverything", "CLASS cls : PUBLIC fld : END CLASS\nSET o = new CLS : O.FLD = 2 : echo o.fld", "2"},
};

class ParsingTest : public ::testing::TestWithParam<ScriptCase> {};
TEST_P(ParsingTest, Runs) { EXPECT_EQ(runScript(GetParam().code), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Parsing, ParsingTest, ::testing::ValuesIn(kParsing),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace vbs::test
