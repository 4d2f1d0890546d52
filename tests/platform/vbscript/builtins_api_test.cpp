// The registration interface the built-in library is written against.
#include "script_test_support.h"

namespace vbs::test {
namespace {

class Gadget : public Object {
 public:
  std::u16string typeName() const override { return u"Gadget"; }
  Value callMethod(std::u16string_view n, Args a) override {
    if (equalsNoCase(n, u"Ping")) return Value(u"pong" + (a.isMissing(0) ? std::u16string() : a[0].toString()));
    return Object::callMethod(n, a);
  }
};

Registry makeRegistry() {
  Registry r;
  r.addFunction(u"Twice", 1, 1,
                [](Context& cx, Args a) -> Value { return Value(cx.defaultValue(a[0]).toDouble() * 2); });
  // Writes through its by-reference slots (bits 0 and 1).
  r.addFunction(
      u"SwapArgs", 2, 2,
      [](Context&, Args a) -> Value {
        std::swap(a.ref(0), a.ref(1));
        return Value();
      },
      0b11);
  r.addFunction(u"CountArgs", 0, -1, [](Context&, Args a) -> Value {
    int32_t missing = 0;
    for (size_t i = 0; i < a.size(); ++i) missing += a.isMissing(i);
    return Value(static_cast<int32_t>(a.size() * 100 + missing));
  });
  r.addFunction(u"Fail", 0, 0, [](Context&, Args) -> Value { raise(err::InvalidProcedureCall); });
  r.addFunction(u"Counter", 0, 0, [](Context& cx, Args) -> Value {
    static const int key = 0;
    return Value(++cx.moduleState<int32_t>(&key));
  });
  r.addFunction(u"Make", 1, 1, [](Context& cx, Args a) -> Value {
    Ref<Object> o = cx.createObject(a[0].toString());
    return Value(o.get());
  });
  r.addConstant(u"vbAnswer", Value(int16_t(42)));
  r.addProgId(u"Test.Gadget", [](Context&) -> Ref<Object> { return makeRef<Gadget>(); });
  r.addClass(u"Gadget", [](Context&) -> Ref<Object> { return makeRef<Gadget>(); });
  return r;
}

std::string evalWith(Engine& e, const char16_t* expr) {
  try {
    return e.eval(expr).toUtf8();
  } catch (const ScriptError& err) {
    return "error " + std::to_string(err.number);
  }
}

TEST(BuiltinsApiTest, CustomRegistryFunctionsConstantsAndObjects) {
  static const Registry registry = makeRegistry();
  Engine engine(nullptr, &registry);
  struct Case {
    const char16_t* expr;
    const char* expected;
  };
  const Case cases[] = {
      {u"Twice(21)", "42"},
      {u"twice(\"1.5\")", "3"},
      {u"vbAnswer + 1", "43"},
      {u"CountArgs()", "0"},
      {u"CountArgs(1, , 3)", "301"},
      {u"CountArgs(,)", "202"},
      {u"Twice()", "error 450"},
      {u"Twice(1, 2)", "error 450"},
      {u"Fail()", "error 5"},
      {u"Make(\"Test.Gadget\").Ping(1)", "pong1"},
      {u"TypeName(New Gadget)", "error 13"},  // TypeName is not in this registry
      {u"(New Gadget).Ping()", "pong"},
      {u"Make(\"Nope\")", "error 429"},
      {u"Counter() + Counter()", "3"},
  };
  for (const auto& c : cases) EXPECT_EQ(evalWith(engine, c.expr), c.expected) << utf8(c.expr);
}

TEST(BuiltinsApiTest, ByRefMaskLetsBuiltinsWriteToVariables) {
  static const Registry registry = makeRegistry();
  Engine engine(nullptr, &registry);
  engine.addCode(u"a = 1 : b = 2 : SwapArgs a, b\nDim arr(1) : arr(0) = \"x\" : SwapArgs arr(0), arr(1)");
  EXPECT_EQ(engine.eval(u"a").toLong(), 2);
  EXPECT_EQ(engine.eval(u"b").toLong(), 1);
  EXPECT_EQ(engine.eval(u"arr(1)").toUtf8(), "x");
  EXPECT_TRUE(engine.eval(u"arr(0)").isEmpty());
  // Literals are passed as temporaries: nothing to write back, no error.
  engine.addCode(u"SwapArgs 1, 2");
}

TEST(BuiltinsApiTest, StandardRegistryHasTheCoreNames) {
  const Registry& r = Registry::standard();
  for (auto name :
       {u"CStr", u"Len", u"Chr", u"MsgBox", u"InputBox", u"CreateObject", u"TypeName", u"UBound", u"Rnd", u"Randomize"})
    EXPECT_NE(r.findFunction(name), nullptr) << utf8(name);
  EXPECT_NE(r.findFunction(u"len"), nullptr);
  ASSERT_NE(r.findConstant(u"VBCRLF"), nullptr);
  EXPECT_EQ(r.findConstant(u"vbCrLf")->toUtf8(), "\r\n");
  EXPECT_NE(r.findIntrinsicObject(u"err"), nullptr);
  EXPECT_EQ(r.findFunction(u"NoSuchFunction"), nullptr);
}

TEST(BuiltinsApiTest, ContextDefaultValueAndObjectsInArguments) {
  ScriptRunner r;
  EXPECT_EQ(r.run("Class V : Public Default Property Get Value : Value = \"abc\" : End Property : End Class\n"
                  "Set obj = New V : Echo Len(obj), CStr(obj), TypeName(obj), VarType(obj), IsObject(obj)"),
            "3 abc V 8 True");
  EXPECT_EQ(r.run("Class P : Public A : End Class\nSet obj = New P : Echo VarType(obj), VarType(Nothing)"), "9 9");
}

const ScriptCase kErrObject[] = {
    {"MembersAfterTrap",
     "On Error Resume Next\nErr.Raise 6\nEcho Err.Number, Err.Description, Err.Source, Err.HelpContext, \"[\" & "
     "Err.HelpFile & \"]\"",
     "6 Overflow Microsoft VBScript runtime error 0 []"},
    {"UnknownNumberDescription", "On Error Resume Next\nErr.Raise 31999\nEcho Err.Description",
     "Unknown runtime error"},
    {"RaiseNeedsNumber", "Err.Raise", "error 450"},
    {"WritableMembers", "Err.Description = \"d\" : Err.Source = \"s\" : Echo Err.Description & Err.Source", "ds"},
    {"TypeName", "Echo TypeName(Err), IsObject(Err)", "ErrObject True"},
};

class ErrObjectTest : public ::testing::TestWithParam<ScriptCase> {};
TEST_P(ErrObjectTest, Runs) { EXPECT_EQ(runScript(GetParam().code), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Err, ErrObjectTest, ::testing::ValuesIn(kErrObject),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace vbs::test
