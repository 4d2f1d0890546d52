// The host side: named objects, default members, ByRef arguments, global
// members, the engine API, time-out and recursion limits.
#include <chrono>
#include <map>

#include "script_test_support.h"

namespace vbs::test {
namespace {

// A game-like object: default property Value, methods with out-parameters
// and optional arguments, and an indexed collection of hotspots.
class Hotspot : public Object {
 public:
  explicit Hotspot(std::u16string name) : name_(std::move(name)) {}
  std::u16string typeName() const override { return u"Hotspot"; }
  Value getProperty(std::u16string_view n, Args a) override {
    if (n.empty() || equalsNoCase(n, u"Name")) return Value(name_);
    if (equalsNoCase(n, u"Visible")) return Value(visible_);
    return Object::getProperty(n, a);
  }
  void letProperty(std::u16string_view n, Args, const Value& v) override {
    if (equalsNoCase(n, u"Visible"))
      visible_ = v.toBool();
    else if (n.empty() || equalsNoCase(n, u"Name"))
      name_ = v.toString();
    else
      raise(err::NoSuchMember);
  }

 private:
  std::u16string name_;
  bool visible_ = true;
};

class Game : public Object {
 public:
  Game() {
    for (auto n : {u"door", u"lamp", u"desk"}) spots_.push_back(Value(new Hotspot(n)));
  }
  std::u16string typeName() const override { return u"Game"; }
  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"Value", u"GoToFrame", u"Frame", u"Score", u"Hotspot", u"Fill", u"Describe", u"Count"})
      if (equalsNoCase(n, m)) return true;
    return false;
  }
  Value getProperty(std::u16string_view n, Args a) override {
    if (n.empty() || equalsNoCase(n, u"Value")) return value;
    if (equalsNoCase(n, u"Frame")) return Value(frame);
    if (equalsNoCase(n, u"Score")) return Value(score);
    if (equalsNoCase(n, u"Count")) return Value(static_cast<int32_t>(spots_.size()));
    if (equalsNoCase(n, u"Hotspot")) {
      a.expect(1, 1);
      int32_t i = a[0].toLong();
      if (i < 1 || i > static_cast<int32_t>(spots_.size())) raise(err::SubscriptOutOfRange);
      return spots_[i - 1];
    }
    return Object::getProperty(n, a);
  }
  Value callMethod(std::u16string_view n, Args a) override {
    if (equalsNoCase(n, u"GoToFrame")) {
      a.expect(1, 2);
      frame = a[0].toString();
      if (!a.isMissing(1)) frame += u"@" + a[1].toString();
      return Value();
    }
    if (equalsNoCase(n, u"Fill")) {  // Fill(out text, out count)
      a.expect(2, 2);
      a.ref(0) = Value(u"filled");
      a.ref(1) = Value(int32_t(3));
      return Value(true);
    }
    if (equalsNoCase(n, u"Describe")) {  // Describe(a, [b], [c])
      a.expect(1, 3);
      std::u16string s;
      for (size_t i = 0; i < 3; ++i) s += a.isMissing(i) ? u"-" : a[i].toString();
      return Value(s);
    }
    if (n.empty() || equalsNoCase(n, u"Value") || equalsNoCase(n, u"Frame") || equalsNoCase(n, u"Score") ||
        equalsNoCase(n, u"Count") || equalsNoCase(n, u"Hotspot"))
      return getProperty(n, a);
    return Object::callMethod(n, a);
  }
  void letProperty(std::u16string_view n, Args a, const Value& v) override {
    if (n.empty() || equalsNoCase(n, u"Value"))
      value = v;
    else if (equalsNoCase(n, u"Score"))
      score = v.toLong();
    else if (equalsNoCase(n, u"Frame"))
      frame = v.toString();
    else
      Object::letProperty(n, a, v);
  }
  std::vector<Value> enumerate() override { return spots_; }

  Value value;
  std::u16string frame;
  int32_t score = 0;

 private:
  std::vector<Value> spots_;
};

