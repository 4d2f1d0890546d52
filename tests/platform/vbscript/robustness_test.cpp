// Damaged and hostile scripts must end in ScriptError, never in a crash.
#include <random>

#include "script_test_support.h"

namespace vbs::test {
namespace {

const char* const kSeeds[] = {
    "Class C\n  Public V\n  Public Default Property Get Item(i) : Item = V(i) : End Property\n"
    "  Private Sub Class_Initialize : V = Array(1, 2, 3) : End Sub\nEnd Class\n"
    "Set o = New C : For Each x In o.V : s = s & o(x - 1) : Next : Echo s",
    "Function F(a, ByVal b)\n  If a > b Then F = a Else F = b\n  Select Case F\n    Case 1 To 3 : F = F * 2\n"
    "    Case Is > 10 : Exit Function\n  End Select\nEnd Function\nDim r(3)\nFor i = 0 To 3 : r(i) = F(i, 2) : Next\n"
    "ReDim Preserve r(5) : Echo Join2(r)\nFunction Join2(a) : For Each e In a : Join2 = Join2 & e & \",\" : Next : "
    "End Function",
    "On Error Resume Next\nx = 1 / 0 : Echo Err.Number\nErr.Raise 5\nWith WScript\n  .Echo \"w\"\nEnd With\n"
    "Do While n < 5 : n = n + 1 : If n = 3 Then Exit Do\nLoop\nExecute \"y = 2 * n\" : Echo Eval(\"y + 1\")",
    "Sub Rec(n)\n  If n > 0 Then Rec n - 1\n  a = \"s\" & n & #1/2/2020# & &HFF & 1.5E3\nEnd Sub\nRec 20\n"
    "Set g = GetRef(\"Rec\") : g 3 : k = \"\" : For i = 1 To 50 : k = k & Chr(65 + i Mod 26) : Next",
};

TEST(RobustnessTest, MutatedScriptsOnlyRaiseScriptErrors) {
  std::mt19937 rng(12345);
  const std::string alphabet = "()\"'.:,_=<>&+-*/\\^#\n \tAaZz019EeHh";
  const char* const words[] = {"If ",   "Then ", "End ",   "Sub ",  "Class ", "Next ",  "For ",    "Each ",
                               "Loop ", "Set ",  "Me",     "New ",  "Call ",  "ReDim ", "With ",   "Select ",
                               "Case ", "Do ",   "While ", "Exit ", "Dim ",   "Const ", "Public ", "Property "};
  int scriptErrors = 0;
  for (int iter = 0; iter < 1500; ++iter) {
    std::string code = kSeeds[iter % std::size(kSeeds)];
    int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !code.empty(); ++e) {
      size_t pos = rng() % code.size();
      switch (rng() % 4) {
        case 0: code.erase(pos, 1 + rng() % 6); break;
        case 1: code.insert(pos, 1, alphabet[rng() % alphabet.size()]); break;
        case 2: code.insert(pos, words[rng() % std::size(words)]); break;
        default: code[pos] = alphabet[rng() % alphabet.size()]; break;
      }
    }
    ScriptRunner r;
    r.engine.setTimeout(200);
    r.engine.setMaxCallDepth(200);
    try {
      r.engine.addCode(code);
    } catch (const ScriptError& e) {
      ++scriptErrors;
      EXPECT_NE(e.number, 0) << code;
    } catch (const QuitRequest&) {
    } catch (const std::exception& e) {
      ADD_FAILURE() << "unexpected exception " << e.what() << " for:\n" << code;
    }
  }
  EXPECT_GT(scriptErrors, 100);
}

TEST(RobustnessTest, HostileResourceUse) {
  struct Case {
    const char* code;
    int number;
  };
  const Case cases[] = {
      {"s = \"x\" : Do : s = s & s : Loop", err::OutOfStringSpace},
      {"ReDim a(20000, 20000)", err::OutOfMemory},
      {"Dim a() : ReDim a(-5)", err::SubscriptOutOfRange},
      {"Dim a(2147483647)", err::OutOfMemory},
      {"ReDim a(2147483647)", err::OutOfMemory},
      {"x = String2(1)", err::TypeMismatch},
      {"Execute \"Execute \"\"x = (\"\"\"", err::ExpectedExpression},
  };
  for (const auto& c : cases) {
    Engine engine;
    engine.setTimeout(5000);
    EXPECT_THROW(engine.addCode(c.code), ScriptError) << c.code;
    EXPECT_EQ(engine.lastError().number, c.number) << c.code;
  }
}

// A date moved far outside any date by arithmetic is still shown as text (the sanitizer
// build stops on the integer overflows this once caused).
TEST(RobustnessTest, ADateMovedFarOutsideAnyDateIsStillShown) {
  Engine engine;
  engine.addCode("a = \"\" & (#2000-12-31# + 1E+300) : b = \"\" & (#2000-12-31# - 1E+300)");
  EXPECT_FALSE(engine.eval(u"a").toString().empty());
  EXPECT_FALSE(engine.eval(u"b").toString().empty());
}

}  // namespace
}  // namespace vbs::test
