// Storyloom VBScript engine: the built-in library interface.
//
// Built-in functions, intrinsic constants, CreateObject ProgIDs, classes
// usable with New (RegExp) and intrinsic objects (Err) are registered in a
// vbs::Registry.  The interpreter looks names up there at compile time, so a
// built-in costs one indirect call and no name lookups at run time.
//
// Writing a module
// ----------------
// A module is one source file in src/platform/vbscript whose name is
// builtins_<x>.cpp, err_object.cpp, regexp.cpp, dictionary.cpp or
// filesystem.cpp.  It defines exactly one registration function named after
// the file stem:
//
//     namespace vbs {
//     void register_builtins_strings(Registry& r) {
//         r.addFunction(u"Len", 1, 1, [](Context& cx, Args a) -> Value {
//             Value v = cx.defaultValue(a[0]);
//             if (v.isNull()) return Value::null();
//             return Value(static_cast<int32_t>(v.toString().size()));
//         });
//         r.addConstant(u"vbCrLf", Value(u"\r\n"));
//     }
//     }
//
// The build finds the modules by file name and calls every register_<stem>
// function when the standard registry is first built (see
// builtins_registry.cpp); nothing else needs editing.  Modules are
// registered in alphabetical order of stem except that err_object comes
// first; a later registration of a name replaces an earlier one.
//
// Rules for built-in functions
// ----------------------------
// * Arguments arrive as Args (see object.h).  The registry checks the count
//   against minArgs/maxArgs (error 450) before calling; optional arguments
//   that were left out are missing (Args::isMissing).
// * Argument slots may point straight at the caller's variable.  Only write
//   to an argument whose bit is set in byRefMask (bit i = argument i).
// * Arguments can be objects; call cx.defaultValue(a[i]) to read an object's
//   default property when the function wants a plain value.
// * Raise errors with vbs::raise(number) (value.h); never catch ScriptError
//   just to report it — the interpreter handles On Error Resume Next.
// * Functions must not keep Args slots beyond the call.
// * Eval, Execute, ExecuteGlobal and GetRef belong to the engine (they need
//   the running procedure's scope); do not register them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/vbscript/host.h"
#include "platform/vbscript/object.h"
#include "platform/vbscript/value.h"

namespace vbs {

// State behind the Err object.  The interpreter fills it when an error is
// trapped by On Error Resume Next and clears it on On Error statements.
struct ErrState {
  int32_t number = 0;
  std::u16string description;
  std::u16string source;
  std::u16string helpFile;
  int32_t helpContext = 0;
  void clear() { *this = ErrState(); }
};

// What a built-in can ask of the running engine.
class Context {
 public:
  virtual ~Context() = default;

  virtual Host& host() = 0;
  virtual ErrState& err() = 0;

  // The value itself, or for an object its default property (raises 438
  // when the object has none, 91 for Nothing).
  virtual Value defaultValue(const Value& v) = 0;

  // CreateObject: asks the host, then the registry's ProgIDs; raises 429.
  virtual Ref<Object> createObject(std::u16string_view progId) = 0;

  // Per-engine storage for modules (random seed, open files ...).  The slot
  // lives as long as the engine and survives Reset.  Use a unique key, e.g.
  // the address of a static variable in the module.
  virtual std::shared_ptr<void>& moduleSlot(const void* key) = 0;

  template <class T>
  T& moduleState(const void* key) {
    auto& slot = moduleSlot(key);
    if (!slot) slot = std::make_shared<T>();
    return *static_cast<T*>(slot.get());
  }
};

using BuiltinFn = Value (*)(Context& cx, Args args);
using ObjectFactory = Ref<Object> (*)(Context& cx);

struct FunctionInfo {
  std::u16string name;
  int minArgs = 0;
  int maxArgs = 0;  // -1: any number
  BuiltinFn fn = nullptr;
  uint32_t byRefMask = 0;
};

class Registry {
 public:
  // name: as the script writes it (lookup is case-insensitive).
  void addFunction(std::u16string name, int minArgs, int maxArgs, BuiltinFn fn, uint32_t byRefMask = 0);
  void addConstant(std::u16string name, Value value);
  // CreateObject("Scripting.Dictionary") etc.
  void addProgId(std::u16string progId, ObjectFactory factory);
  // Classes usable with New (New RegExp).
  void addClass(std::u16string name, ObjectFactory factory);
  // Objects every engine has under a global name (Err); one instance is
  // created per engine when the name is first used.
  void addIntrinsicObject(std::u16string name, ObjectFactory factory);

  const FunctionInfo* findFunction(std::u16string_view name) const;
  const Value* findConstant(std::u16string_view name) const;
  ObjectFactory findProgId(std::u16string_view progId) const;
  ObjectFactory findClass(std::u16string_view name) const;
  ObjectFactory findIntrinsicObject(std::u16string_view name) const;

  // Every module registered (built once, then shared read-only).
  static const Registry& standard();

 private:
  template <class T>
  using Map = std::unordered_map<std::u16string, T, NoCaseHash, NoCaseEqual>;
  Map<std::unique_ptr<FunctionInfo>> functions_;
  Map<Value> constants_;
  Map<ObjectFactory> progIds_;
  Map<ObjectFactory> classes_;
  Map<ObjectFactory> intrinsics_;
};

}  // namespace vbs