class HostTest : public ::testing::Test {
 protected:
  HostTest() {
    game = makeRef<Game>();
    runner.engine.addObject(u"Action", game, true);
    runner.engine.addObject(u"X", game);
  }
  std::string run(const std::string& code) { return runner.run(code); }
  ScriptRunner runner;
  Ref<Game> game;
};

TEST_F(HostTest, DefaultMemberOfNamedObjectIsAssignedAndRead) {
  EXPECT_EQ(run("X = 5\nEcho X, X + 1, X.Value"), "5 6 5");
  EXPECT_EQ(game->value.toLong(), 5);
}

TEST_F(HostTest, IndexedDefaultMemberReachesElements) {
  EXPECT_EQ(run("Echo Action.Hotspot(2), Hotspot(3).Name, Hotspot(1).Visible\n"
                "Hotspot(1).Visible = False : Echo Hotspot(1).Visible"),
            "lamp desk True\nFalse");
  EXPECT_EQ(run("Echo Hotspot(9)"), "error 9");
}

TEST_F(HostTest, ForEachOverHostCollection) {
  EXPECT_EQ(run("For Each h In Action : s = s & h.Name & \";\" : Next : Echo s, TypeName(h)"),
            "door;lamp;desk; Hotspot");
}

TEST_F(HostTest, GlobalMembersOfNamedObject) {
  EXPECT_EQ(run("GoToFrame \"Hall\"\nEcho Frame\nAction.GoToFrame \"Attic\", 2\nEcho Action.Frame"), "Hall\nAttic@2");
  EXPECT_EQ(run("Score = Score + 10 : Score = Score * 2 : Echo Score"), "20");
  EXPECT_EQ(game->score, 20);
}

TEST_F(HostTest, ScriptVariablesShadowMembersOnlyWhenDeclared) {
  EXPECT_EQ(run("Dim Frame : Frame = \"mine\" : GoToFrame \"Cellar\" : Echo Frame, Action.Frame"), "mine Cellar");
}

TEST_F(HostTest, ByRefArgumentsReachScriptVariables) {
  EXPECT_EQ(run("Dim t, n : ok = Action.Fill(t, n) : Echo ok, t, n"), "True filled 3");
  EXPECT_EQ(run("Dim arr(1) : Fill arr(0), arr(1) : Echo arr(0), arr(1)"), "filled 3");
  EXPECT_EQ(run("Sub Go()\n  Dim a, b\n  Fill a, b\n  Echo a & b\nEnd Sub\nGo"), "filled3");
  // Parenthesised arguments are passed by value.
  EXPECT_EQ(run("t = \"keep\" : Fill (t), n : Echo t"), "keep");
}

TEST_F(HostTest, OptionalArgumentsArriveAsMissing) {
  EXPECT_EQ(run("Echo Describe(1), Describe(1, , 3), Describe(1, 2)"), "1-- 1-3 12-");
  EXPECT_EQ(run("Echo Describe()"), "error 450");
}

TEST_F(HostTest, UnknownMemberRaises438) {
  EXPECT_EQ(run("Action.Explode"), "error 438");
  EXPECT_EQ(run("Echo Action.Nothing2"), "error 438");
}

class Throwing : public Object {
 public:
  Value callMethod(std::u16string_view, Args) override { throw std::out_of_range("host bug"); }
};

TEST(HostFailureTest, CppExceptionsFromHostObjectsBecomeScriptErrors) {
  ScriptRunner r;
  r.engine.addObject(u"Bad", makeRef<Throwing>());
  EXPECT_EQ(r.run("On Error Resume Next\nBad.Go\nEcho Err.Number, Err.Description"), "51 Internal error: host bug");
  EXPECT_EQ(r.run("Bad.Go"), "error 51");
}

