// An engine prepared once with a script's code, then started again and again: every start
// sees the state right after compiling, as a reset engine given the same code would.
#include <gtest/gtest.h>

#include "platform/vbscript/engine.h"

namespace vbs {
namespace {

std::u16string text(Engine& e, std::u16string_view expr) { return e.eval(expr).toConcatString(); }

TEST(PreparedEngine, EveryStartIsFresh) {
  Engine e;
  e.prepare(
      u"Dim counter, list()\r\n"
      u"Const Limit = 3\r\n"
      u"started = started + 1\r\n"
      u"Function Twice(n)\r\n  counter = counter + 1\r\n  Twice = n * 2\r\nEnd Function\r\n");
  e.startPrepared();
  EXPECT_EQ(text(e, u"Twice(4) & \",\" & counter & \",\" & started"), u"8,1,1");
  e.executeStatement(
      u"ReDim list(5)\r\nleftover = 7\r\nExecuteGlobal \"Function Twice(n) : Twice = 0 : End Function\"\r\n"
      u"On Error Resume Next\r\nErr.Raise 11");
  EXPECT_EQ(text(e, u"UBound(list) & Twice(1) & leftover & Err.Number"), u"50711");

  e.startPrepared();
  EXPECT_EQ(text(e, u"started & \",\" & IsEmpty(counter) & \",\" & IsEmpty(leftover) & \",\" & Err.Number"),
            u"1,True,True,0");
  EXPECT_EQ(text(e, u"Twice(4)"), u"8") << "the procedure defined by the earlier start is gone";
  EXPECT_THROW(e.eval(u"UBound(list)"), ScriptError) << "the array is undimensioned again";
  EXPECT_EQ(text(e, u"Limit"), u"3");
}

TEST(PreparedEngine, NamedObjectsOfAStartAreGoneAtTheNext) {
  Engine e;
  e.prepare(u"Function Shown()\r\n  Shown = IsObject(Thing)\r\nEnd Function\r\n");
  e.startPrepared();
  e.addObject(u"Thing", makeRef<Object>(), true);
  EXPECT_EQ(text(e, u"Shown()"), u"True");
  e.startPrepared();
  EXPECT_EQ(text(e, u"Shown()"), u"False");
}

}  // namespace
}  // namespace vbs
