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
    {"EmptySubscriptOfDimensionedArray",
     "Dim a(2)\nOn Error Resume Next\nx = a()\nEcho Err.Number\na() = 1\n"
     "Echo Err.Number",
     "9\n9"},
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
     "Early\nIf True Then\n  Sub Early() : Echo \"early\" : End Sub\n  Function Late() : Late = \"late\" : End "
     "Function\n"
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

const ScriptCase kReDim[] = {
    {"ReDimPreserveOfMemberGrowsTheMember",
     "Class List\n  Private items()\n  Private n\n  Private Sub Class_Initialize() : n = 0 : End Sub\n"
     "  Public Sub Add(v)\n    ReDim Preserve items(n)\n    items(n) = v\n    n = n + 1\n  End Sub\n"
     "  Public Property Get Count() : Count = UBound(items) + 1 : End Property\n"
     "  Public Property Get Last() : Last = items(n - 1) : End Property\n"
     "End Class\nSet l = New List : l.Add \"a\" : l.Add \"b\" : l.Add \"c\"\nEcho l.Count, l.Last",
     "3 c"},
    {"ReDimOfMemberDeclaredAfterTheMethod",
     "Class G\n  Public Sub Fill() : ReDim data(4) : End Sub\n  Public data\nEnd Class\n"
     "Set o = New G : o.Fill : Echo UBound(o.data)",
     "4"},
    {"ReDimOfUnknownNameInMethodStaysLocal",
     "Class H\n  Public Function Make() : ReDim tmp(2) : Make = UBound(tmp) : End Function\nEnd Class\n"
     "Set o = New H : Echo o.Make(), IsEmpty(tmp)",
     "2 True"},
};
INSTANTIATE_TEST_SUITE_P(ReDim, LanguageFormsTest, ::testing::ValuesIn(kReDim), caseName);

const ScriptCase kArgumentPassing[] = {
    {"ParenthesisedArgumentOfStatementCallIsByValue",
     "Sub Sub0(a) : a = 5 : End Sub\nx = 1 : Sub0 (x) : Echo x\nSub0 x : Echo x", "1\n5"},
    {"ParenthesisedArrayArgumentIsACopy",
     "Sub ModifyArr(a) : a(0) = 99 : End Sub\narr = Array(1, 2)\nModifyArr(arr) : Echo arr(0)\n"
     "Call ModifyArr((arr)) : Echo arr(0)\nModifyArr arr : Echo arr(0)",
     "1\n1\n99"},
    {"ParenthesisedArgumentOfMethodIsByValue",
     "Class C : Public Sub Bump(n) : n = n + 1 : End Sub : End Class\nSet o = New C\nk = 1\n"
     "o.Bump (k) : Echo k\no.Bump k : Echo k",
     "1\n2"},
};
INSTANTIATE_TEST_SUITE_P(ArgumentPassing, LanguageFormsTest, ::testing::ValuesIn(kArgumentPassing), caseName);

const ScriptCase kResumeNextHeaders[] = {
    {"DoWhileHeaderErrorEntersBody",
     "On Error Resume Next\nDo While 1 / 0\n  Echo \"body\", Err.Number\n  Exit Do\nLoop\nEcho \"after\"",
     "body 11\nafter"},
    {"DoUntilHeaderErrorEntersBody",
     "On Error Resume Next\nDo Until CInt(\"x\")\n  Echo \"body\", Err.Number\n  Exit Do\nLoop", "body 13"},
    {"LoopWhileErrorLeavesTheLoop", "On Error Resume Next\nDo\n  n = n + 1\nLoop While 1 / 0\nEcho n, Err.Number",
     "1 11"},
    {"WhileHeaderErrorEntersBody",
     "On Error Resume Next\nd = 0\nWhile 1 / d - 1\n  Echo \"body\", Err.Number\n  d = 1\nWend\nEcho \"after\"",
     "body 11\nafter"},
    {"ForHeaderErrorRunsBodyOnce",
     "On Error Resume Next\nFor i = 1 To \"x\"\n  c = c + 1\n  Echo \"body\", Err.Number\nNext\nEcho c", "body 13\n1"},
    {"ForEachHeaderErrorRunsBodyOnce", "On Error Resume Next\nFor Each v In 5\n  Echo \"body\", Err.Number\nNext",
     "body 451"},
    {"SelectHeaderErrorEntersFirstCase",
     "On Error Resume Next\nSelect Case 1 / 0\nCase 7\n  Echo \"first\", Err.Number\nCase Else\n  Echo \"else\"\nEnd "
     "Select",
     "first 11"},
    {"WithHeaderErrorEntersBody",
     "On Error Resume Next\nWith CreateObject(\"No.Such\")\n  Echo \"body\", Err.Number\n  Err.Clear\n  x = .Name\n"
     "  Echo Err.Number\nEnd With",
     "body 429\n424"},
    {"HeaderErrorWithoutResumeNextStops", "For Each v In 5\n  Echo \"body\"\nNext", "error 451"},
};
INSTANTIATE_TEST_SUITE_P(ResumeNextHeaders, LanguageFormsTest, ::testing::ValuesIn(kResumeNextHeaders), caseName);

