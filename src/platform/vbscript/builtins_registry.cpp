#include "platform/vbscript/builtins.h"

namespace vbs {

// The build generates vbs_modules.inc with one VBS_MODULE(stem) line per
// module file (see CMakeLists.txt in this folder).
#define VBS_MODULE(stem) void register_##stem(Registry&);
#include "vbs_modules.inc"
#undef VBS_MODULE

void Registry::addFunction(std::u16string name, int minArgs, int maxArgs, BuiltinFn fn, uint32_t byRefMask) {
  auto info = std::make_unique<FunctionInfo>(FunctionInfo{name, minArgs, maxArgs, fn, byRefMask});
  functions_[std::move(name)] = std::move(info);
}

void Registry::addConstant(std::u16string name, Value value) { constants_[std::move(name)] = std::move(value); }
void Registry::addProgId(std::u16string progId, ObjectFactory f) { progIds_[std::move(progId)] = f; }
void Registry::addClass(std::u16string name, ObjectFactory f) { classes_[std::move(name)] = f; }
void Registry::addIntrinsicObject(std::u16string name, ObjectFactory f) { intrinsics_[std::move(name)] = f; }

const FunctionInfo* Registry::findFunction(std::u16string_view name) const {
  auto it = functions_.find(name);
  return it == functions_.end() ? nullptr : it->second.get();
}

const Value* Registry::findConstant(std::u16string_view name) const {
  auto it = constants_.find(name);
  return it == constants_.end() ? nullptr : &it->second;
}

ObjectFactory Registry::findProgId(std::u16string_view progId) const {
  auto it = progIds_.find(progId);
  return it == progIds_.end() ? nullptr : it->second;
}

ObjectFactory Registry::findClass(std::u16string_view name) const {
  auto it = classes_.find(name);
  return it == classes_.end() ? nullptr : it->second;
}

ObjectFactory Registry::findIntrinsicObject(std::u16string_view name) const {
  auto it = intrinsics_.find(name);
  return it == intrinsics_.end() ? nullptr : it->second;
}

const Registry& Registry::standard() {
  static const Registry registry = [] {
    Registry r;
#define VBS_MODULE(stem) register_##stem(r);
#include "vbs_modules.inc"
#undef VBS_MODULE
    return r;
  }();
  return registry;
}

}  // namespace vbs
