#include "platform/vbscript/engine.h"

#include <new>

#include "platform/vbscript/interp.h"

namespace vbs {

using namespace detail;

Engine::Engine(Host* host, const Registry* registry) : in_(std::make_shared<Interp>(host, registry)) {}

Engine::~Engine() {
  // Objects still alive get their Class_Terminate while the engine can
  // still run it.
  in_->resetScope();
}

void Engine::setHost(Host* host) { in_->setHost(host); }

void Engine::record(const ScriptError& e) {
  lastError_.number = e.number;
  lastError_.description = e.description;
  lastError_.source = e.source.empty() ? std::u16string(e.compileError ? u"Microsoft VBScript compilation error"
                                                                       : u"Microsoft VBScript runtime error")
                                       : e.source;
  lastError_.line = e.line;
  lastError_.column = e.column;
  lastError_.sourceText = e.sourceLine;
  lastError_.compileError = e.compileError;
}

// Records script errors and turns allocation failures into error 7, so
// that nothing but ScriptError leaves the engine.

#define VBS_GUARD(...)                                                   \
  try {                                                                  \
    __VA_ARGS__;                                                         \
  } catch (ScriptError & e) {                                            \
    record(e);                                                           \
    throw;                                                               \
  } catch (const std::bad_alloc&) {                                      \
    ScriptError e(err::OutOfMemory, errorDescription(err::OutOfMemory)); \
    record(e);                                                           \
    throw e;                                                             \
  } catch (const std::exception& ex) {                                   \
    ScriptError e(51, u"Internal error: " + fromUtf8(ex.what()));        \
    record(e);                                                           \
    throw e;                                                             \
  }

void Engine::reset() { in_->requestReset(); }

void Engine::addCode(std::u16string_view code) {
  VBS_GUARD({
    auto unit = compile(*in_, std::u16string(code), in_->scope(), ParseOptions());
    in_->scope()->units.push_back(unit);
    in_->runUnit(unit);
  })
}

namespace detail {
struct PreparedState {
  std::shared_ptr<Unit> unit;
  GlobalScope::Saved saved;
};
}  // namespace detail

void Engine::prepare(std::u16string_view code) {
  VBS_GUARD({
    auto unit = compile(*in_, std::u16string(code), in_->scope(), ParseOptions());
    in_->scope()->units.push_back(unit);
    prepared_ = std::make_shared<detail::PreparedState>(detail::PreparedState{unit, in_->scope()->save()});
  })
}

void Engine::startPrepared() {
  VBS_GUARD({
    if (!prepared_ || prepared_->unit->scope != in_->scope()) raise(err::InvalidProcedureCall);
    in_->scope()->restore(prepared_->saved);
    in_->err().clear();
    in_->runUnit(prepared_->unit);
  })
}

void Engine::check(std::u16string_view code) {
  VBS_GUARD({ compile(*in_, std::u16string(code), std::make_shared<GlobalScope>(), ParseOptions()); })
}

void Engine::addObject(std::u16string_view name, Ref<Object> object, bool addMembers) {
  Global* g = in_->scope()->get(name);
  g->kind = GlobalKind::NamedObject;
  g->value = Value(object.get());
  g->proc = nullptr;
  if (addMembers && object) in_->scope()->memberObjects.push_back(Value(object.get()));
}

Value Engine::run(std::u16string_view procedure, const std::vector<Value>& args) {
  std::vector<Value> copy(args);
  std::vector<Value*> ptrs;
  for (auto& v : copy) ptrs.push_back(&v);
  return runWithArgs(procedure, Args(ptrs.data(), ptrs.size()));
}

Value Engine::runWithArgs(std::u16string_view procedure, Args args) {
  VBS_GUARD({
    Global* g = in_->scope()->find(procedure);
    if (!g || g->kind != GlobalKind::Procedure)
      raise(err::SubNotDefined, u"Sub or Function not defined: '" + std::u16string(procedure) + u"'");
    return in_->runProcedure(g->proc, args);
  })
  return Value();
}

void Engine::executeStatement(std::u16string_view code){VBS_GUARD({
  auto unit = compile(*in_, std::u16string(code), in_->scope(), ParseOptions());
  if (!unit->procs.empty() || !unit->classes.empty()) in_->scope()->units.push_back(unit);
  in_->runUnit(unit);
})}

Value Engine::eval(std::u16string_view expression) {
  VBS_GUARD({
    ParseOptions opts;
    opts.expressionOnly = true;
    auto unit = compile(*in_, std::u16string(expression), in_->scope(), opts);
    return in_->evalUnitExpression(unit);
  })
  return Value();
}

std::vector<ProcedureInfo> Engine::procedures() const {
  std::vector<ProcedureInfo> out;
  for (Global* g : in_->scope()->procOrder) {
    if (g->kind != GlobalKind::Procedure || !g->proc) continue;
    out.push_back({g->proc->name, g->proc->kind == ProcKind::Function, static_cast<int>(g->proc->params.size())});
  }
  return out;
}

void Engine::setTimeout(int ms) { in_->timeoutMs = ms > 0 ? ms : 0; }
int Engine::timeout() const { return in_->timeoutMs; }
void Engine::excludeFromTimeout(std::chrono::steady_clock::duration waited) { in_->extendDeadline(waited); }
void Engine::setMaxCallDepth(int depth) { in_->maxDepth = depth > 0 ? depth : 1; }
void Engine::setStackLimit(size_t bytes) { in_->stackLimitBytes = bytes; }

Value Engine::global(std::u16string_view name) const {
  Global* g = in_->scope()->find(name);
  return g ? g->value : Value();
}

Context& Engine::context() { return *in_; }

}  // namespace vbs
