// The library seen from scripts: the behaviour that depends on the
// interpreter passing arguments, trapping errors and iterating objects.
#include <gtest/gtest.h>

#include "lib_test_support.h"
#include "platform/vbscript/engine.h"

namespace vbs::test {
namespace {

// Runs a script that sets `out`; returns it, or "#n" for an untrapped error.
std::string script(const char16_t* code) {
  Engine engine;
  try {
    engine.addCode(std::u16string(u"Dim out\n") + code);
  } catch (const ScriptError& e) {
    return "#" + std::to_string(e.number);
  }
  return engine.global(u"out").toUtf8();
}

TEST(ScriptLibraryTest, ProgramsGetTheExpectedOutput) {
  struct {
    const char16_t* code;
    const char* expected;
  } cases[] = {
      // Formatting of literals and expressions.
      {u"out = CStr(0.1 + 0.2) & \"|\" & 1E+20 & \"|\" & 1/3", "0.3|1E+20|0.333333333333333"},
      {u"out = #1/2/2003 4:05:06 PM# & \"|\" & #1/2/2003# & \"|\" & #4:05:06 PM#",
       "1/2/2003 4:05:06 PM|1/2/2003|4:05:06 PM"},
      {u"out = IsNull(Left(Null, 1)) & IsNull(Len(Null)) & IsNull(Mid(Null, 2)) & IsNull(UCase(Null))",
       "TrueTrueTrueTrue"},
      // Null and errors under On Error Resume Next.
      {u"On Error Resume Next\nx = CInt(\"abc\")\nout = Err.Number & \" \" & Err.Description", "13 Type mismatch"},
      {u"On Error Resume Next\nx = Mid(\"abc\", 0)\nout = Err.Number", "5"},
      {u"On Error Resume Next\nx = CStr(Null)\nout = Err.Number", "94"},
      {u"On Error Resume Next\nx = CInt(40000)\nout = Err.Number", "6"},
      {u"On Error Resume Next\nx = UBound(Array(), 2)\nout = Err.Number", "9"},
      {u"On Error Resume Next\nSet x = CreateObject(\"Nope.Nothing\")\nout = Err.Number & \" \" & Err.Description",
       "429 ActiveX component can't create object: 'Nope.Nothing'"},
      // Err object.
      {u"On Error Resume Next\nErr.Raise vbObjectError + 1, \"Game\", \"Broken\", \"help.chm\", 7\n"
       u"out = (Err.Number - vbObjectError) & Err.Source & Err.Description & Err.HelpFile & Err.HelpContext",
       "1GameBrokenhelp.chm7"},
      {u"On Error Resume Next\nErr.Raise 9\nout = Err.Description & \"|\" & Err.Source",
       "Subscript out of range|Microsoft VBScript runtime error"},
      {u"On Error Resume Next\nErr.Raise 6\nErr.Clear\nout = Err.Number & \"[\" & Err.Description & \"]\"", "0[]"},
      {u"Err.Raise 58", "#58"},
      // Collections in For Each.
      {u"Set d = CreateObject(\"Scripting.Dictionary\")\nd(\"b\") = 1 : d(\"a\") = 2 : d.Item(\"b\") = 3\n"
       u"For Each k In d : out = out & k & d(k) : Next",
       "b3a2"},
      {u"Set re = New RegExp : re.Pattern = \"(\\d)(\\w)\" : re.Global = True\n"
       u"For Each m In re.Execute(\"1a 2b\") : For Each s In m.SubMatches : out = out & s : Next : Next",
       "1a2b"},
      {u"Set re = New RegExp : re.Pattern = \"o\" : out = re.Replace(\"foo\", \"0\") & re.Test(\"bar\")", "f0oFalse"},
      // Arrays and strings.
      {u"a = Split(\"x,y,,z\", \",\") : out = UBound(a) & Join(a, \"-\")", "3x-y--z"},
      {u"a = Filter(Array(\"ab\", \"cd\", \"abc\"), \"ab\") : out = Join(a, \"+\")", "ab+abc"},
      {u"out = Replace(\"Hello World\", \"o\", \"0\", 1, -1, vbTextCompare) & InStrRev(\"abcabc\", \"c\")",
       "Hell0 W0rld6"},
      {u"out = TypeName(Rnd) & TypeName(Now) & VarType(Array()) & TypeName(New RegExp)", "SingleDate8204IRegExp2"},
      // Arrays handed to Array() and Dictionary are copies.
      {u"a = Array(1, 2) : b = Array(a) : a(0) = 9 : out = b(0)(0) & a(0)", "19"},
      {u"Set d = CreateObject(\"Scripting.Dictionary\") : a = Array(1) : d.Add \"k\", a : a(0) = 7\n"
       u"d(\"j\") = a : a(0) = 8 : out = d(\"k\")(0) & d(\"j\")(0)",
       "17"},
      // Random sequence after reseeding.
      {u"x = Rnd(-1) : Randomize 5 : out = Rnd & \" \" & Rnd", "0.8944274 0.6981077"},
  };
  for (const auto& c : cases) EXPECT_EQ(script(c.code), c.expected) << utf8(c.code);
}

}  // namespace
}  // namespace vbs::test

namespace vbs::test {
namespace {

class RecordingHost : public Host {
 public:
  int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title) override {
    log += "msg:" + utf8(prompt) + "/" + std::to_string(buttons) + "/" + utf8(title) + ";";
    return 6;
  }
  std::optional<std::u16string> inputBox(const std::u16string& prompt, const std::u16string& title,
                                         const std::u16string& dflt) override {
    log += "input:" + utf8(prompt) + "/" + utf8(title) + "/" + utf8(dflt) + ";";
    if (dflt == u"cancel") return std::nullopt;
    return u"typed";
  }
  Value loadPicture(const std::u16string& path) override {
    log += "picture:" + utf8(path) + ";";
    return Value(int32_t(42));
  }
  std::string log;
};

TEST(HostCallbackTest, DialogsAndPicturesGoToTheHost) {
  TestContext cx;
  auto owned = std::make_unique<RecordingHost>();
  RecordingHost* host = owned.get();
  cx.setHost(std::move(owned));
  EXPECT_EQ(repr(call(cx, u"MsgBox", {Value(u"Save?"), Value(4 + 32), Value(u"Game")})), "6");
  EXPECT_EQ(repr(call(cx, u"MsgBox", {Value(12)})), "6");
  EXPECT_EQ(repr(call(cx, u"InputBox", {Value(u"Name?"), Value(u"T"), Value(u"Bob")})), "typed");
  EXPECT_EQ(repr(call(cx, u"InputBox", {Value(u"Name?"), Value::missing(), Value(u"cancel")})), "");
  EXPECT_EQ(repr(call(cx, u"LoadPicture", {Value(u"C:\\Game\\a.bmp")})), "42");
  EXPECT_EQ(host->log, "msg:Save?/36/Game;msg:12/0/;input:Name?/T/Bob;input:Name?//cancel;picture:C:\\Game\\a.bmp;");
  EXPECT_EQ(eval(cx, u"LoadPicture", {Value::null()}), "#94");
}

}  // namespace
}  // namespace vbs::test
