// Script classes: members, properties, default members, lifetime.
#include "script_test_support.h"

namespace vbs::test {
namespace {

class ClassTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ClassTest, Runs) { EXPECT_EQ(runScript(GetParam().code), GetParam().expected); }

const ScriptCase kClasses[] = {
    {"PropertiesAndMethods",
     "Class Counter\n"
     "  Private mCount\n"
     "  Private Sub Class_Initialize : mCount = 10 : End Sub\n"
     "  Public Property Get Count : Count = mCount : End Property\n"
     "  Public Property Let Count(v)\n    If v < 0 Then v = 0\n    mCount = v\n  End Property\n"
     "  Public Sub Add(n) : mCount = mCount + n : End Sub\n"
     "  Public Function Twice() : Twice = mCount * 2 : End Function\n"
     "End Class\n"
     "Set c = New Counter\nEcho c.Count\nc.Count = 5 : c.Add 2 : Echo c.Count, c.Twice()\n"
     "c.Count = -3 : Echo c.Count, TypeName(c)",
     "10\n7 14\n0 Counter"},
    {"PropertySetAndChainedMembers",
     "Class Holder\n  Private mItem\n"
     "  Public Property Set Item(o) : Set mItem = o : End Property\n"
     "  Public Property Get Item : Set Item = mItem : End Property\nEnd Class\n"
     "Class Thing : Public Name : End Class\n"
     "Set h = New Holder : Set t = New Thing : t.Name = \"lamp\"\nSet h.Item = t\nEcho h.Item.Name, h.Item Is t",
     "lamp True"},
    {"PropertyWithArguments",
     "Class Grid\n  Private cells(9)\n"
     "  Public Property Get Cell(i) : Cell = cells(i) : End Property\n"
     "  Public Property Let Cell(i, v) : cells(i) = v * 10 : End Property\nEnd Class\n"
     "Set g = New Grid : g.Cell(3) = 4 : Echo g.Cell(3), IsEmpty(g.Cell(2))",
     "40 True"},
    {"DefaultFunction",
     "Class Greeter\n  Public Default Function Hello(name) : Hello = \"Hello \" & name : End Function\nEnd Class\n"
     "Set g = New Greeter\nEcho g(\"Bo\"), g.Hello(\"Al\")",
     "Hello Bo Hello Al"},
    {"DefaultPropertyGivesValue",
     "Class Box : Public Default Property Get Value : Value = 42 : End Property : End Class\n"
     "Set b = New Box : x = b : Echo x, b + 1, TypeName(x), b = 42",
     "42 43 Integer True"},
    {"NoDefaultMember", "Class Plain : Public A : End Class\nSet p = New Plain : x = p", "error 438"},
    {"PrivateMembersHidden", "Class K : Private Secret : End Class\nSet obj = New K : obj.Secret = 1", "error 438"},
    {"UnknownMethod", "Class K : Public A : End Class\nSet obj = New K : obj.Nope", "error 438"},
    {"MeAndChaining",
     "Class Node\n  Public Value, NextNode\n"
     "  Public Function Chain(v) : Set NextNode = New Node : NextNode.Value = v : Set Chain = Me : End Function\n"
     "End Class\nSet n = New Node : n.Value = 1\nEcho n.Chain(2).Value, n.NextNode.Value",
     "1 2"},
    {"ArrayField",
     "Class A : Public Items(3) : End Class\nSet obj = New A : obj.Items(2) = \"x\" : Echo UBound(obj.Items), "
     "obj.Items(2)",
     "3 x"},
    {"FieldsAccessibleInsideMethods",
     "Class P\n  Private mName\n  Public Sub SetName(n) : mName = n : End Sub\n"
     "  Public Function Describe() : Describe = \"I am \" & mName & \" (\" & Me.Shout() & \")\" : End Function\n"
     "  Public Function Shout() : Shout = UCaseLike(mName) : End Function\n"
     "  Private Function UCaseLike(s) : UCaseLike = s & \"!\" : End Function\nEnd Class\n"
     "Set obj = New P : obj.SetName \"Rex\" : Echo obj.Describe()",
     "I am Rex (Rex!)"},
    {"TerminateWhenLastReferenceGoes",
     "Class T\n  Public Name\n  Private Sub Class_Terminate : Echo \"bye \" & Name : End Sub\nEnd Class\n"
     "Sub Scope\n  Dim a : Set a = New T : a.Name = \"local\"\n  Echo \"in scope\"\nEnd Sub\n"
     "Scope\nSet x = New T : x.Name = \"x\"\nSet y = x\nSet x = Nothing\nEcho \"x released\"\nSet y = Nothing\nEcho "
     "\"end\"",
     "in scope\nbye local\nx released\nbye x\nend"},
    {"InitializeAndTerminateOrder",
     "Class Inner : Private Sub Class_Terminate : Echo \"inner gone\" : End Sub : End Class\n"
     "Class Outer\n  Public Child\n"
     "  Private Sub Class_Initialize : Echo \"outer init\" : Set Child = New Inner : End Sub\n"
     "  Private Sub Class_Terminate : Echo \"outer gone\" : End Sub\nEnd Class\n"
     "Set o = New Outer : Set o = Nothing : Echo \"done\"",
     "outer init\nouter gone\ninner gone\ndone"},
    {"TerminateOfTemporary",
     "Class T : Private Sub Class_Terminate : Echo \"gone\" : End Sub\n"
     "  Public Function Id() : Id = 7 : End Function : End Class\nx = (New T).Id() : Echo x\nEcho \"after\"",
     "gone\n7\nafter"},
    {"LongChainReleasesWithoutDeepRecursion",
     "Class L : Public N : End Class\nSet head = Nothing\n"
     "For i = 1 To 100000 : Set n = New L : Set n.N = head : Set head = n : Next\n"
     "Set n = Nothing : Set head = Nothing : Echo \"freed\"",
     "freed"},
    {"NothingHasNoMembers", "Dim o : Set o = Nothing : o.Foo", "error 424"},
    {"EmptyIsNotAnObject", "Dim v : v.Foo", "error 424"},
    {"SetNeedsAnObject", "Set x = 5", "error 424"},
    {"UnknownClass", "Set x = New Missing", "error 506"},
};
INSTANTIATE_TEST_SUITE_P(Classes, ClassTest, ::testing::ValuesIn(kClasses),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(ClassLifetimeTest, ResetTerminatesRemainingObjects) {
  ScriptRunner r;
  r.run("Class T : Private Sub Class_Terminate : Echo \"terminated\" : End Sub : End Class\nSet keep = New T");
  EXPECT_EQ(r.output(), "");
  r.engine.reset();
  EXPECT_EQ(r.output(), "terminated");
}

TEST(ClassLifetimeTest, DestroyingTheEngineTerminatesObjects) {
  std::vector<std::string> lines;
  {
    Engine engine;
    auto ws = makeRef<WScriptObject>([&](const std::u16string& l) { lines.push_back(utf8(l)); }, u"t",
                                     std::vector<std::u16string>{});
    engine.addObject(u"WScript", ws);
    engine.addCode(
        u"Class T : Private Sub Class_Terminate : WScript.Echo \"last words\" : End Sub : End Class\n"
        u"Set a = New T : Set b = New T");
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"last words", "last words"}));
}

TEST(ClassLifetimeTest, ObjectOutlivesResetWithoutCrashing) {
  ScriptRunner r;
  r.run(
      "Class T\n  Public V\n  Public Function Get2() : Get2 = V * 2 : End Function\nEnd Class\n"
      "Set keep = New T : keep.V = 21");
  Value obj = r.engine.global(u"keep");
  r.engine.reset();
  ASSERT_TRUE(obj.isObject());
  EXPECT_EQ(obj.asObject()->callMethod(u"Get2", Args()).toLong(), 42);
  EXPECT_EQ(obj.asObject()->typeName(), u"T");
}

}  // namespace
}  // namespace vbs::test
