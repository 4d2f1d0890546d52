// Test harness for the built-in library: calls registry functions directly
// with a minimal engine context.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/vbscript/builtins.h"

namespace vbs::test {

class TestContext : public Context {
 public:
  Host& host() override { return *host_; }
  ErrState& err() override { return err_; }
  Value defaultValue(const Value& v) override {
    if (!v.isObject()) return v;
    return requireObject(v)->getProperty(u"", Args());
  }
  Ref<Object> createObject(std::u16string_view progId) override {
    if (Ref<Object> o = host_->createObject(std::u16string(progId))) return o;
    if (ObjectFactory f = Registry::standard().findProgId(progId)) return f(*this);
    raise(err::CantCreateObject);
  }
  std::shared_ptr<void>& moduleSlot(const void* key) override { return slots_[key]; }

  void setHost(std::unique_ptr<Host> h) { host_ = std::move(h); }

 private:
  std::unique_ptr<Host> host_ = std::make_unique<Host>();
  ErrState err_;
  std::map<const void*, std::shared_ptr<void>> slots_;
};

// Calls a registered function; checks the argument count as the engine does.
inline Value call(Context& cx, std::u16string_view name, std::vector<Value> args) {
  const FunctionInfo* f = Registry::standard().findFunction(name);
  if (!f) throw std::runtime_error("no built-in " + utf8(name));
  if (static_cast<int>(args.size()) < f->minArgs || (f->maxArgs >= 0 && static_cast<int>(args.size()) > f->maxArgs))
    raise(err::WrongArgCount);
  std::vector<Value*> ptrs;
  for (auto& v : args) ptrs.push_back(&v);
  return f->fn(cx, Args(ptrs.data(), ptrs.size()));
}

// Text form of a result for table comparisons: CStr for scalars, "Null",
// "Empty", "Nothing", arrays as "[a|b|c]", and "#n" for error n.
inline std::string repr(const Value& v) {
  switch (v.type()) {
    case Type::Null: return "Null";
    case Type::Empty: return "Empty";
    case Type::Object: return v.asObject() ? "Object:" + utf8(v.asObject()->typeName()) : "Nothing";
    case Type::Array: {
      std::string s = "[";
      bool first = true;
      for (const auto& e : v.asArray()->data()) {
        if (!first) s += "|";
        first = false;
        s += repr(e);
      }
      return s + "]";
    }
    default: return v.toUtf8();
  }
}

inline std::string eval(Context& cx, std::u16string_view name, std::vector<Value> args) {
  try {
    return repr(call(cx, name, std::move(args)));
  } catch (const ScriptError& e) {
    return "#" + std::to_string(e.number);
  }
}

// Calls a method or property getter of an object.
inline Value invoke(Object* o, std::u16string_view member, std::vector<Value> args = {}) {
  std::vector<Value*> ptrs;
  for (auto& v : args) ptrs.push_back(&v);
  return o->getProperty(member, Args(ptrs.data(), ptrs.size()));
}

inline int errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ScriptError& e) {
    return e.number;
  }
  return 0;
}

inline Value arr(std::vector<Value> v) { return Value(Array::fromValues(std::move(v))); }
inline Value dt(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  double day = dateSerial(y, m, d), time = timeSerial(h, mi, s);
  return Value(Date{day >= 0 ? day + time : day - time});
}

struct Case {
  const char16_t* fn;
  std::vector<Value> args;
  const char* expected;
};

}  // namespace vbs::test
