#pragma once
#include <QCursor>
#include <memory>

// The hotspots of the current frame, as the game window reaches them: removing the
// previous frame's hotspots, loading the new ones from the frame's hotspot file, and
// deciding which of them are visible.
namespace storyloom {

class Game;

class FrameAreas {
 public:
  explicit FrameAreas(Game& game);
  ~FrameAreas();
  FrameAreas(const FrameAreas&) = delete;
  FrameAreas& operator=(const FrameAreas&) = delete;

  // Removes every hotspot of the previous frame (element 0, the template, stays).
  void ResetFrameAreas();
  // Creates the hotspots of Game::frame.CurrentFrameName from its .mr2/.fm2 file.
  void LoadAreas();
  // Shows or hides each hotspot by its conditions and the hidden-hotspot markers.
  void ShowOrNotShowAreas();

  // Number of hotspots now loaded (the highest element index).
  int AreaCount() const;
  // The pointer that the hotspot template (and so every new hotspot) starts with.
  void SetTemplatePointer(const QCursor& cursor);

 private:
  Game& game_;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace storyloom
