#pragma once
#include <QString>

#include "platform/vbscript/object.h"

// The timed events of a game: pieces of script code that run once or repeatedly after a
// delay, created by scripts through the Action object, and the TimerObject procedures.
namespace storyloom {

class Game;

class TimedEvents {
 public:
  explicit TimedEvents(Game& game);
  ~TimedEvents();
  TimedEvents(const TimedEvents&) = delete;
  TimedEvents& operator=(const TimedEvents&) = delete;

  void ResetTimedEvents();
  void StartTimedEvents();
  void PauseTimedEvents();
  // The index of the new event, 0 when Duration is greater than 65 seconds.
  int CreateTimedEvent(const vbs::Value& Duration, const QString& sCode, bool bRepeatForever);
  void RemoveTimedEvent(int Index);
  // A tick of element Index of the game's TimerObject array.
  void TimerObject_Timer(int Index);
  // The timer that scripts see as "TimedEventObject".
  vbs::Ref<vbs::Object> TimedEventObject();

 private:
  Game& game_;
};

}  // namespace storyloom
