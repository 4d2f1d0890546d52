#include "platform/vbscript/object.h"

namespace vbs {

const Value& Args::missingValue() noexcept {
  static const Value missing = Value::missing();
  return missing;
}

void Args::expect(size_t min, size_t max) const {
  if (count_ < min || count_ > max) raise(err::WrongArgCount);
}

Value Object::getProperty(std::u16string_view name, Args args) { return callMethod(name, args); }

Value Object::callMethod(std::u16string_view, Args) { raise(err::NoSuchMember); }

void Object::letProperty(std::u16string_view, Args, const Value&) { raise(err::NoSuchMember); }

void Object::setProperty(std::u16string_view name, Args args, const Value& value) { letProperty(name, args, value); }

bool Object::hasMember(std::u16string_view) const { return false; }

std::vector<Value> Object::enumerate() { raise(err::NotACollection); }

Object* requireObject(const Value& v) {
  if (!v.isObject()) raise(err::ObjectRequired);
  if (!v.asObject()) raise(err::ObjectNotSet);
  return v.asObject();
}

}  // namespace vbs
