#include "scripting/script_host.h"

#include "game/game.h"
#include "scripting/action_module.h"

// The script engine is not connected yet: code runs as if it did nothing.
namespace storyloom {

struct ScriptHost::Impl {};

ScriptHost::ScriptHost(Game& game) : game_(game), impl_(std::make_unique<Impl>()) {}
ScriptHost::~ScriptHost() = default;

bool ScriptHost::ExecuteVBScript(const QString&, bool) { return true; }
void ScriptHost::ExecuteOnLoadVBScript() {}
QString ScriptHost::LoadProcedures() { return {}; }
void ScriptHost::AddCodeToScriptControl(const QString&, const QString&) {}
void ScriptHost::SetTimeOut(int) {}
bool ScriptHost::StopGameRequested() const { return game_.actionModule().requests.bStopGame; }
void ScriptHost::ShowExecuteCodeWindow() {}
void ScriptHost::ShowEditProceduresWindow() {}

}  // namespace storyloom
