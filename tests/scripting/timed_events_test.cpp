#include "scripting/timed_events.h"

#include <gtest/gtest.h>

#include "game/game_fixture.h"
#include "hotspots/frame_areas.h"
#include "platform/platform_error.h"
#include "scripting/action_module.h"

namespace storyloom {
namespace {

const QString kColourFrame = QStringLiteral("0,\"255\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");

// A game whose timed events hand their code to a recorder: "fail" fails, "go X" asks for
// frame X the way a script's GoToFrame does.
struct TimedGame {
  test::GameFixture fx;
  Game* g = nullptr;
  QStringList runs;

  TimedGame() {
    fx.frame("A", kColourFrame);
    fx.frame("B", kColourFrame);
    g = &fx.start();
    events().ExecuteTimedEventCode = [this](const QString& code) {
      runs << code;
      if (code == "fail") return -1;
      if (code.startsWith("go ")) {
        g->actionModule().ResetModule();
        g->actionModule().requests.sFrameToLoad = code.mid(3);
        g->areas().actions().ApplyScriptConsequences();
      }
      return 0;
    };
  }
  TimedEvents& events() { return g->timedEvents(); }
  int create(double seconds, const QString& code, bool repeat = false) {
    return events().CreateTimedEvent(vbs::Value(seconds), code, repeat);
  }
};

int errorNumberOf(const std::function<void()>& f) {
  try {
    f();
  } catch (...) {
    return PlatformError::current().code();
  }
  return 0;
}

TEST(TimedEvents, DurationsBecomeWholeMillisecondsUpTo65Seconds) {
  TimedGame t;
  TimedEvents& e = t.events();
  EXPECT_EQ(t.create(0.5, "a"), 1);
  EXPECT_EQ(e.TimedEvent(1)->Interval(), 500);
  EXPECT_EQ(t.create(65, "b"), 2);
  EXPECT_EQ(e.TimedEvent(2)->Interval(), 65000);
  EXPECT_EQ(e.CreateTimedEvent(vbs::Value(u"1.25"), "c", true), 3);
  EXPECT_EQ(e.TimedEvent(3)->Interval(), 1250);
  EXPECT_TRUE(e.record(3).RepeatForever);
  EXPECT_EQ(e.record(3).Code, "c");
  EXPECT_EQ(e.record(3).Active, -1);

  // Too long: 0 and nothing made.
  EXPECT_EQ(t.create(65.5, "d"), 0);
  EXPECT_EQ(e.CreateTimedEvent(vbs::Value(int32_t(70)), "d", false), 0);
  // No number or a negative time: an error, and nothing made either.
  EXPECT_EQ(errorNumberOf([&] { e.CreateTimedEvent(vbs::Value(u"soon"), "d", false); }), 13);
  EXPECT_EQ(errorNumberOf([&] { e.CreateTimedEvent(vbs::Value::null(), "d", false); }), 94);
  EXPECT_EQ(errorNumberOf([&] { t.create(-1, "d"); }), 380);
  EXPECT_EQ(e.TimedEventUBound(), 3);

  // Nothing runs before the script that made them has finished.
  for (int i = 1; i <= 3; ++i) EXPECT_FALSE(e.TimedEvent(i)->Enabled());
}

TEST(TimedEvents, OneShotEventsFireOnceAndRepeatingOnesUntilTheirScriptFails) {
  TimedGame t;
  TimedEvents& e = t.events();
  t.create(0.03, "once");
  t.create(0.03, "again", true);
  t.create(0.03, "fail", true);
  test::runEventsFor(150);
  EXPECT_TRUE(t.runs.isEmpty());

  e.StartTimedEvents();
  test::runEventsFor(400);
  EXPECT_EQ(t.runs.count("once"), 1);
  EXPECT_GE(t.runs.count("again"), 3);
  EXPECT_EQ(t.runs.count("fail"), 1);
  EXPECT_EQ(e.record(1).Active, 0);
  EXPECT_EQ(e.record(3).Active, 0);
  EXPECT_EQ(e.TimedEvent(3)->Interval(), 0);
  // Ended events stay ended when the events start again.
  e.StartTimedEvents();
  test::runEventsFor(100);
  EXPECT_EQ(t.runs.count("once") + t.runs.count("fail"), 2);
}

TEST(TimedEvents, PausedEventsKeepTheirPlaceAndRemovedOnesEnd) {
  TimedGame t;
  TimedEvents& e = t.events();
  t.create(0.03, "a", true);
  t.create(0.03, "b", true);
  e.StartTimedEvents();
  test::runEventsFor(120);
  ASSERT_FALSE(t.runs.isEmpty());

  e.PauseTimedEvents();
  t.runs.clear();
  test::runEventsFor(150);
  EXPECT_TRUE(t.runs.isEmpty());
  e.StartTimedEvents();
  test::runEventsFor(150);
  EXPECT_TRUE(t.runs.contains("a"));
  EXPECT_TRUE(t.runs.contains("b"));

  // 0 and past the last index do nothing; removing event 1 ends only that one.
  e.RemoveTimedEvent(0);
  e.RemoveTimedEvent(3);
  e.RemoveTimedEvent(1);
  e.StartTimedEvents();
  t.runs.clear();
  test::runEventsFor(150);
  EXPECT_FALSE(t.runs.contains("a"));
  EXPECT_TRUE(t.runs.contains("b"));
  EXPECT_EQ(t.create(1, "c"), 3);

  // While everything is stopped a tick does nothing.
  t.fx.module().EverythingStopped = true;
  t.runs.clear();
  test::runEventsFor(150);
  EXPECT_TRUE(t.runs.isEmpty());
}

TEST(TimedEvents, OpeningAnyFrameRemovesEveryEvent) {
  TimedGame t;
  TimedEvents& e = t.events();
  t.g->OpenFrame("A", false, 0, 0);
  t.create(0.03, "a", true);
  t.create(0.03, "b");
  e.StartTimedEvents();
  t.g->OpenFrame("A", false, 0, 0);
  EXPECT_EQ(e.TimedEventUBound(), 0);
  test::runEventsFor(150);
  EXPECT_TRUE(t.runs.isEmpty());
  EXPECT_EQ(t.create(0.02, "c"), 1);

  // An event whose own script opens a frame: it and every other event end with the old
  // frame, and the new frame is shown.
  t.create(0.06, "go B", true);
  t.create(10, "never", true);
  e.StartTimedEvents();
  test::runEventsFor(200);
  EXPECT_EQ(t.runs, (QStringList{"c", "go B"}));
  EXPECT_EQ(t.g->frame.CurrentFrameName, "B");
  EXPECT_EQ(e.TimedEventUBound(), 0);
}

TEST(TimedEvents, AScriptRunStartsTheEventsItCreated) {
  TimedGame t;
  TimedEvents& e = t.events();
  // The real run: the script host and the consequences of the hotspot actions.
  e.ExecuteTimedEventCode = [&](const QString& code) {
    t.runs << code;
    return t.g->areas().ExecuteVBScriptAndConsequences(code, true);
  };
  t.create(0.03, "first");
  e.StartTimedEvents();
  t.create(0.03, "made by first");
  test::runEventsFor(300);
  EXPECT_EQ(t.runs, (QStringList{"first", "made by first"}));
}

TEST(TimedEvents, ATimerObjectTickStartsTheTimedEventsAndStopsWhenEverythingStopped) {
  TimedGame t;
  TimedEvents& e = t.events();
  t.create(0.03, "waiting");
  WindowTimer& timer = e.TimerObject(2);
  EXPECT_FALSE(e.AnyTimerObjectRunning());
  timer.setInterval(30);
  timer.setEnabled(true);
  EXPECT_TRUE(e.AnyTimerObjectRunning());
  test::runEventsFor(250);
  EXPECT_EQ(t.runs, QStringList{"waiting"});
  EXPECT_TRUE(timer.Enabled());

  t.fx.module().EverythingStopped = true;
  test::runEventsFor(100);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_TRUE(t.fx.project.log.isEmpty());
}

TEST(TimedEvents, ScriptsSeeTheArrayAndItsElements) {
  TimedGame t;
  TimedEvents& e = t.events();
  vbs::Ref<vbs::Object> array = e.TimedEventObject();
  auto get = [](vbs::Object& o, const char16_t* name, vbs::ArgList args = {}) { return o.getProperty(name, args); };
  EXPECT_EQ(get(*array, u"Count").toLong(), 1);
  EXPECT_EQ(get(*array, u"UBound").toLong(), 0);
  t.create(0.5, "a", true);
  EXPECT_EQ(get(*array, u"count").toLong(), 2);
  EXPECT_EQ(get(*array, u"LBound").toLong(), 0);

  vbs::Value first = get(*array, u"", {vbs::Value(int16_t(1))});
  vbs::Object& element = *vbs::requireObject(first);
  EXPECT_EQ(get(element, u"Interval").toLong(), 500);
  EXPECT_FALSE(get(element, u"Enabled").toBool());
  element.letProperty(u"Interval", {}, vbs::Value(int32_t(30)));
  element.letProperty(u"enabled", {}, vbs::Value(true));
  test::runEventsFor(150);
  EXPECT_TRUE(t.runs.contains("a"));
  EXPECT_EQ(errorNumberOf([&] { element.letProperty(u"Interval", {}, vbs::Value(int32_t(70000))); }), 380);

  // Missing elements, and an element of a frame that has gone.
  EXPECT_EQ(errorNumberOf([&] { get(*array, u"", {vbs::Value(int16_t(2))}); }), 340);
  e.ResetTimedEvents();
  EXPECT_EQ(errorNumberOf([&] { get(element, u"Interval"); }), 340);
  t.create(1, "b");
  EXPECT_EQ(errorNumberOf([&] { get(element, u"Interval"); }), 340);
}

}  // namespace
}  // namespace storyloom
