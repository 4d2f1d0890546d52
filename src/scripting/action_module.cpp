#include "scripting/action_module.h"

#include "game/game.h"

namespace storyloom {

VBScriptActionModule::VBScriptActionModule(Game& game) : game_(game) {}

bool VBScriptActionModule::hasMember(std::u16string_view) const { return false; }

vbs::Value VBScriptActionModule::callMethod(std::u16string_view, vbs::Args) { vbs::raise(vbs::err::NoSuchMember); }

}  // namespace storyloom