TEST_F(HostTest, ScriptObjectsAreUsableFromTheHost) {
  run("Class Door\n  Public Opened\n  Public Function Open(who) : Opened = who : Open = \"opened by \" & who : End "
      "Function\n"
      "End Class\nSet gDoor = New Door");
  Value door = runner.engine.global(u"gDoor");
  ASSERT_TRUE(door.isObject());
  ArgList args{Value(u"Ann")};
  EXPECT_EQ(door.asObject()->callMethod(u"OPEN", args).toUtf8(), "opened by Ann");
  EXPECT_EQ(door.asObject()->getProperty(u"opened", Args()).toUtf8(), "Ann");
  EXPECT_THROW(door.asObject()->getProperty(u"Missing", Args()), ScriptError);
}

TEST(ScriptObjectCallTest, HostCallsAreBoundByTheTimeout) {
  Engine engine;
  engine.setTimeout(30);
  engine.addCode(u"Class Spinner : Public Sub Spin : Do : Loop : End Sub : End Class\nSet gSpin = New Spinner");
  Value spinner = engine.global(u"gSpin");
  try {
    spinner.asObject()->callMethod(u"Spin", Args());
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, err::Timeout);
  }
}

TEST_F(HostTest, GetRefGivesCallableHandlers) {
  run("Function OnClick(x) : OnClick = \"clicked \" & x : End Function\nSet gHandler = GetRef(\"OnClick\")");
  Value h = runner.engine.global(u"gHandler");
  ASSERT_TRUE(h.isObject());
  ArgList args{Value(int16_t(7))};
  EXPECT_EQ(h.asObject()->callMethod(u"", args).toUtf8(), "clicked 7");
}

TEST(EngineTest, RunPassesArgumentsAndReturnsResults) {
  Engine engine;
  engine.addCode(u"Function Add(a, b) : Add = a + b : End Function\nSub Swap(a, b) : t = a : a = b : b = t : End Sub");
  EXPECT_EQ(engine.run(u"add", {Value(int16_t(2)), Value(int16_t(3))}).toLong(), 5);
  Value a(u"x"), b(u"y");
  Value* slots[] = {&a, &b};
  engine.runWithArgs(u"Swap", Args(slots, 2));
  EXPECT_EQ(a.toUtf8(), "y");
  EXPECT_EQ(b.toUtf8(), "x");
  try {
    engine.run(u"Missing");
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, err::SubNotDefined);
  }
  EXPECT_THROW(engine.run(u"Add", {Value(int16_t(1))}), ScriptError);
  EXPECT_EQ(engine.lastError().number, err::WrongArgCount);
}

TEST(EngineTest, ProceduresAreListedInDefinitionOrder) {
  Engine engine;
  engine.addCode(
      u"x = Later()\nFunction Later() : Later = 1 : End Function\nSub First(a, b) : End Sub\n"
      u"Class C : Sub Hidden : End Sub : End Class");
  engine.addCode(u"Sub Third : End Sub");
  auto procs = engine.procedures();
  ASSERT_EQ(procs.size(), 3u);
  EXPECT_EQ(procs[0].name, u"Later");
  EXPECT_TRUE(procs[0].isFunction);
  EXPECT_EQ(procs[1].name, u"First");
  EXPECT_FALSE(procs[1].isFunction);
  EXPECT_EQ(procs[1].paramCount, 2);
  EXPECT_EQ(procs[2].name, u"Third");
}

TEST(EngineTest, EvalAndExecuteStatementWorkAtGlobalLevel) {
  Engine engine;
  engine.executeStatement(u"Dim counter : counter = 41");
  engine.executeStatement(u"counter = counter + 1");
  EXPECT_EQ(engine.eval(u"counter").toLong(), 42);
  EXPECT_EQ(engine.eval(u"counter * 2 = 84").asBool(), true);
  EXPECT_EQ(engine.eval(u"\"a\" & 1").toUtf8(), "a1");
}

