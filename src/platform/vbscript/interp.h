// Storyloom VBScript engine: interpreter internals (not part of the public API).
#pragma once

#include <chrono>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/vbscript/ast.h"
#include "platform/vbscript/builtins.h"

namespace vbs::detail {

class Interp;

// One activation: global code, a procedure call, or Execute'd code.
struct Frame {
  Interp& in;
  Value* locals = nullptr;
  Value** refs = nullptr;
  Procedure* proc = nullptr;
  Object* me = nullptr;  // a ScriptObject when running a class member
  Unit* unit = nullptr;
  bool resumeNext = false;
  std::vector<Value> with;
  explicit Frame(Interp& i) : in(i) {}
};

// An instance of a script class.
class ScriptObject : public Object {
 public:
  ScriptObject(std::weak_ptr<Interp> in, std::shared_ptr<Unit> unit, ClassDef* cls);
  ~ScriptObject() override;
  std::u16string typeName() const override { return cls_->name; }
  Value getProperty(std::u16string_view name, Args args) override;
  Value callMethod(std::u16string_view name, Args args) override;
  void letProperty(std::u16string_view name, Args args, const Value& value) override;
  void setProperty(std::u16string_view name, Args args, const Value& value) override;
  bool hasMember(std::u16string_view name) const override;

  ClassDef* cls() const { return cls_; }
  std::vector<Value> fields;

 protected:
  void lastReferenceReleased() noexcept override;

 private:
  void finalize() noexcept;
  friend class Interp;
  std::shared_ptr<Interp> lockInterp() const;
  std::weak_ptr<Interp> in_;
  std::shared_ptr<Unit> unit_;
  ClassDef* cls_;
  bool terminated_ = false;
};

class Interp : public Context, public std::enable_shared_from_this<Interp> {
 public:
  Interp(Host* host, const Registry* registry);
  ~Interp() override;

  // Context
  Host& host() override { return *host_; }
  ErrState& err() override { return err_; }
  Value defaultValue(const Value& v) override;
  Ref<Object> createObject(std::u16string_view progId) override;
  std::shared_ptr<void>& moduleSlot(const void* key) override { return modules_[key]; }

  const Registry& registry() const { return *registry_; }
  void setHost(Host* h) { host_ = h ? h : &defaultHost_; }
  std::shared_ptr<GlobalScope>& scope() { return scope_; }

  // Top-level entry points (set up deadline and stack base).
  void runUnit(const std::shared_ptr<Unit>& unit);
  Value runProcedure(Procedure* p, Args args);
  Value evalUnitExpression(const std::shared_ptr<Unit>& unit);
  void resetScope();
  // Reset from the host: deferred until the running script returns.
  void requestReset();

  // Execution
  Value call(Procedure* p, Object* me, Args args);
  Flow execBlock(Frame& f, Block& b);
  Value newObject(ClassDef* cls, const std::shared_ptr<Unit>& unit);
  Value invokeClass(ScriptObject* obj, const ClassMember* m, int kind, Args args, const Value* value);
  Value invokeObject(Object* obj, std::u16string_view name, int kind, Args args, const Value* value, Frame* f);
  Object* intrinsic(ObjectFactory factory);
  // `Me` in global code and global procedures.
  Value globalMe();

  // Eval / Execute / ExecuteGlobal from script code.
  Value evalString(Frame& f, const std::u16string& code);
  void executeString(Frame& f, const std::u16string& code, bool global);
  Value makeProcRef(const std::u16string& name);

  void tick() {
    if (--ticks_ <= 0) checkTime();
  }
  void checkTime();
  // Moves the current time-out later (time the script spent waiting for the user).
  void extendDeadline(std::chrono::steady_clock::duration d) {
    if (hasDeadline_) deadline_ += d;
  }

  struct DepthGuard {
    Interp& in;
    explicit DepthGuard(Interp& i);
    ~DepthGuard() { --in.depth_; }
  };

  // Settings
  int timeoutMs = 0;
  int maxDepth = 2000;
  size_t stackLimitBytes = 3u << 20;

  // State of the current top-level call.
  struct TopLevel {
    explicit TopLevel(Interp& i);
    ~TopLevel();
    Interp& in;
    bool outer;
  };

  std::shared_ptr<Unit> keepUnit(const Unit* u);

 private:
  friend class ScriptObject;
  Host defaultHost_;
  Host* host_;
  const Registry* registry_;
  ErrState err_;
  std::unordered_map<const void*, std::shared_ptr<void>> modules_;
  std::vector<std::pair<ObjectFactory, Value>> intrinsics_;
  std::shared_ptr<GlobalScope> scope_;
  Value globalMe_;
  int depth_ = 0;
  int topLevel_ = 0;
  int ticks_ = 1024;
  const char* stackBase_ = nullptr;
  std::chrono::steady_clock::time_point deadline_;
  bool hasDeadline_ = false;
  bool resetPending_ = false;
};

// Operators (operators.cpp).  Operands must not be objects (resolve default
// values first) except for Is.  litA/litB: the operand is a literal constant.
Value evalBinary(Interp& in, Op op, const Value& a, const Value& b, bool litA, bool litB);
Value evalUnary(Interp& in, Op op, const Value& a);
// -1, 0, 1 or 2 when either side is Null.
int compareValues(const Value& a, const Value& b, bool litA, bool litB);
bool truthy(Interp& in, const Value& v);

}  // namespace vbs::detail
