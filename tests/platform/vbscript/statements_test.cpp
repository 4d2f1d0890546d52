// Statements: control flow, declarations, arrays, procedures, dynamic code.
#include "script_test_support.h"

namespace vbs::test {
namespace {

class StatementTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(StatementTest, Runs) { EXPECT_EQ(runScript(GetParam().code), GetParam().expected); }

std::string caseName(const ::testing::TestParamInfo<ScriptCase>& i) { return i.param.name; }

const ScriptCase kConditionals[] = {
    {"SingleLineIfElse", "x = 5 : If x > 3 Then Echo \"big\" Else Echo \"small\"", "big"},
    {"SingleLineIfRunsTheWholeColonList", "If True Then Echo 1 : Echo 2 Else Echo 3\nIf False Then Echo 4 : Echo 5",
     "1\n2"},
    {"SingleLineElseIf", "If False Then Echo 1 Else If True Then Echo 2 Else Echo 3", "2"},
    {"BlockIfElseIf",
     "For Each v In Array(1, 5, 10)\n"
     "  If v < 3 Then\n    Echo \"low\"\n  ElseIf v < 8 Then\n    Echo \"mid\"\n  Else\n    Echo \"high\"\n  End If\n"
     "Next",
     "low\nmid\nhigh"},
    {"SelectCaseForms",
     "Function Classify(v)\n"
     "  Select Case v\n"
     "    Case 1, 2 : Classify = \"one-two\"\n"
     "    Case 3 To 5 : Classify = \"three-five\"\n"
     "    Case \"a\" : Classify = \"letter\"\n"
     "    Case Is > 100\n      Classify = \"big\"\n"
     "    Case Else : Classify = \"other\"\n"
     "  End Select\n"
     "End Function\n"
     "Echo Classify(2), Classify(4), Classify(500), Classify(\"a\"), Classify(50)",
     "one-two three-five big letter other"},
    {"SelectWithoutMatchDoesNothing", "Select Case 9\nCase 1\nEcho 1\nEnd Select\nEcho \"done\"", "done"},
};
INSTANTIATE_TEST_SUITE_P(Conditionals, StatementTest, ::testing::ValuesIn(kConditionals), caseName);

const ScriptCase kLoops[] = {
    {"ForCountsAndLeavesVariablePastEnd", "For i = 1 To 3 : s = s & i : Next : Echo s, i, TypeName(i)",
     "123 4 Integer"},
    {"ForNegativeStep", "For i = 10 To 1 Step -3 : s = s & i & \",\" : Next : Echo s", "10,7,4,1,"},
    {"ForFractionalStep", "For x = 0 To 1 Step 0.25 : n = n + 1 : Next : Echo n, x", "5 1.25"},
    {"ForBoundsEvaluatedOnce", "n = 3 : For i = 1 To n : n = 10 : c = c + 1 : Next : Echo c", "3"},
    {"ForBodyMayChangeCounter", "For i = 1 To 10 : i = i + 1 : c = c + 1 : Next : Echo c", "5"},
    {"ForEmptyRange", "For i = 5 To 1 : Echo \"never\" : Next : Echo i", "5"},
    {"ExitForLeavesInnermost",
     "For i = 1 To 3\n  For j = 1 To 3\n    If j = 2 Then Exit For\n    s = s & i & j & \" \"\n  Next\nNext\nEcho s",
     "11 21 31 "},
    {"ForEachOverArray", "For Each v In Array(\"a\", \"b\", \"c\") : s = s & v : Next : Echo s", "abc"},
    {"ForEachExit", "For Each v In Array(1, 2, 3, 4)\n  If v = 3 Then Exit For\n  s = s + v\nNext\nEcho s, v", "3 3"},
    {"ForEachOverHostCollection", "For Each a In WScript.Arguments : Echo a : Next", "one\ntwo"},
    {"ForEachNeedsCollection", "For Each v In 5 : Next", "error 451"},
    {"DoWhileAndUntil", "Do While i < 3 : i = i + 1 : Loop : Do Until j >= 4 : j = j + 2 : Loop : Echo i, j", "3 4"},
    {"DoLoopConditionAfterBody", "Do : i = i + 1 : Loop While i < 0 : Do : k = k + 1 : Loop Until True : Echo i, k",
     "1 1"},
    {"ExitDo", "Do\n  i = i + 1\n  If i = 5 Then Exit Do\nLoop\nEcho i", "5"},
    {"WhileWend", "While n < 4\n  n = n + 1\nWend\nEcho n", "4"},
    {"ExitDoFromNestedFor",
     "Do\n  For i = 1 To 10\n    If i = 3 Then Exit Do\n  Next\n  Echo \"not here\"\nLoop\nEcho i", "3"},
};
INSTANTIATE_TEST_SUITE_P(Loops, StatementTest, ::testing::ValuesIn(kLoops), caseName);

const ScriptCase kDeclarations[] = {
    {"FixedArray", "Dim a(2) : a(0) = \"x\" : a(2) = \"z\" : Echo UBound(a), a(0) & a(1) & a(2)", "2 xz"},
    {"ReDimPreserveKeepsValues",
     "ReDim b(1) : b(0) = 1 : b(1) = 2\nReDim Preserve b(3) : b(3) = 4\n"
     "Echo UBound(b), b(0) + b(1) + b(3), IsEmpty(b(2))\nReDim b(1) : Echo IsEmpty(b(0))",
     "3 7 True\nTrue"},
    {"MultiDimensional", "Dim m(2, 3) : m(2, 3) = 9 : m(0, 1) = 1 : Echo UBound(m, 1), UBound(m, 2), m(2, 3) + m(0, 1)",
     "2 3 10"},
    {"ArraysAreCopiedOnAssignment", "a = Array(1, 2) : b = a : b(0) = 9 : Echo a(0), b(0)", "1 9"},
    {"DynamicArrayDeclaration", "Dim z() : Echo IsArray(z) : ReDim z(4) : Echo UBound(z)", "True\n4"},
    {"EraseFixedClearsElements", "Dim f(2) : f(1) = 5 : Erase f : Echo IsEmpty(f(1)), UBound(f)", "True 2"},
    {"EraseDynamicFreesStorage", "ReDim d(3) : Erase d : Echo UBound(d)", "error 9"},
    {"SubscriptOutOfRange", "Dim a(2) : Echo a(3)", "error 9"},
    {"ReDimFixedArray", "Dim a(2) : ReDim a(5)", "error 10"},
    {"ReDimPreserveOnlyLastDimension", "ReDim m(2, 2) : ReDim Preserve m(3, 2)", "error 9"},
    {"HugeArrayIsOutOfMemory", "ReDim a(100000000)", "error 7"},
    {"IndexingAScalarIsTypeMismatch", "x = 5 : Echo x(1)", "error 13"},
    {"Constants", "Const A = 5, B = \"x\" : Echo A, B, A * 2", "5 x 10"},
    {"LiteralConstantsKnownBeforeTheirLine", "Sub Show : Echo Limit : End Sub\nShow\nConst Limit = 10", "10"},
    {"RndIsRepeatableAfterNegativeSeed",
     "x = Rnd(-3) : a = Rnd : b = Rnd\nx = Rnd(-3) : c = Rnd\nRandomize 5\n"
     "Echo a = c, a <> b, a >= 0 And a < 1, TypeName(a), Rnd(0) = Rnd(0)",
     "True True True Single True"},
    {"ConstantsCannotBeAssigned", "Const C = 1 : C = 2", "error 501"},
    {"OptionExplicitRejectsUndeclaredWrite", "Option Explicit\nDim a : a = 1 : Echo a\nb = 2", "1\nerror 500"},
    {"OptionExplicitRejectsUndeclaredRead", "Option Explicit\nEcho c", "error 500"},
    {"OptionExplicitInProcedure", "Option Explicit\nSub S\n  Dim ok : ok = 1\n  nope = 2\nEnd Sub\nS", "error 500"},
    {"ReDimDeclaresUnderOptionExplicit",
     "Option Explicit\nReDim g(2) : g(1) = \"a\"\nSub S\n  ReDim loc(1) : loc(0) = g(1) & \"b\" : Echo loc(0)\nEnd "
     "Sub\nS",
     "ab"},
    {"CommentsContinuationAndCase", "Rem a comment\nDIM x ' trailing\nx = 1 + _\n    2\nECHO X, x ' done", "3 3"},
};
INSTANTIATE_TEST_SUITE_P(Declarations, StatementTest, ::testing::ValuesIn(kDeclarations), caseName);

const ScriptCase kProcedures[] = {
    {"ByRefByValAndParentheses",
     "Sub Inc(n) : n = n + 1 : End Sub\nSub IncVal(ByVal n) : n = n + 1 : End Sub\n"
     "x = 1 : Inc x : Echo x\nIncVal x : Echo x\nInc (x) : Echo x\nCall Inc(x) : Echo x",
     "2\n2\n2\n3"},
    {"ByRefArrayElement", "Sub Inc(n) : n = n + 1 : End Sub\nDim a(1) : a(0) = 1 : Inc a(0) : Echo a(0)", "2"},
    {"ByRefExpressionIsACopy", "Sub Inc(n) : n = n + 1 : End Sub\nx = 1 : Inc x + 0 : Echo x", "1"},
    {"FunctionResultAndExit",
     "Function F(n)\n  F = \"start\"\n  If n = 0 Then Exit Function\n  F = \"n=\" & n\nEnd Function\nEcho F(0), F(2)",
     "start n=2"},
    {"ExitSub", "Sub S\n  Echo 1\n  Exit Sub\n  Echo 2\nEnd Sub\nS", "1"},
    {"Recursion",
     "Function Fact(n)\n  If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)\nEnd Function\nEcho Fact(10)", "3628800"},
    {"ProcedureDefinedAfterUse", "Echo Later(2)\nFunction Later(x) : Later = x * 10 : End Function", "20"},
    {"CallStatementWithMultipleArgs", "Sub Show(a, b) : Echo a & b : End Sub\nCall Show(1, 2)\nShow 3, 4", "12\n34"},
    {"FirstArgumentInParentheses", "Sub Show(a, b) : Echo a, b : End Sub\nShow (1) + 1, 5", "2 5"},
    {"ImplicitLocalsStayLocal", "Sub T : tmp = 5 : End Sub\nT : Echo IsEmpty(tmp)", "True"},
    {"GlobalsVisibleInProcedures", "g = 1\nSub U : g = g + 1 : End Sub\nU : U : Echo g", "3"},
    {"WrongArgumentCount", "Sub S(a) : End Sub\nS 1, 2", "error 450"},
    {"BuiltinWrongArgumentCount", "Echo Len(1, 2)", "error 450"},
    {"UndefinedProcedure", "Nope 1", "error 13"},
    {"FunctionReturningArray",
     "Function Make() : Make = Array(1, 2, 3) : End Function\nx = Make() : Echo UBound(x), x(2)", "2 3"},
};
INSTANTIATE_TEST_SUITE_P(Procedures, StatementTest, ::testing::ValuesIn(kProcedures), caseName);

const ScriptCase kDynamicCode[] = {
    {"EvalExecuteExecuteGlobalGetRef",
     "x = 2\nEcho Eval(\"x * 3\")\nExecute \"y = x + 1\"\nEcho y\n"
     "ExecuteGlobal \"Function Twice(n) : Twice = n * 2 : End Function\"\nEcho Twice(4)\n"
     "Set r = GetRef(\"Twice\")\nEcho r(5)",
     "6\n3\n8\n10"},
    {"ExecuteSeesLocals",
     "Function G()\n  Dim loc : loc = 7\n  Execute \"loc = loc + 1\"\n  G = Eval(\"loc * 2\")\nEnd Function\nEcho G()",
     "16"},
    {"EvalComparesWithEquals", "x = 3 : Echo Eval(\"x = 3\")", "True"},
    {"ExecuteSyntaxErrorIsTrappable", "On Error Resume Next\nExecute \"If\"\nEcho Err.Number", "1023"},
    {"WithBlock",
     "Class P : Public Name, Age : End Class\nSet pp = New P\n"
     "With pp\n  .Name = \"Ann\" : .Age = 30\n  Echo .Name, .Age + 1\nEnd With",
     "Ann 31"},
    {"StopIsIgnored", "Stop : Echo \"after\"", "after"},
};
INSTANTIATE_TEST_SUITE_P(DynamicCode, StatementTest, ::testing::ValuesIn(kDynamicCode), caseName);

}  // namespace
}  // namespace vbs::test