const ScriptCase kErrorNumbers[] = {
    {"MemberOfNothingIsObjectRequired",
     "On Error Resume Next\nSet o = Nothing\nx = o.Foo : Echo Err.Number, Err.Description : Err.Clear\n"
     "o.Foo = 1 : Echo Err.Number",
     "424 Object required\n424"},
    {"WithNothingIsLegalUntilAMemberIsUsed", "With Nothing\n  Echo \"inside\"\n  x = .Foo\nEnd With",
     "inside\nerror 424"},
    {"UnqualifiedReferenceOutsideWith", "x = .Foo", "error 505"},
    {"ConversionFunctionsAsStatements",
     "On Error Resume Next\nCall CInt(\"3\") : Echo Err.Number : Err.Clear\nCStr 3 : Echo Err.Number : Err.Clear\n"
     "Call CBool(1) : Echo Err.Number : Err.Clear\nCall Len(\"a\") : Echo Err.Number",
     "458\n458\n458\n0"},
    {"RaiseAbove65535IsInvalidCall",
     "On Error Resume Next\nErr.Raise 70000 : Echo Err.Number : Err.Clear\nErr.Raise 65535 : Echo Err.Number",
     "5\n65535"},
    {"RaiseWithoutTextsUsesDefaults",
     "On Error Resume Next\nErr.Raise 1000, \"mine\", \"custom\", \"help.chm\"\n"
     "Err.Raise 11\nEcho Err.Source, Err.Description, \"[\" & Err.HelpFile & \"]\"",
     "Microsoft VBScript runtime error Division by zero []"},
    {"VariableUndefinedDescriptionHasNoName",
     "Option Explicit\nOn Error Resume Next\nx = y\nEcho Err.Number, Err.Description", "500 Variable is undefined"},
};
INSTANTIATE_TEST_SUITE_P(ErrorNumbers, LanguageFormsTest, ::testing::ValuesIn(kErrorNumbers), caseName);

const ScriptCase kNull[] = {
    {"FormatFunctionsRejectNull",
     "On Error Resume Next\nFor Each f In Array(\"FormatNumber\", \"FormatCurrency\", \"FormatPercent\", "
     "\"FormatDateTime\")\n  Err.Clear : x = Eval(f & \"(Null)\") : Echo f, Err.Number\nNext",
     "FormatNumber 13\nFormatCurrency 13\nFormatPercent 13\nFormatDateTime 13"},
    {"InStrRevWithNull",
     "On Error Resume Next\nx = InStrRev(Null, \"a\") : Echo Err.Number : Err.Clear\n"
     "x = InStrRev(\"a\", Null) : Echo Err.Number : Err.Clear\nx = InStrRev(\"abc\", \"a\", Null) : Echo Err.Number\n"
     "Echo TypeName(InStr(Null, \"a\"))",
     "94\n94\n94\nNull"},
    {"BoundsOfNull",
     "On Error Resume Next\nx = LBound(Null) : Echo Err.Number : Err.Clear\nx = UBound(Null) : Echo Err.Number : "
     "Err.Clear\n"
     "x = UBound(Array(1), Null) : Echo Err.Number",
     "13\n13\n94"},
    {"MidSgnJoinMonthNameWithNull",
     "On Error Resume Next\nEcho TypeName(Mid(Null, 1))\nx = Mid(\"abc\", Null) : Echo Err.Number : Err.Clear\n"
     "x = Sgn(Null) : Echo Err.Number : Err.Clear\nx = Join(Null) : Echo Err.Number : Err.Clear\n"
     "x = Join(Array(1), Null) : Echo Err.Number : Err.Clear\nx = MonthName(Null) : Echo Err.Number",
     "Null\n94\n94\n13\n94\n94"},
};
INSTANTIATE_TEST_SUITE_P(Null, LanguageFormsTest, ::testing::ValuesIn(kNull), caseName);

