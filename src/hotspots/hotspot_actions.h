#pragma once
#include <QString>

#include "hotspots/action_host.h"

// Performing hotspot actions: a click or a dropped item reads the hotspot's action record,
// does its effects in their fixed order and carries out the frame change, quit, or load
// and save window that the record or its script asked for.
namespace storyloom {

class HotspotActions {
 public:
  explicit HotspotActions(ActionHost& host) : host_(host) {}

  enum ActionResult : qint16 { Nothing = 0, Quit = 1, FrameOpened = 2 };

  // Events of hotspot Index; positions in twips relative to the hotspot.
  void Area_MouseDown(int Index, int Button, int xTwips, int yTwips, int areaLeftTwips, int areaTopTwips);
  void Area_MouseMove();
  // Only an inventory item dropped counts (objectIndex > 0); the position is in twips of
  // the frame picture.
  void Area_DragDrop(int Index, int objectIndex, int xTwips, int yTwips);

  void AreaClick(int AreaIndex, int Button);
  qint16 MakeAction(int AreaIndex, int ObjectIndex = 0);
  void MakeActionAndConsequences(int AreaIndex, int ObjectIndex = 0);
  int ExecuteVBScriptAndConsequences(const QString& sText, bool bResetLastClickPosition);
  // After script code has run outside an action: hotspot visibility, then the quit or the
  // frame change the script asked for, else the timed events start again. False when the
  // game is quitting. (The load and save requests are the caller's.)
  bool ApplyScriptConsequences();

 private:
  qint16 PerformAction(int AreaIndex, int ObjectIndex, std::optional<FieldReader>& file);
  // "last visited frame": back one frame in the history, or no request.
  void ResolveLastVisitedFrame(ScriptRequests& requests);
  ActionHost& host_;
};

}  // namespace storyloom
