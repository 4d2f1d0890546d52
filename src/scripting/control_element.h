#pragma once

// An element of one of the game's control arrays as scripts see it (for example a new
// element of Hotspot or Text), which the Action object's CreateObject and DeleteObject load
// and unload. The script objects of the control arrays implement it; an error they throw
// (an element that is already loaded, or one that cannot be removed) is reported by the
// Action object.
namespace storyloom {

class ScriptControlElement {
 public:
  virtual ~ScriptControlElement() = default;

  // Loads the element this object names (the platform's Load of a control-array element).
  virtual void createElement() = 0;
  // Unloads it (the platform's Unload).
  virtual void deleteElement() = 0;
};

}  // namespace storyloom
