#include "scripting/variable_objects.h"

#include <type_traits>

#include "platform/platform_error.h"
#include "scripting/control_properties.h"

namespace storyloom {
namespace {

// The members both kinds share; Element is ClassVariable or ClassVariableVariant.
template <class Element>
class VariableObject : public vbs::Object {
 public:
  explicit VariableObject(const std::shared_ptr<Element>& v) : variable_(v) {}

  std::u16string typeName() const override {
    if constexpr (std::is_same_v<Element, ClassVariable>)
      return u"ClassVariable";
    else
      return u"ClassVariableVariant";
  }
  bool hasMember(std::u16string_view name) const override {
    return memberIs(name, u"Value") || memberIs(name, u"Name");
  }

  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override {
    args.expect(0, 0);
    Element& v = element();
    if (name.empty() || memberIs(name, u"Value")) {
      if constexpr (std::is_same_v<Element, ClassVariable>)
        return vbs::Value(static_cast<int16_t>(v.Value));
      else
        return v.Value;
    }
    if (memberIs(name, u"Name")) return vbs::Value(v.Name.toStdU16String());
    vbs::raise(vbs::err::NoSuchMember);
  }
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override { return getProperty(name, args); }

  void letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) override {
    args.expect(0, 0);
    Element& v = element();
    if (name.empty() || memberIs(name, u"Value")) {
      if constexpr (std::is_same_v<Element, ClassVariable>)
        v.Value = value.toInteger();  // the Integer rules: Overflow, Type mismatch
      else
        v.Value = value;
      return;
    }
    if (memberIs(name, u"Name")) {
      v.Name = QString::fromStdU16String(value.toConcatString());
      return;
    }
    vbs::raise(vbs::err::NoSuchMember);
  }
  // A variable holds no object reference: "Set Lamp = ..." is refused.
  void setProperty(std::u16string_view, vbs::Args, const vbs::Value&) override {
    throw PlatformError(vbs::err::NoSuchMember, QStringLiteral("Object doesn't support this property or method"));
  }

 private:
  Element& element() {
    const std::shared_ptr<Element> v = variable_.lock();
    if (!v) throw PlatformError(vbs::err::ObjectRequired, QStringLiteral("Object required"));
    held_ = v;
    return *v;
  }
  std::weak_ptr<Element> variable_;
  std::shared_ptr<Element> held_;  // keeps the element alive while a member runs
};

}  // namespace

vbs::Ref<vbs::Object> makeVariableObject(const std::shared_ptr<ClassVariable>& variable) {
  return vbs::makeRef<VariableObject<ClassVariable>>(variable);
}

vbs::Ref<vbs::Object> makeVariableObject(const std::shared_ptr<ClassVariableVariant>& variable) {
  return vbs::makeRef<VariableObject<ClassVariableVariant>>(variable);
}

}  // namespace storyloom
