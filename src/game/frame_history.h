#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// The frames the player has visited (oldest first, at most 20), the frame timer's choice of
// target, and the .lks links file that gives a frame's hotspot count.
namespace storyloom {

class EditorAndGame;

class FrameHistory {
 public:
  static constexpr int kMaxEntries = 20;

  // Appends the frame unless it is already the last entry (exact comparison); drops the
  // oldest entries beyond 20.
  void FramesHistoryAdd(const QString& frameName);
  void clear() { entries_.clear(); }
  int size() const { return static_cast<int>(entries_.size()); }
  bool isEmpty() const { return entries_.isEmpty(); }
  QString last() const { return entries_.isEmpty() ? QString() : entries_.last(); }
  void removeLast() {
    if (!entries_.isEmpty()) entries_.removeLast();
  }
  const QStringList& entries() const { return entries_; }

 private:
  QStringList entries_;
};

// The frame that the frame timer opens for its Tag: nothing for an empty Tag; for
// "[last visited frame]" (any case) the current frame is taken off the history and the
// previous one returned, or nothing when the history holds fewer than two; otherwise the
// Tag as written.
std::optional<QString> FrameTimerTarget(const QString& tag, FrameHistory& history);

// The hotspot count from FramesPath & frame & ".lks": 0 when the file is missing; 0 and an
// exclamation box naming the file when it cannot be read.
qint16 ReadHotspotCount(EditorAndGame& module, const QString& frameName);

}  // namespace storyloom
