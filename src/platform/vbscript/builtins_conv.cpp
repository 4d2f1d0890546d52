// The C* conversion functions.  The conversions themselves live in
// vbs::Value; this module exposes them with the Null and object rules.
#include "platform/vbscript/builtins.h"
#include "platform/vbscript/date_math.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;

namespace {

Value argValue(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  if (v.isArray()) raise(err::TypeMismatch);
  return v;
}

Value fnCBool(Context& cx, Args a) { return Value(argValue(cx, a).toBool()); }
Value fnCByte(Context& cx, Args a) {
  Value v = argValue(cx, a);
  // True is all bits set: 255 as a Byte.
  if (v.type() == Type::Boolean) return Value(static_cast<uint8_t>(v.asBool() ? 255 : 0));
  return Value(v.toByte());
}
Value fnCInt(Context& cx, Args a) { return Value(argValue(cx, a).toInteger()); }
Value fnCLng(Context& cx, Args a) { return Value(argValue(cx, a).toLong()); }
Value fnCSng(Context& cx, Args a) { return Value(argValue(cx, a).toSingle()); }
Value fnCDbl(Context& cx, Args a) { return Value(argValue(cx, a).toDouble()); }
Value fnCCur(Context& cx, Args a) { return Value(argValue(cx, a).toCurrency()); }
Value fnCStr(Context& cx, Args a) { return Value(argValue(cx, a).toString()); }
Value fnCDate(Context& cx, Args a) {
  Value v = argValue(cx, a);
  if (v.type() == Type::Date) return v;
  if (v.isString()) {
    double serial;
    if (dates::parseDateText(v.asString(), serial)) return Value(Date{serial});
  }
  return Value(Date{v.toDate()});
}

}  // namespace

void register_builtins_conv(Registry& r) {
  r.addFunction(u"CBool", 1, 1, fnCBool);
  r.addFunction(u"CByte", 1, 1, fnCByte);
  r.addFunction(u"CInt", 1, 1, fnCInt);
  r.addFunction(u"CLng", 1, 1, fnCLng);
  r.addFunction(u"CSng", 1, 1, fnCSng);
  r.addFunction(u"CDbl", 1, 1, fnCDbl);
  r.addFunction(u"CCur", 1, 1, fnCCur);
  r.addFunction(u"CStr", 1, 1, fnCStr);
  r.addFunction(u"CDate", 1, 1, fnCDate);
}

}  // namespace vbs
