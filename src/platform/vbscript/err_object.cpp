// The Err object.  Its state (vbs::ErrState) lives in the engine; this object
// is a view on it, one per engine, registered as an intrinsic object.
#include "platform/vbscript/builtins.h"

namespace vbs {

namespace {
class ErrObject : public Object {
 public:
  explicit ErrObject(Context& cx) : cx_(cx) {}
  std::u16string typeName() const override { return u"ErrObject"; }

  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"Number", u"Description", u"Source", u"HelpFile", u"HelpContext", u"Raise", u"Clear"})
      if (equalsNoCase(n, m)) return true;
    return false;
  }

  Value getProperty(std::u16string_view n, Args a) override {
    ErrState& e = cx_.err();
    if (n.empty() || equalsNoCase(n, u"Number")) return Value(e.number);
    if (equalsNoCase(n, u"Description")) return Value(e.description);
    if (equalsNoCase(n, u"Source")) return Value(e.source);
    if (equalsNoCase(n, u"HelpFile")) return Value(e.helpFile);
    if (equalsNoCase(n, u"HelpContext")) return Value(e.helpContext);
    return callMethod(n, a);
  }

  Value callMethod(std::u16string_view n, Args a) override {
    ErrState& e = cx_.err();
    if (equalsNoCase(n, u"Clear")) {
      a.expect(0, 0);
      e.clear();
      return {};
    }
    if (equalsNoCase(n, u"Raise")) {
      a.expect(1, 5);
      int32_t number = cx_.defaultValue(a[0]).toLong();
      std::u16string source = a.isMissing(1) ? std::u16string(u"Microsoft VBScript runtime error")
                                             : cx_.defaultValue(a[1]).toConcatString();
      // Err.Raise 0 is itself an invalid call, as is a number past 65535
      // that is not an HRESULT-style negative code.
      if (number == 0 || number > 65535) raise(err::InvalidProcedureCall);
      std::u16string desc = a.isMissing(2) ? errorDescription(number) : cx_.defaultValue(a[2]).toConcatString();
      // Help file and context are not carried by ScriptError; they
      // stay in the Err state, where a trapped error leaves them.
      e.helpFile = a.isMissing(3) ? std::u16string() : cx_.defaultValue(a[3]).toConcatString();
      e.helpContext = a.isMissing(4) ? 0 : cx_.defaultValue(a[4]).toLong();
      ScriptError err(number, desc, source);
      throw err;
    }
    if (n.empty() || equalsNoCase(n, u"Number") || equalsNoCase(n, u"Description") || equalsNoCase(n, u"Source") ||
        equalsNoCase(n, u"HelpFile") || equalsNoCase(n, u"HelpContext")) {
      return getProperty(n, a);
    }
    raise(err::NoSuchMember);
  }

  void letProperty(std::u16string_view n, Args, const Value& v) override {
    ErrState& e = cx_.err();
    if (n.empty() || equalsNoCase(n, u"Number"))
      e.number = cx_.defaultValue(v).toLong();
    else if (equalsNoCase(n, u"Description"))
      e.description = cx_.defaultValue(v).toConcatString();
    else if (equalsNoCase(n, u"Source"))
      e.source = cx_.defaultValue(v).toConcatString();
    else if (equalsNoCase(n, u"HelpFile"))
      e.helpFile = cx_.defaultValue(v).toConcatString();
    else if (equalsNoCase(n, u"HelpContext"))
      e.helpContext = cx_.defaultValue(v).toLong();
    else
      raise(err::NoSuchMember);
  }

 private:
  Context& cx_;
};
}  // namespace

void register_err_object(Registry& r) {
  r.addIntrinsicObject(u"Err", [](Context& cx) -> Ref<Object> { return makeRef<ErrObject>(cx); });
}

}  // namespace vbs
