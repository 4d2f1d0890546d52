// Forms that real-world scripts use: glued continuations, block ends on the
// statement's line, calls on parenthesised expressions, keywords as names,
// and the run-time behaviour that scripts written against VBScript rely on.
#include "script_test_support.h"

namespace vbs::test {
namespace {

class LanguageFormsTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(LanguageFormsTest, Runs) { EXPECT_EQ(runScript(GetParam().code), GetParam().expected); }

std::string caseName(const ::testing::TestParamInfo<ScriptCase>& i) { return i.param.name; }

const ScriptCase kEmptySubscripts[] = {
    {"AssignToEmptySubscriptOfUndimensionedArray", "Dim b()\nb() = 1", "error 9"},
    {"ReadEmptySubscriptOfUndimensionedArray", "Dim b()\nEcho b()", "error 9"},
    {"EmptySubscriptOfDimensionedArray", "Dim a(2)\nOn Error Resume Next\nx = a()\nEcho Err.Number\na() = 1\n"
     "Echo Err.Number", "9\n9"},
    {"EmptySubscriptOfArrayParameter", "Sub S(a) : a() = 2 : End Sub\nDim z()\nS z", "error 9"},
};
INSTANTIATE_TEST_SUITE_P(EmptySubscripts, LanguageFormsTest, ::testing::ValuesIn(kEmptySubscripts), caseName);

const ScriptCase kParserForms[] = {
    {"ContinuationGluedToToken",
     "x =_\n\"a\" &_\n\"b\"\nz = 1 +_\n2\nv = Array(1,_\n2)\nEcho x, z, UBound(v), Len(_\n\"abc\")", "ab 3 1 3"},
    {"BlockEndsAfterStatementWithoutColon",
     "Sub S() x = 1 End Sub\nFunction F(a) F = a * 2 End Function\n"
     "Function G() Call S() End Function\n"
     "Class C\n  Public x End Class\n"
     "n = 0\nIf n = 1 Then\n  r = 1\nElse r = 0 End If\n"
     "Echo F(4), r, TypeName(New C)",
     "8 0 C"},
    {"NestedSingleLineIfsWithTheirOwnEndIf",
     "Sub T(a, b)\n  If a Then If b Then Exit Sub End If End If\n  Echo a, b\nEnd Sub\nT True, True\nT True, False",
     "True False"},
    {"MeInGlobalCodeAndGlobalProcedures",
     "Dim count : count = 4\nFunction Twice(n) : Twice = n * 2 : End Function\n"
     "Sub Show() : Echo Me.Twice(Me.count) : End Sub\nEcho TypeName(Me), IsObject(Me)\nShow",
     "Object True\n8"},
    {"CallsOnParenthesisedExpressions",
     "Class Point\n  Public x, y\n  Public Default Function Init(a, b) : x = a : y = b : Set Init = Me : End Function\n"
     "End Class\n"
     "Function F(n) : F = n + 10 : End Function\nSub Show(v) : Echo \"show\", v : End Sub\n"
     "Set p = (New Point)(1, 2)\nx = Array(5, 6)\ny = (F)(1)\nz = ((x))(1)\nCall (((Show))) ((y))\nEcho p.x, p.y, z",
     "show 11\n1 2 6"},
    {"ProceduresInsideIfAreHoisted",
     "Early\nIf True Then\n  Sub Early() : Echo \"early\" : End Sub\n  Function Late() : Late = \"late\" : End Function\n"
     "End If\nEcho Late()",
     "early\nlate"},
    {"KeywordsAsNames",
     "Property = 5 : Echo Property\nSet d = CreateObject(\"Scripting.Dictionary\")\nOn Error Resume Next\n"
     "d.Rem = 1 : Echo Err.Number : Err.Clear\nx = d.Class : Echo Err.Number : Err.Clear\n"
     "d.Property = 1 : x = d.Step + d.Error : Echo Err.Number",
     "5\n438\n438\n438"},
    {"OtherSpellingsOfComparisons", "Echo 1 >< 2, 1 =< 1, 2 => 3, 3 <> 3", "True True False False"},
};
INSTANTIATE_TEST_SUITE_P(ParserForms, LanguageFormsTest, ::testing::ValuesIn(kParserForms), caseName);

}  // namespace
}  // namespace vbs::test
