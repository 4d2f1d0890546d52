// Storyloom VBScript engine: the interface a script host uses.
//
//     vbs::Engine engine(&myHost);
//     engine.addObject(u"Action", actionObject, /*addMembers=*/true);
//     engine.addCode(projectScript);          // compiles and runs global code
//     engine.run(u"OnEnterFrame", {vbs::Value(u"Hall")});
//
// Every entry point throws vbs::ScriptError for compile and run-time errors
// and also records it in lastError().  Script errors never leave the engine
// in a bad state: the next call works normally.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/host.h"
#include "platform/vbscript/object.h"
#include "platform/vbscript/value.h"

namespace vbs {

namespace detail {
class Interp;
struct PreparedState;
}  // namespace detail

struct ErrorInfo {
  int32_t number = 0;  // 0: no error
  std::u16string description;
  std::u16string source;
  int line = 0;
  int column = 0;
  std::u16string sourceText;  // the line of script the error is in
  bool compileError = false;
};

struct ProcedureInfo {
  std::u16string name;
  bool isFunction = false;  // Function (true) or Sub
  int paramCount = 0;
};

class Engine {
 public:
  // host may be null (silent default host); registry null means
  // Registry::standard().  Both must outlive the engine.
  explicit Engine(Host* host = nullptr, const Registry* registry = nullptr);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  void setHost(Host* host);

  // Drops all code, variables and named objects.  Called from inside a
  // running script (a host callback), it takes effect when the outermost
  // script call returns.
  void reset();

  // Compiles `code` and runs its global statements.  Sub, Function and
  // Class definitions become available to later calls.
  void addCode(std::u16string_view code);
  void addCode(std::string_view utf8Code) { addCode(fromUtf8(utf8Code)); }

  // Compiles `code` on its own without running it or keeping anything;
  // throws the first compile error.
  void check(std::u16string_view code);

  // Compiles `code` once and keeps the global state as it stands after compiling, so that
  // startPrepared() can give later runs that state without compiling again.
  void prepare(std::u16string_view code);
  // Brings back the state kept by prepare() (everything added since is gone: variables,
  // procedures, named objects, Err) and runs the prepared code's global statements, as
  // addCode() of the same code on a reset engine would. Not while a script runs.
  void startPrepared();
  bool isPrepared() const { return prepared_ != nullptr; }

  // Makes `object` a global name.  With addMembers its members are global
  // names too (GoToFrame "Hall" as well as Action.GoToFrame "Hall").
  void addObject(std::u16string_view name, Ref<Object> object, bool addMembers = false);

  // Calls a Sub or Function by name with by-value arguments; raises 35
  // "Sub or Function not defined" for an unknown name.
  Value run(std::u16string_view procedure, const std::vector<Value>& args = {});
  // Same with argument slots the procedure may write to (ByRef).
  Value runWithArgs(std::u16string_view procedure, Args args);

  // Runs statements at global level, as ExecuteGlobal does.
  void executeStatement(std::u16string_view code);
  // Evaluates an expression at global level.
  Value eval(std::u16string_view expression);

  // Sub and Function procedures at global level, in definition order.
  std::vector<ProcedureInfo> procedures() const;

  // Script running longer than this is stopped with err::Timeout (not
  // trappable).  0 or negative: no limit.
  void setTimeout(int milliseconds);
  int timeout() const;
  // Leaves out of the running script's time-out a span it spent waiting outside the
  // script (for instance in a message box the host showed): the limit moves later.
  void excludeFromTimeout(std::chrono::steady_clock::duration waited);
  // Nesting limit for procedure calls (error 28 beyond it), and the stack
  // budget in bytes for one top-level call.
  void setMaxCallDepth(int depth);
  void setStackLimit(size_t bytes);

  const ErrorInfo& lastError() const { return lastError_; }
  void clearError() { lastError_ = ErrorInfo(); }

  // The value of a global variable or named object (Empty if unknown).
  Value global(std::u16string_view name) const;

  // What built-ins see; lets a host call defaultValue() and friends.
  Context& context();

 private:
  void record(const ScriptError& e);
  std::shared_ptr<detail::Interp> in_;
  std::shared_ptr<detail::PreparedState> prepared_;
  ErrorInfo lastError_;
};

}  // namespace vbs
