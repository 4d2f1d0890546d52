#pragma once
#include <QString>

#include "hotspots/action_host.h"
#include "platform/vbscript/object.h"

// The Action object: the game's interface for script code, given to every script as
// "Action" with its members global (GoToFrame "Hall" and Action.GoToFrame "Hall"). Some
// methods act at once; the others record a request (a frame to open, quitting, the load
// or save window) that the caller of the script applies when the script has ended.
namespace storyloom {

class Game;

class VBScriptActionModule : public vbs::Object {
 public:
  explicit VBScriptActionModule(Game& game);

  // The request fields, cleared by ResetModule before each script run.
  ScriptRequests requests;
  void ResetModule() { requests.ResetModule(); }

  std::u16string typeName() const override { return u"VBScriptActionModule"; }
  bool hasMember(std::u16string_view name) const override;
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override;

 protected:
  // Owned by the game window, never deleted by the last script reference.
  void lastReferenceReleased() noexcept override {}

 private:
  Game& game_;
};

}  // namespace storyloom
