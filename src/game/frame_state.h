#pragma once
#include <QString>

// What is known about the frame being opened or shown, shared by the frame's parts.
namespace storyloom {

struct FrameState {
  QString CurrentFrameName;
  qint16 FrameType = 0;  // 0 solid colour, 1 picture; other values draw no background
  QString FramePicture;  // picture file, or the colour number as text
  bool FrameTiled = false;
  qint16 FrameHotspotCount = 0;
  bool FrameTimerTransition = false;
  qint32 FrameTimerTransitionDuration = 0;  // milliseconds
  qint16 FrameTimerTransitionNumber = 0;

  // Cleared before each frame is opened.
  void ResetFrameState() { *this = FrameState{}; }
};

}  // namespace storyloom
