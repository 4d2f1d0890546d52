// Error handling: On Error Resume Next, the Err object, error positions.
#include "script_test_support.h"

namespace vbs::test {
namespace {

class ErrorHandlingTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ErrorHandlingTest, Runs) { EXPECT_EQ(runScript(GetParam().code), GetParam().expected); }

const ScriptCase kResumeNext[] = {
    {"TrapsAndDescribes",
     "On Error Resume Next\nx = 1 / 0\nEcho Err.Number, Err.Description, Err.Source\nErr.Clear\nEcho Err.Number, x",
     "11 Division by zero Microsoft VBScript runtime error\n0 "},
    {"ErrorInCalleeSkipsRestOfCallee",
     "Sub Inner\n  Echo \"inner start\"\n  x = 1 / 0\n  Echo \"inner end\"\nEnd Sub\n"
     "On Error Resume Next\nInner\nEcho \"after\", Err.Number",
     "inner start\nafter 11"},
    {"CalleeWithOwnHandler",
     "Function Safe()\n  On Error Resume Next\n  Safe = 1 / 0\n  Safe = \"recovered \" & Err.Number\nEnd Function\n"
     "Echo Safe()",
     "recovered 11"},
    {"HandlerIsPerProcedure",
     "Sub Fails : x = 1 / 0 : Echo \"not reached\" : End Sub\n"
     "Sub Guarded\n  On Error Resume Next\n  Fails\n  Echo \"guarded\", Err.Number\nEnd Sub\nGuarded\nFails",
     "guarded 11\nerror 11"},
    {"GoToZeroClearsAndRearms",
     "On Error Resume Next\nx = 1 / 0\nOn Error GoTo 0\nEcho Err.Number\ny = CInt(\"x\")\nEcho \"unreached\"",
     "0\nerror 13"},
    {"RaiseCustomAndStandard",
     "On Error Resume Next\nErr.Raise vbObjectError + 1, \"MyLib\", \"Custom failure\"\n"
     "Echo Err.Number - vbObjectError, Err.Source, Err.Description\nErr.Raise 9\nEcho Err.Number, Err.Description",
     "1 MyLib Custom failure\n9 Subscript out of range"},
    {"UnhandledRaise", "Err.Raise 1234", "error 1234"},
    {"LoopContinuesAfterErrors",
     "On Error Resume Next\nFor i = 1 To 3\n  x = 6 / (i - 2)\n  Echo i, Err.Number\n  Err.Clear\nNext",
     "1 0\n2 11\n3 0"},
    {"ErrNumberDefaultMember", "On Error Resume Next\nx = CLng(\"zz\")\nEcho Err, Err = 13", "13 True"},
    {"AssignErrNumber", "Err.Number = 5 : Echo Err.Number : Err.Clear : Echo Err.Number", "5\n0"},
    {"ErrorInIfConditionEntersTheBlock",
     "On Error Resume Next\nIf 1 / 0 > 1 Then\n  Echo \"inside\", Err.Number\nElse\n  Echo \"else\"\nEnd If",
     "inside 11"},
    {"RecursionLimitIsTrappable",
     "Function Deep(n) : Deep = Deep(n + 1) : End Function\nOn Error Resume Next\nDeep 1\nEcho Err.Number", "28"},
    {"EndlessRecursion", "Sub Again : Again : End Sub\nAgain", "error 28"},
};
INSTANTIATE_TEST_SUITE_P(ResumeNext, ErrorHandlingTest, ::testing::ValuesIn(kResumeNext),
                         [](const auto& i) { return std::string(i.param.name); });

struct CompileCase {
  const char* name;
  const char* code;
  int number;
  int line;
  int column;
};

class CompileErrorTest : public ::testing::TestWithParam<CompileCase> {};

TEST_P(CompileErrorTest, ReportsNumberAndPosition) {
  const CompileCase& c = GetParam();
  Engine engine;
  try {
    engine.addCode(c.code);
    FAIL() << "compiled";
  } catch (const ScriptError& e) {
    EXPECT_TRUE(e.compileError);
    EXPECT_EQ(e.number, c.number);
    EXPECT_EQ(e.line, c.line);
    if (c.column) {
      EXPECT_EQ(e.column, c.column);
    }
  }
  EXPECT_EQ(engine.lastError().number, c.number);
  EXPECT_TRUE(engine.lastError().compileError);
}

const CompileCase kCompileErrors[] = {
    {"MissingEndIf", "If x Then\n  y = 1\n", 1014, 3, 0},
    {"MissingEndSub", "Sub A\n  x = 1\n", 1014, 3, 0},
    {"WrongEnd", "Sub A\nEnd Function", 1016, 2, 5},
    {"MissingParenthesis", "x = (1 + 2\n", 1006, 1, 11},
    {"ReDimNeedsParenthesis", "ReDim a", 1005, 1, 8},
    {"ExpectedExpression", "Dim a\na = 1 +* 2", 1023, 2, 8},
    {"BadDateLiteral", "x = #99/99/2020#", 1002, 1, 5},
    {"OnErrorGarbage", "On Error Foo", 1002, 1, 10},
    {"UnterminatedString", "Echo \"abc", 1033, 1, 6},
    {"TrailingTokens", "x = 1 2", 1025, 1, 7},
    {"LoopWithoutDo", "x = 1\nLoop", 1038, 2, 1},
    {"ExitOutsideLoop", "Exit For", 1039, 1, 6},
    {"InvalidCharacter", "x = 1 @ 2", 1032, 1, 7},
    {"DefaultMustBePublic", "Class C\n  Private Default Function F() : End Function\nEnd Class", 1057, 2, 0},
    {"MissingThen", "If x\n", 1017, 1, 5},
    {"NameRedefined", "Sub S(a)\n  Dim a\nEnd Sub", 1041, 2, 7},
    {"OptionExplicitNotFirst", "x = 1\nOption Explicit", 1042, 2, 1},
    {"NextWithoutFor", "Next", 1055, 1, 1},
};
INSTANTIATE_TEST_SUITE_P(Compile, CompileErrorTest, ::testing::ValuesIn(kCompileErrors),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(ErrorPositionTest, CompileErrorKeepsSourceLine) {
  Engine engine;
  EXPECT_THROW(engine.addCode(u"x = 1\n  y = (2 +\nz = 3"), ScriptError);
  const ErrorInfo& e = engine.lastError();
  EXPECT_EQ(e.line, 2);
  EXPECT_EQ(utf8(e.sourceText), "  y = (2 +");
  EXPECT_EQ(utf8(e.description), "Expected expression");
}

TEST(ErrorPositionTest, RuntimeErrorPointsAtInnermostStatement) {
  Engine engine;
  EXPECT_THROW(engine.addCode(u"Function Half(n)\n    Half = n / zero\nEnd Function\nx = 1\ny = Half(4)"), ScriptError);
  const ErrorInfo& e = engine.lastError();
  EXPECT_EQ(e.number, err::DivisionByZero);
  EXPECT_FALSE(e.compileError);
  EXPECT_EQ(e.line, 2);
  EXPECT_EQ(e.column, 5);
  EXPECT_EQ(utf8(e.sourceText), "    Half = n / zero");
  EXPECT_EQ(utf8(e.source), "Microsoft VBScript runtime error");
}

TEST(ErrorPositionTest, EngineStaysUsableAfterErrors) {
  Engine engine;
  engine.addCode(u"Dim total : total = 1\nSub Broken : x = 1 / 0 : End Sub");
  EXPECT_THROW(engine.run(u"Broken"), ScriptError);
  EXPECT_THROW(engine.addCode(u"If"), ScriptError);
  engine.addCode(u"total = total + 1");
  EXPECT_EQ(engine.eval(u"total").toLong(), 2);
  EXPECT_EQ(engine.lastError().number, err::ExpectedExpression);
}

}  // namespace
}  // namespace vbs::test
