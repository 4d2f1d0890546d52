// Storyloom VBScript engine: automation objects.
//
// vbs::Object is what a script sees as an object: host objects (the game's
// Action, Hotspot collections ...), built-in objects (Dictionary, RegExp,
// Err) and instances of script classes all implement it.  Objects are
// reference-counted intrusively; hold them with vbs::Ref<T> or inside a
// vbs::Value.  Nothing is a null Object*.
//
// Member names are compared case-insensitively (use equalsNoCase or
// NoCaseHash/NoCaseEqual maps).  The empty name "" is the default member:
//   X = 5        -> letProperty(u"", {}, 5)   when X is an object
//   Hotspot(3)   -> getProperty(u"", {3})
//   Y = X        -> getProperty(u"", {})       (objects assigned without Set)
//
// How script syntax maps onto the virtual functions:
//   v = obj.Name / obj.Name(a, b) in an expression  -> getProperty
//   obj.Name a, b  /  Call obj.Name(a, b)            -> callMethod
//   obj.Name(a) = v                                  -> letProperty
//   Set obj.Name(a) = o                              -> setProperty
//   For Each x In obj                                -> enumerate
// Because script cannot tell properties and methods apart, the defaults chain:
// getProperty forwards to callMethod, and callMethod raises 438 "Object
// doesn't support this property or method".  A simple object can implement
// everything in callMethod; one that overrides getProperty should forward
// unknown names to Object::getProperty.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/vbscript/value.h"

namespace vbs {

// Arguments of a call.  Each slot points either at a temporary (argument
// passed by value) or at the caller's variable / array element (by
// reference); writing through ref(i) changes the caller's variable exactly
// when the script passed a variable.  Omitted arguments ("f a, , c") are
// Value::missing(); arguments beyond size() are treated as missing too.
class Args {
 public:
  Args() = default;
  Args(Value* const* slots, size_t count) : slots_(slots), count_(count) {}
  explicit Args(std::span<Value* const> slots) : slots_(slots.data()), count_(slots.size()) {}

  size_t size() const noexcept { return count_; }
  bool empty() const noexcept { return count_ == 0; }
  // Argument i, or a missing marker when i >= size().
  const Value& operator[](size_t i) const noexcept { return i < count_ ? *slots_[i] : missingValue(); }
  // True when argument i was omitted or not passed at all.
  bool isMissing(size_t i) const noexcept { return i >= count_ || slots_[i]->isMissing(); }
  // Writable slot (for ByRef out-parameters).  Precondition: i < size().
  Value& ref(size_t i) const noexcept { return *slots_[i]; }
  // The remaining arguments after the first n (for collection-style
  // forwarding: obj.Item(i) -> element.getProperty("", rest)).
  Args drop(size_t n) const noexcept { return n >= count_ ? Args() : Args(slots_ + n, count_ - n); }

  // Raises 450 unless min <= size() <= max.
  void expect(size_t min, size_t max) const;

 private:
  static const Value& missingValue() noexcept;
  Value* const* slots_ = nullptr;
  size_t count_ = 0;
};

// Owns argument values and exposes them as Args (for hosts calling into
// objects or the engine).
class ArgList {
 public:
  ArgList() = default;
  ArgList(std::initializer_list<Value> values) : values_(values) { rebuild(); }
  explicit ArgList(std::vector<Value> values) : values_(std::move(values)) { rebuild(); }
  ArgList(const ArgList&) = delete;
  ArgList& operator=(const ArgList&) = delete;
  void push(Value v) {
    values_.push_back(std::move(v));
    rebuild();
  }
  Args args() const { return Args(ptrs_.data(), ptrs_.size()); }
  operator Args() const { return args(); }
  Value& operator[](size_t i) { return values_[i]; }
  size_t size() const { return values_.size(); }

 private:
  void rebuild() {
    ptrs_.clear();
    for (auto& v : values_) ptrs_.push_back(&v);
  }
  std::vector<Value> values_;
  std::vector<Value*> ptrs_;
};

class Object {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object() = default;

  void addRef() noexcept { ++refs_; }
  void release() noexcept {
    if (--refs_ == 0) lastReferenceReleased();
  }
  int refCount() const noexcept { return refs_; }

  // TypeName() of the object, e.g. "Dictionary", "IRegExp2", or a script
  // class name.
  virtual std::u16string typeName() const { return u"Object"; }

  // Property get or method call in an expression.  Default: callMethod.
  virtual Value getProperty(std::u16string_view name, Args args);
  // Method call whose result may be discarded.  Default: raises 438.
  virtual Value callMethod(std::u16string_view name, Args args);
  // Assignment obj.name(args) = value.  Default: raises 438.
  virtual void letProperty(std::u16string_view name, Args args, const Value& value);
  // Set obj.name(args) = object (value holds an object or Nothing).
  // Default: letProperty.
  virtual void setProperty(std::u16string_view name, Args args, const Value& value);

  // Whether the object has a member of that name.  Used to resolve global
  // names for objects added with addMembers, and by script code asking for
  // members before calling.  Default: false.
  virtual bool hasMember(std::u16string_view name) const;

  // For Each support: the items to iterate, taken as a snapshot when the
  // loop starts.  Default: raises 451 "Object not a collection".
  virtual std::vector<Value> enumerate();

 protected:
  // Called when the count drops to zero.  Default: delete this.  Script
  // class instances override it to run Class_Terminate first.
  virtual void lastReferenceReleased() noexcept { delete this; }
  // Lets an override resurrect the object while it runs code.
  void setRefCount(int n) noexcept { refs_ = n; }

 private:
  int refs_ = 0;
};

// Intrusive smart pointer.  Ref<T>(p) adds a reference (objects start with
// count 0, so `Ref<T> r(new T)` owns the new object); use makeRef<T>(...).
template <class T>
class Ref {
 public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  Ref(T* p) noexcept : p_(p) {
    if (p_) p_->addRef();
  }
  Ref(const Ref& o) noexcept : Ref(o.p_) {}
  template <class U>
  Ref(const Ref<U>& o) noexcept : Ref(o.get()) {}
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~Ref() {
    if (p_) p_->release();
  }
  Ref& operator=(Ref o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  void reset() noexcept { Ref().swap(*this); }
  void swap(Ref& o) noexcept { std::swap(p_, o.p_); }
  friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }

 private:
  T* p_ = nullptr;
};

template <class T, class... A>
Ref<T> makeRef(A&&... a) {
  return Ref<T>(new T(std::forward<A>(a)...));
}

// The object inside a value: raises 424 "Object required" unless the value is
// an object, and 91 "Object variable not set" for Nothing.
Object* requireObject(const Value& v);

}  // namespace vbs