TEST(EngineTest, ResetDropsCodeAndNamedObjects) {
  Engine engine;
  auto game = makeRef<Game>();
  engine.addObject(u"Action", game, true);
  engine.addCode(u"Dim v : v = 1\nSub S : End Sub");
  engine.reset();
  EXPECT_TRUE(engine.procedures().empty());
  EXPECT_TRUE(engine.eval(u"IsEmpty(v)").asBool());
  EXPECT_THROW(engine.addCode(u"Option Explicit\nGoToFrame \"x\""), ScriptError);
  EXPECT_EQ(engine.lastError().number, err::VariableUndefined);
  EXPECT_EQ(game->refCount(), 1);
}

TEST(EngineTest, TimeoutStopsEndlessLoopsEvenUnderResumeNext) {
  Engine engine;
  engine.setTimeout(50);
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(engine.addCode(u"On Error Resume Next\nDo\n  x = x + 1\nLoop"), ScriptError);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(engine.lastError().number, err::Timeout);
  EXPECT_LT(ms, 2000);
  // A fresh call gets a fresh budget.
  engine.addCode(u"y = 1");
  EXPECT_EQ(engine.eval(u"y").toLong(), 1);
  engine.setTimeout(0);
  engine.addCode(u"For i = 1 To 100000 : Next");
}

TEST(EngineTest, TimeoutCoversRecursionAndRun) {
  Engine engine;
  engine.setTimeout(30);
  engine.addCode(u"Sub Spin\n  While True : Wend\nEnd Sub");
  EXPECT_THROW(engine.run(u"Spin"), ScriptError);
  EXPECT_EQ(engine.lastError().number, err::Timeout);
}

TEST(EngineTest, RecursionLimitRaisesOutOfStackSpace) {
  struct Case {
    const char16_t* code;
    int depthLimit;
  };
  const Case cases[] = {
      {u"Function R(n) : R = R(n + 1) : End Function\nR 1", 0},
      {u"Class Loopy\n  Public Property Get Me2 : Set Me2 = Me.Me2 : End Property\nEnd Class\nSet o = New Loopy : x = "
       u"o.Me2",
       0},
      {u"Sub A(n) : B n : End Sub\nSub B(n) : A n : End Sub\nA 1", 50},
      {u"Sub E : Execute \"E\" : End Sub\nE", 0},
      {u"s = \"Execute s\" : Execute s", 0},
      {u"s = \"Eval(s)\" : x = Eval(s)", 0},
      {u"s = \"ExecuteGlobal s\" : ExecuteGlobal s", 0},
  };
  for (const auto& c : cases) {
    Engine engine;
    if (c.depthLimit) engine.setMaxCallDepth(c.depthLimit);
    EXPECT_THROW(engine.addCode(c.code), ScriptError) << utf8(c.code);
    EXPECT_EQ(engine.lastError().number, err::OutOfStackSpace) << utf8(c.code);
    engine.addCode(u"ok = 1");
  }
}

TEST(EngineTest, DeeplyNestedSourceIsRejectedNotCrashing) {
  Engine engine;
  std::u16string code = u"x = " + std::u16string(5000, u'(') + u"1" + std::u16string(5000, u')');
  EXPECT_THROW(engine.addCode(code), ScriptError);
  EXPECT_EQ(engine.lastError().number, err::OutOfStackSpace);
}

TEST(EngineTest, NestedArraysNeitherOverflowTheStackNorCopyWithoutLimit) {
  EXPECT_EQ(runScript("For i = 1 To 100000 : a = Array(a) : Next\nEcho UBound(a)\na = Empty : Echo \"released\""),
            "0\nreleased");
  EXPECT_EQ(runScript("For i = 1 To 5000 : a = Array(a) : Next\nb = a"), "error 28");
  EXPECT_EQ(runScript("For i = 1 To 50 : a = Array(a, i) : Next\nb = a : b(1) = 0 : Echo a(1), b(1), a(0)(1)"),
            "50 0 49");
}

