#pragma once
#include <QCursor>
#include <QPixmap>
#include <functional>
#include <memory>

#include "hotspots/action_host.h"
#include "hotspots/hotspot_actions.h"
#include "hotspots/hotspot_file.h"
#include "hotspots/hotspot_item.h"

class QGraphicsObject;

// The hotspots of the current frame, as the game window reaches them: removing the
// previous frame's hotspots, loading the new ones from the frame's hotspot file, deciding
// which of them are visible, and performing their actions when they are clicked or an
// item is dropped on them.
namespace storyloom {

class Game;
class MediaPlayer;

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
  // Element i (1..AreaCount) of the Area array; nullptr for any other index.
  HotspotItem* Area(int index) const;
  // Element 0 of the Area array: the template, never on the picture.
  HotspotItem& AreaTemplate();
  // Loads element i (i >= 1) from the template, invisible; the array may get gaps. Raises
  // 360 when the element is already loaded.
  void LoadElement(int index);
  // Removes element i (and its looping video); raises 340 when it is not loaded.
  void UnloadElement(int index);
  // The looping video player of hotspot i, when it has one, and the item that shows it
  // (kept by the game's Video part).
  MediaPlayer* VideoPlayer(int index) const;
  QGraphicsObject* VideoPlayerItem(int index) const;
  // The pointer that the hotspot template (and so every hotspot loaded from now on) starts
  // with; hotspots already loaded keep theirs.
  void SetTemplatePointer(const QCursor& cursor);

  // Hotspot events and actions.
  HotspotActions& actions();
  void Area_DragDrop(int Index, int objectIndex, float xTwips, float yTwips);
  qint16 MakeAction(int AreaIndex, int ObjectIndex = 0) { return actions().MakeAction(AreaIndex, ObjectIndex); }
  void MakeActionAndConsequences(int AreaIndex, int ObjectIndex = 0) {
    actions().MakeActionAndConsequences(AreaIndex, ObjectIndex);
  }
  int ExecuteVBScriptAndConsequences(const QString& sText, bool bResetLastClickPosition) {
    return actions().ExecuteVBScriptAndConsequences(sText, bResetLastClickPosition);
  }

 private:
  using StepRunner = std::function<void(const char* what, const std::function<void()>& step)>;
  HotspotItem* newArea(int index);
  void loadLoopingVideo(int index, HotspotItem& area, const HotspotRecord& record, const StepRunner& step);

  Game& game_;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace storyloom
