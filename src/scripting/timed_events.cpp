#include "scripting/timed_events.h"

#include <QTimer>

#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "platform/conversions.h"
#include "platform/message_boxes.h"
#include "platform/platform_error.h"
#include "scripting/action_module.h"
#include "scripting/control_properties.h"
#include "scripting/script_host.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

constexpr double kLongestDuration = 65;     // seconds
constexpr qint64 kLongestInterval = 65535;  // milliseconds

// One element of the TimedEvent array as scripts see it.
class TimedEventElement : public vbs::Object {
 public:
  TimedEventElement(TimedEvents& events, int index)
      : events_(events), index_(index), generation_(events.generation()) {}
  std::u16string typeName() const override { return u"Timer"; }
  bool hasMember(std::u16string_view n) const override {
    return memberIs(n, u"Interval") || memberIs(n, u"Enabled") || memberIs(n, u"Index");
  }
  vbs::Value callMethod(std::u16string_view n, vbs::Args a) override {
    a.expect(0, 0);
    WindowTimer& t = timer();
    if (memberIs(n, u"Interval")) return vbs::Value(static_cast<int32_t>(t.Interval()));
    if (memberIs(n, u"Enabled")) return vbs::Value(t.Enabled());
    if (memberIs(n, u"Index")) return vbs::Value(static_cast<int16_t>(index_));
    vbs::raise(vbs::err::NoSuchMember);
  }
  void letProperty(std::u16string_view n, vbs::Args a, const vbs::Value& v) override {
    a.expect(0, 0);
    WindowTimer& t = timer();
    if (memberIs(n, u"Interval"))
      t.setInterval(v.toLong());
    else if (memberIs(n, u"Enabled"))
      t.setEnabled(v.toBool());
    else
      vbs::raise(vbs::err::NoSuchMember);
  }

 private:
  // An element of an earlier frame no longer exists.
  WindowTimer& timer() {
    WindowTimer* t = events_.TimedEvent(index_);
    if (!t || (index_ != 0 && events_.generation() != generation_))
      throw PlatformError::controlArrayElementMissing(index_);
    return *t;
  }
  TimedEvents& events_;
  int index_;
  quint64 generation_;
};

// The TimedEvent array: TimedEventObject(n), Count, LBound, UBound, For Each.
class TimedEventArray : public vbs::Object {
 public:
  explicit TimedEventArray(TimedEvents& events) : events_(events) {}
  std::u16string typeName() const override { return u"Object"; }
  bool hasMember(std::u16string_view n) const override {
    return n.empty() || memberIs(n, u"Item") || memberIs(n, u"Count") || memberIs(n, u"LBound") ||
           memberIs(n, u"UBound");
  }
  vbs::Value callMethod(std::u16string_view n, vbs::Args a) override {
    if (n.empty() || memberIs(n, u"Item")) {
      a.expect(1, 1);
      return element(a[0].toInteger());
    }
    a.expect(0, 0);
    if (memberIs(n, u"Count")) return vbs::Value(static_cast<int16_t>(events_.TimedEventUBound() + 1));
    if (memberIs(n, u"LBound")) return vbs::Value(static_cast<int16_t>(0));
    if (memberIs(n, u"UBound")) return vbs::Value(static_cast<int16_t>(events_.TimedEventUBound()));
    vbs::raise(vbs::err::NoSuchMember);
  }
  std::vector<vbs::Value> enumerate() override {
    std::vector<vbs::Value> all;
    for (int i = 0; i <= events_.TimedEventUBound(); ++i) all.push_back(element(i));
    return all;
  }

 private:
  vbs::Value element(int index) {
    if (!events_.TimedEvent(index)) throw PlatformError::controlArrayElementMissing(index);
    return vbs::Value(vbs::makeRef<TimedEventElement>(events_, index).get());
  }
  TimedEvents& events_;
};

}  // namespace

// --- WindowTimer ---

WindowTimer::WindowTimer(QObject& owner, std::function<void()> tick) : timer_(new QTimer(&owner)) {
  QObject::connect(timer_, &QTimer::timeout, std::move(tick));
}

WindowTimer::~WindowTimer() {
  timer_->stop();
  timer_->disconnect();
  timer_->deleteLater();
}

void WindowTimer::setEnabled(bool on) {
  enabled_ = on;
  apply();
}

void WindowTimer::setInterval(qint64 milliseconds) {
  if (milliseconds < 0 || milliseconds > kLongestInterval) throw PlatformError::invalidPropertyValue();
  interval_ = static_cast<int>(milliseconds);
  apply();
}

void WindowTimer::apply() {
  if (enabled_ && interval_ > 0)
    timer_->start(interval_);
  else
    timer_->stop();
}

// --- TimedEvents ---

TimedEvents::TimedEvents(Game& game) : game_(game) {
  ExecuteTimedEventCode = [this](const QString& code) {
    return game_.areas().ExecuteVBScriptAndConsequences(code, true);
  };
  TimedEvent_.push_back(std::make_unique<WindowTimer>(owner_, [this] { TimedEvent_Timer(0); }));
  TimedEvents_.resize(1);
  TimerObject_.push_back(std::make_unique<WindowTimer>(owner_, [this] { TimerObject_Timer(0); }));
}

TimedEvents::~TimedEvents() = default;

WindowTimer* TimedEvents::TimedEvent(int Index) const {
  if (Index < 0 || Index > TimedEventUBound()) return nullptr;
  return TimedEvent_[static_cast<size_t>(Index)].get();
}