// A collection reached through its default member: Spots(2).Name.
class Spots : public Object {
 public:
  Value getProperty(std::u16string_view n, Args a) override {
    if (n.empty() || equalsNoCase(n, u"Item")) {
      a.expect(1, 1);
      return items_.at(static_cast<size_t>(a[0].toLong()) % items_.size());
    }
    return Object::getProperty(n, a);
  }
  void letProperty(std::u16string_view n, Args a, const Value& v) override {
    if (!n.empty() || a.size() != 1) raise(err::WrongArgCount);
    items_.at(static_cast<size_t>(a[0].toLong()) % items_.size()) = Value(new Hotspot(v.toString()));
  }
  std::vector<Value> items_{Value(new Hotspot(u"a")), Value(new Hotspot(u"b")), Value(new Hotspot(u"c"))};
};

TEST(EngineTest, NamedCollectionDefaultMemberWithArguments) {
  ScriptRunner r;
  r.engine.addObject(u"Spots", makeRef<Spots>());
  EXPECT_EQ(r.run("Echo Spots(2).Name, Spots.Item(0), Spots(1)\nSpots(1) = \"new\" : Echo Spots(1).Name\n"
                  "Set s = Spots : Echo s(2)"),
            "c a b\nnew\nc");
}

// A host object whose method resets the engine that is running it.
class Resetter : public Object {
 public:
  explicit Resetter(Engine& e) : engine_(e) {}
  Value callMethod(std::u16string_view n, Args) override {
    if (!equalsNoCase(n, u"Restart")) raise(err::NoSuchMember);
    engine_.reset();
    return Value();
  }

 private:
  Engine& engine_;
};

TEST(EngineTest, ResetFromInsideAScriptWaitsForTheScriptToReturn) {
  ScriptRunner r;
  r.engine.addObject(u"Game", makeRef<Resetter>(r.engine));
  EXPECT_EQ(r.run("Sub Go\n  Game.Restart\n  Echo \"still running\"\nEnd Sub\nDim v : v = 1\nGo\nEcho v"),
            "still running\n1");
  EXPECT_TRUE(r.engine.procedures().empty());
  EXPECT_TRUE(r.engine.global(u"v").isEmpty());
}

class RecordingHost : public Host {
 public:
  int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title) override {
    log += "msg:" + utf8(prompt) + "|" + std::to_string(buttons) + "|" + utf8(title) + ";";
    return 7;
  }
  std::optional<std::u16string> inputBox(const std::u16string& prompt, const std::u16string&,
                                         const std::u16string& d) override {
    log += "input:" + utf8(prompt) + "|" + utf8(d) + ";";
    if (prompt == u"cancel") return std::nullopt;
    return u"typed";
  }
  Ref<Object> createObject(const std::u16string& progId) override {
    if (progId == u"Game.Thing") return makeRef<Hotspot>(u"made");
    return nullptr;
  }
  std::string log;
};

TEST(HostCallbackTest, MsgBoxInputBoxAndCreateObjectGoThroughTheHost) {
  RecordingHost host;
  ScriptRunner r(&host);
  EXPECT_EQ(r.run("Echo MsgBox(\"Sure?\", vbYesNo, \"Q\")\nEcho InputBox(\"Name\", \"T\", \"Bob\") & \"/\" & "
                  "InputBox(\"cancel\")\nSet t = CreateObject(\"Game.Thing\") : Echo t.Name"),
            "7\ntyped/\nmade");
  EXPECT_EQ(host.log, "msg:Sure?|4|Q;input:Name|Bob;input:cancel|;");
  EXPECT_EQ(r.run("Set t = CreateObject(\"No.Such\")"), "error 429");
}

TEST(HostCallbackTest, DefaultHostReturnsDefaults) {
  EXPECT_EQ(runScript("Echo MsgBox(\"x\"), MsgBox(\"x\", vbYesNo + 256), InputBox(\"p\", \"t\", \"dflt\")"),
            "1 7 dflt");
}

}  // namespace
}  // namespace vbs::test
