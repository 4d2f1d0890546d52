#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/vbscript/object.h"

class QTimer;

// The timed events of a game: pieces of script code that run once or repeatedly after a
// delay, created by scripts through the Action object and removed when a frame opens, and
// the TimerObject timers, whose ticks call the project procedures TimerObject1, ...
namespace storyloom {

class Game;

// A timer of the game window as the game and its scripts use it: it ticks every Interval
// milliseconds while it is Enabled and its Interval is above 0.
class WindowTimer {
 public:
  WindowTimer(QObject& owner, std::function<void()> tick);
  // The timer may be the one whose tick is running: it is stopped now, deleted later.
  ~WindowTimer();
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  bool Enabled() const { return enabled_; }
  // Enabling starts the count again.
  void setEnabled(bool on);
  int Interval() const { return interval_; }
  // 0 to 65535 milliseconds; anything else raises Invalid property value (380).
  void setInterval(qint64 milliseconds);

 private:
  void apply();
  QTimer* timer_;
  bool enabled_ = false;
  int interval_ = 0;
};

class TimedEvents {
 public:
  explicit TimedEvents(Game& game);
  ~TimedEvents();
  TimedEvents(const TimedEvents&) = delete;
  TimedEvents& operator=(const TimedEvents&) = delete;

  struct TimedEventRecord {
    qint16 Active = 0;  // -1 while scheduled
    bool RepeatForever = false;
    QString Code;
  };

  // Removes every timed event; indices start again at 1.
  void ResetTimedEvents();
  // Enables every scheduled event that is not running.
  void StartTimedEvents();
  // Disables every event; the next StartTimedEvents resumes the scheduled ones.
  void PauseTimedEvents();
  // The index of the new event, 0 when Duration is greater than 65 seconds. The event
  // runs from the next StartTimedEvents. A Duration that is no number raises Type mismatch
  // (13) or Invalid use of Null (94), a negative one Invalid property value (380); nothing
  // is created then.
  int CreateTimedEvent(const vbs::Value& Duration, const QString& sCode, bool bRepeatForever);
  // Ends event Index; 0, negative or unknown indices do nothing. The index is not reused
  // until the next reset.
  void RemoveTimedEvent(int Index);

  // Tick handlers.
  void TimedEvent_Timer(int Index);
  void TimerObject_Timer(int Index);

  // The TimedEvent array: element 0 is the template, event n is element n.
  int TimedEventUBound() const { return static_cast<int>(TimedEvent_.size()) - 1; }
  // nullptr for an index outside 0..TimedEventUBound.
  WindowTimer* TimedEvent(int Index) const;
  // The record of event Index (element 0 and unknown indices: an empty record).
  TimedEventRecord record(int Index) const;
  // Changes whenever the events are reset: an element seen before belongs to another
  // frame once it has changed.
  quint64 generation() const { return generation_; }

  // The TimerObject array: element Index, loaded on first use (0 is the template). The
  // game never enables them itself; scripts do, through the game window.
  WindowTimer& TimerObject(int Index);
  // Whether element Index is loaded; loading one that is raises 360, unloading element 0
  // raises 362. The highest loaded index (0: only the template).
  bool HasTimerObject(int Index) const;
  void LoadTimerObject(int Index);
  void UnloadTimerObject(int Index);
  int TimerObjectUBound() const { return static_cast<int>(TimerObject_.size()) - 1; }
  // Disables every TimerObject element (the game window is closing).
  void StopTimerObjects();
  // Whether a TimerObject element is enabled with an Interval above 0.
  bool AnyTimerObjectRunning() const;

  // The TimedEvent array as scripts see it ("TimedEventObject").
  vbs::Ref<vbs::Object> TimedEventObject();

  // Runs the code of a timed event and what it asks for; -1 when the script failed.
  // Normally the hotspot actions' ExecuteVBScriptAndConsequences.
  std::function<int(const QString& code)> ExecuteTimedEventCode;

 private:
  void endEvent(int Index);

  Game& game_;
  QObject owner_;  // parent of the timers, so that none outlives the game
  std::vector<std::unique_ptr<WindowTimer>> TimedEvent_;
  std::vector<TimedEventRecord> TimedEvents_;
  std::vector<std::unique_ptr<WindowTimer>> TimerObject_;
  quint64 generation_ = 0;
};

}  // namespace storyloom
