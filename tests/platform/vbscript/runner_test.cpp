// The pieces of the command-line runner: file decoding and WScript.
#include "script_test_support.h"

namespace vbs::test {
namespace {

TEST(ScriptFileTest, DecodesUtf8Utf16AndWindows1252) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"x = 1", u"x = 1"},
      {"\xEF\xBB\xBFx = \"\xC3\xA9\"", u"x = \"\u00e9\""},
      {"x = \"\xC3\xA9\"", u"x = \"\u00c3\u00a9\""},    // UTF-8 without a mark is ANSI text
      {"caf\xE9 \x80\x93", u"caf\u00e9 \u20ac\u201c"},  // not valid UTF-8: Windows-1252
      {std::string("\xFF\xFEx\0=\0", 6), u"x="},
      {std::string("\xFE\xFF\0x\0\xE9", 6), u"x\u00e9"},
      {"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(decodeScriptFile(c.bytes), c.text) << c.bytes;
}

TEST(WScriptTest, EchoArgumentsNameAndQuit) {
  ScriptRunner r;
  EXPECT_EQ(r.run("WScript.Echo \"a\", 1, Null, True\nWScript.Echo\n"
                  "Echo WScript.Arguments.Count, WScript.Arguments(1), WScript.Arguments.Item(0), WScript.ScriptName"),
            "a 1 Null True\n\n2 two one test.vbs");
  EXPECT_EQ(r.run("Echo 1\nWScript.Quit 3\nEcho 2"), "1\nquit 3");
  // Quit is not an error: On Error Resume Next does not stop it.
  EXPECT_EQ(r.run("On Error Resume Next\nWScript.Quit\nEcho \"after\""), "quit 0");
  EXPECT_EQ(r.run("Echo WScript.Arguments(5)"), "error 9");
}

TEST(WScriptTest, StandardStreamsWithoutAConsoleGoThroughEcho) {
  ScriptRunner r;
  EXPECT_EQ(r.run("WScript.StdOut.Write \"a\"\nWScript.StdOut.Write \"b\"\nWScript.StdOut.WriteLine \"c\"\n"
                  "WScript.StdOut.WriteBlankLines 2\nWScript.StdErr.WriteLine \"err\"\n"
                  "Echo WScript.StdIn.AtEndOfStream"),
            "abc\n\n\nerr\nTrue");
  EXPECT_EQ(r.run("WScript.StdIn.ReadLine"), "error 62");
}

TEST(WScriptTest, ConsoleStreams) {
  ScriptRunner r;
  auto ws = makeRef<WScriptObject>([](const std::u16string&) {}, u"/games/tools/list.vbs",
                                   std::vector<std::u16string>{u"/v", u"in.txt", u"/out:x.txt", u"more"});
  std::u16string out, errText;
  std::vector<std::u16string> input{u"first", u"second", u"third"};
  size_t next = 0;
  ws->setConsole({[&](const std::u16string& t) { out += t; }, [&](const std::u16string& t) { errText += t; },
                  [&]() -> std::optional<std::u16string> {
                    if (next >= input.size()) return std::nullopt;
                    return input[next++];
                  }});
  ws->setHostPath(u"/usr/bin/storyloom-vbs");
  r.engine.addObject(u"W", ws);
  EXPECT_EQ(r.run("W.StdOut.Write W.StdIn.ReadLine\nW.StdOut.WriteLine \"|\" & W.StdIn.ReadAll\n"
                  "Echo W.StdIn.AtEndOfStream\nW.StdErr.Write \"e\"\n"
                  "Echo W.ScriptName, W.ScriptFullName, W.FullName, W.Path, W.Name, W.Interactive\n"
                  "W.Interactive = True : Echo W.Interactive, TypeName(W.Version)\n"
                  "Set a = W.Arguments\nEcho a.Count, a(1), a.Named.Count, a.Named(\"OUT\"), a.Named.Exists(\"v\"), "
                  "IsEmpty(a.Named(\"q\")), a.Unnamed.Count, a.Unnamed(1), a.Unnamed.Item(0)\n"
                  "For Each u In a.Unnamed : s = s & u & \";\" : Next : Echo s\nW.Sleep 1"),
            "True\nlist.vbs /games/tools/list.vbs /usr/bin/storyloom-vbs /usr/bin Windows Script Host False\n"
            "True String\n4 in.txt 2 x.txt True True 2 more in.txt\nin.txt;more;");
  EXPECT_EQ(out, u"first|second\r\nthird\n");
  EXPECT_EQ(errText, u"e");
}

TEST(CheckTest, CompilesWithoutRunningOrKeepingAnything) {
  ScriptRunner r;
  r.engine.check(u"Echo \"ran\"\nSub Later() : End Sub");
  EXPECT_EQ(r.run("On Error Resume Next\nSet p = GetRef(\"Later\")\nEcho Err.Number"), "5");
  try {
    r.engine.check(u"x = 1\nIf x Then\n  y = (2\nEnd If");
    FAIL() << "no compile error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(errorReport("game/start.vbs", e), "game/start.vbs(3, 9) compilation error 1006: Expected ')'");
  }
}

}  // namespace
}  // namespace vbs::test
