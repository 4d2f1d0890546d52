#include "scripting/timed_events.h"

#include "game/game.h"

namespace storyloom {

TimedEvents::TimedEvents(Game& game) : game_(game) {}
TimedEvents::~TimedEvents() = default;

void TimedEvents::ResetTimedEvents() {}
void TimedEvents::StartTimedEvents() {}
void TimedEvents::PauseTimedEvents() {}
int TimedEvents::CreateTimedEvent(const vbs::Value&, const QString&, bool) { return 0; }
void TimedEvents::RemoveTimedEvent(int) {}
// The project's TimerObject procedures are called from here.
void TimedEvents::TimerObject_Timer(int) {}
vbs::Ref<vbs::Object> TimedEvents::TimedEventObject() { return vbs::makeRef<vbs::Object>(); }

}  // namespace storyloom