const ScriptCase kConversions[] = {
    {"HashTrueStrings", "Echo CBool(\"#TRUE#\"), CBool(\"#false#\")\nIf \"#TRUE#\" Then Echo \"taken\"",
     "True False\ntaken"},
    {"RoundKeepsBoolean", "Echo TypeName(Round(True)), Round(True), TypeName(Round(2.5))", "Boolean True Double"},
    {"CByteOfTrue", "Echo CByte(True), CByte(False), TypeName(CByte(True))", "255 0 Byte"},
    {"SingleComparesAsSingle", "Echo CSng(0.1) = 0.1, CSng(0.1) < 0.1, CDbl(0.1) = 0.1, CSng(1.5) = 1.5",
     "True False True True"},
    {"InStrRevOfEmptyString",
     "Echo InStrRev(\"\", \"\", 3), InStrRev(\"\", \"a\"), InStrRev(\"abc\", \"\", 2), "
     "InStrRev(\"abc\", \"\", 5)",
     "0 0 2 0"},
    {"RegExpReplaceWithBoolean",
     "Set re = New RegExp : re.Pattern = \"a\" : re.Global = True\nEcho re.Replace(\"banana\", True), "
     "re.Replace(\"xa\", False)",
     "b-1n-1n-1 x0"},
};
INSTANTIATE_TEST_SUITE_P(Conversions, LanguageFormsTest, ::testing::ValuesIn(kConversions), caseName);

const ScriptCase kLiteralsAndClasses[] = {
    {"HexLiteralSubtypes",
     "Echo TypeName(&h10&), &h10&, TypeName(&hFFFFFFFF&), &hFFFFFFFF&, TypeName(&h10), TypeName(&hFFFF), &hFFFF",
     "Long 16 Long -1 Integer Integer -1"},
    {"ConstantSubtypes",
     "Echo TypeName(vbMsgBoxHelpButton), TypeName(vbSystemModal), TypeName(vbMsgBoxRight), TypeName(vbOK), "
     "TypeName(vbRed)",
     "Long Integer Long Integer Long"},
    {"NewRegExpIsTheBuiltInEvenWithAScriptClass",
     "Class RegExp : Public Pattern : End Class\nSet re = New RegExp\nre.Pattern = \"b+\"\nEcho re.Test(\"abbc\")",
     "True"},
};
INSTANTIATE_TEST_SUITE_P(LiteralsAndClasses, LanguageFormsTest, ::testing::ValuesIn(kLiteralsAndClasses), caseName);

// A host that names its own global object for Me.
class WindowHost : public Host {
 public:
  class Window : public Object {
   public:
    std::u16string typeName() const override { return u"Window"; }
    Value getProperty(std::u16string_view n, Args a) override {
      if (equalsNoCase(n, u"Title")) return Value(u"Hall");
      return Object::getProperty(n, a);
    }
  };
  Ref<Object> globalObject() override { return makeRef<Window>(); }
};

TEST(GlobalMeTest, HostNamesTheGlobalObject) {
  WindowHost host;
  ScriptRunner r(&host);
  EXPECT_EQ(r.run("Sub Show() : Echo TypeName(Me), Me.Title : End Sub\nShow\nEcho Me Is Me"), "Window Hall\nTrue");
  EXPECT_EQ(r.run("Set Me = Nothing"), "error 501");
}

}  // namespace
}  // namespace vbs::test