TimedEvents::TimedEventRecord TimedEvents::record(int Index) const {
  if (Index < 0 || Index > TimedEventUBound()) return {};
  return TimedEvents_[static_cast<size_t>(Index)];
}

void TimedEvents::ResetTimedEvents() {
  ++generation_;
  TimedEvents_.resize(1);
  TimedEvent_.resize(1);
  TimedEvent_[0]->setEnabled(false);
  TimedEvent_[0]->setInterval(0);
}

void TimedEvents::StartTimedEvents() {
  for (int i = 1; i <= TimedEventUBound(); ++i) {
    WindowTimer& t = *TimedEvent_[static_cast<size_t>(i)];
    if (TimedEvents_[static_cast<size_t>(i)].Active == -1 && !t.Enabled()) t.setEnabled(true);
  }
}

void TimedEvents::PauseTimedEvents() {
  for (auto& t : TimedEvent_) t->setEnabled(false);
}

int TimedEvents::CreateTimedEvent(const vbs::Value& Duration, const QString& sCode, bool bRepeatForever) {
  const double seconds = Duration.toDouble();
  if (seconds > kLongestDuration) return 0;
  // A negative interval is refused before anything is made, not after the element exists.
  if (seconds < 0) throw PlatformError::invalidPropertyValue();
  const qint32 interval = toLong(seconds * 1000);
  const int n = TimedEventUBound() + 1;
  auto element = std::make_unique<WindowTimer>(owner_, [this, n] { TimedEvent_Timer(n); });
  element->setInterval(interval);
  TimedEvent_.push_back(std::move(element));
  TimedEvents_.push_back(TimedEventRecord{-1, bRepeatForever, sCode});
  return n;
}

void TimedEvents::RemoveTimedEvent(int Index) {
  if (Index <= 0 || Index > TimedEventUBound()) return;
  TimedEvents_[static_cast<size_t>(Index)].Active = 0;
  TimedEvent_[static_cast<size_t>(Index)]->setEnabled(false);
}

void TimedEvents::endEvent(int Index) {
  TimedEvents_[static_cast<size_t>(Index)].Active = 0;
  WindowTimer& t = *TimedEvent_[static_cast<size_t>(Index)];
  t.setEnabled(false);
  t.setInterval(0);
}

void TimedEvents::TimedEvent_Timer(int Index) {
  if (game_.module().EverythingStopped) return;
  if (Index <= 0 || Index > TimedEventUBound()) return;
  const TimedEventRecord event = TimedEvents_[static_cast<size_t>(Index)];
  if (event.Active != -1 || event.Code.isEmpty()) return;
  if (!event.RepeatForever) endEvent(Index);
  const quint64 before = generation_;
  const int r = ExecuteTimedEventCode(event.Code);
  // A failed script ends even a repeating event, unless the events were reset meanwhile
  // and Index is now another frame's event.
  if (r == -1 && generation_ == before && Index <= TimedEventUBound()) endEvent(Index);
}

WindowTimer& TimedEvents::TimerObject(int Index) {
  if (Index < 0) throw PlatformError::controlArrayElementMissing(Index);
  if (!HasTimerObject(Index)) LoadTimerObject(Index);
  return *TimerObject_[static_cast<size_t>(Index)];
}

bool TimedEvents::HasTimerObject(int Index) const {
  return Index >= 0 && Index < static_cast<int>(TimerObject_.size()) && TimerObject_[static_cast<size_t>(Index)];
}

void TimedEvents::LoadTimerObject(int Index) {
  if (Index < 0 || HasTimerObject(Index)) throw PlatformError(360, QStringLiteral("Object already loaded"));
  if (static_cast<int>(TimerObject_.size()) <= Index) TimerObject_.resize(static_cast<size_t>(Index) + 1);
  TimerObject_[static_cast<size_t>(Index)] =
      std::make_unique<WindowTimer>(owner_, [this, Index] { TimerObject_Timer(Index); });
}

void TimedEvents::UnloadTimerObject(int Index) {
  if (Index == 0) throw PlatformError(362, QStringLiteral("Can't unload controls created at design time"));
  if (!HasTimerObject(Index)) throw PlatformError::controlArrayElementMissing(Index);
  TimerObject_[static_cast<size_t>(Index)].reset();
  while (TimerObject_.size() > 1 && !TimerObject_.back()) TimerObject_.pop_back();
}

void TimedEvents::StopTimerObjects() {
  for (const auto& t : TimerObject_)
    if (t) t->setEnabled(false);
}

bool TimedEvents::AnyTimerObjectRunning() const {
  for (const auto& t : TimerObject_)
    if (t && t->Enabled() && t->Interval() > 0) return true;
  return false;
}

void TimedEvents::TimerObject_Timer(int Index) {
  EditorAndGame& module = game_.module();
  if (module.EverythingStopped) {
    TimerObject(Index).setEnabled(false);
    return;
  }
  try {
    game_.actionModule().ResetModule();
    game_.scripts().ExecuteVBScript(QStringLiteral("TimerObject") + QString::number(Index), true);
    game_.areas().actions().ApplyScriptConsequences();
  } catch (...) {
    const PlatformError e = PlatformError::current();
    module.MessageBox(QStringLiteral("Unable to execute the procedure named TimerObject") + QString::number(Index) +
                          QStringLiteral(". ") + e.text(),
                      msg::Critical, QStringLiteral("Error Executing VBScript Code"));
    TimerObject(Index).setEnabled(false);
  }
}

vbs::Ref<vbs::Object> TimedEvents::TimedEventObject() { return vbs::makeRef<TimedEventArray>(*this); }

}  // namespace storyloom
