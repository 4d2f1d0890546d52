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
        {"x = \"\xC3\xA9\"", u"x = \"\u00e9\""},
        {"caf\xE9 \x80\x93", u"caf\u00e9 \u20ac\u201c"},  // not valid UTF-8: Windows-1252
        {std::string("\xFF\xFEx\0=\0", 6), u"x="},
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

}  // namespace
}  // namespace vbs::test
