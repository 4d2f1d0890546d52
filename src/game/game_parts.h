#pragma once
#include <QString>
#include <functional>

// The call points from the game window into the parts that other modules build
// components, video, animated pictures).
// Each starts as a harmless stand-in; the module that owns a part sets its entries when the
// game window is made.
namespace storyloom {

struct GameParts {
  // Components.
  std::function<void()> ResetComponents = [] {};
  // Videos.
  std::function<void()> StopOneTimeVideoPlayer = [] {};
  std::function<bool()> IsOneTimeVideoPlaying = [] { return false; };
  std::function<void(const QString& file, bool stretched, qint32 left, qint32 top, qint32 width, qint32 height)>
      PlayMovieWithStop = [](const QString&, bool, qint32, qint32, qint32, qint32) {};
  std::function<void()> RestartLoopingVideos = [] {};
  // Animated pictures: every element above the template is unloaded when the window closes.
  std::function<void()> UnloadAniGifs = [] {};
};

}  // namespace storyloom
