// Type information (TypeName, VarType, Is*), engine version, and the
// functions that go to the host (MsgBox, InputBox, LoadPicture, GetObject).
#include "platform/vbscript/builtins.h"
#include "platform/vbscript/date_math.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;

namespace {

Value fnTypeName(Context&, Args a) { return Value(typeName(a[0])); }

// An object with a default property reports the type of that value; one
// without (or Nothing) is vbObject.
Value fnVarType(Context& cx, Args a) {
  if (a[0].isObject() && a[0].asObject()) {
    try {
      return Value(static_cast<int16_t>(cx.defaultValue(a[0]).varType()));
    } catch (const ScriptError&) {
    }
  }
  return Value(static_cast<int16_t>(a[0].varType()));
}

Value fnIsEmpty(Context&, Args a) { return Value(a[0].isEmpty()); }
Value fnIsNull(Context&, Args a) { return Value(a[0].isNull()); }
Value fnIsObject(Context&, Args a) { return Value(a[0].isObject()); }
Value fnIsArray(Context&, Args a) { return Value(a[0].isArray()); }

Value fnIsNumeric(Context& cx, Args a) {
  const Value& raw = a[0];
  if (raw.isObject() && !raw.isNothing()) {
    Value v;
    try {
      v = cx.defaultValue(raw);
    } catch (const ScriptError&) {
      return Value(false);
    }
    ArgList one{v};
    return fnIsNumeric(cx, one);
  }
  switch (raw.type()) {
    case Type::Empty:
    case Type::Boolean: return Value(true);
    case Type::String: {
      double d;
      return Value(parseNumber(raw.asString(), d));
    }
    default: return Value(raw.isNumber());
  }
}

Value fnIsDate(Context& cx, Args a) {
  Value v = a[0];
  if (v.isObject() && !v.isNothing()) {
    try {
      v = cx.defaultValue(v);
    } catch (const ScriptError&) {
      return Value(false);
    }
  }
  if (v.type() == Type::Date) return Value(true);
  if (v.isString()) {
    double serial;
    return Value(dates::parseDateText(v.asString(), serial));
  }
  return Value(false);
}

Value fnScriptEngine(Context&, Args) { return Value(u"VBScript"); }
Value fnMajor(Context&, Args) { return Value(int32_t(5)); }
Value fnMinor(Context&, Args) { return Value(int32_t(8)); }
Value fnBuild(Context&, Args) { return Value(int32_t(18702)); }

std::u16string optString(Context& cx, Args a, size_t i) {
  if (a.isMissing(i)) return {};
  return plain(cx, a[i]).toConcatString();
}

Value fnMsgBox(Context& cx, Args a) {
  Value p = plain(cx, a[0]);
  std::u16string prompt = p.toConcatString();
  int32_t buttons = optLong(cx, a, 1, 0);
  std::u16string title = optString(cx, a, 2);
  return Value(static_cast<int32_t>(cx.host().msgBox(prompt, buttons, title)));
}

Value fnInputBox(Context& cx, Args a) {
  std::u16string prompt = plain(cx, a[0]).toConcatString();
  std::u16string title = optString(cx, a, 1);
  std::u16string dflt = optString(cx, a, 2);
  auto answer = cx.host().inputBox(prompt, title, dflt);
  return Value(answer ? *answer : std::u16string());
}

Value fnLoadPicture(Context& cx, Args a) {
  Value p = plain(cx, a[0]);
  if (p.isNull()) raise(err::InvalidUseOfNull);
  return cx.host().loadPicture(p.toString());
}

// Scripts cannot reach running objects or files as objects.
Value fnGetObject(Context& cx, Args a) {
  if (!a.isMissing(1)) {
    Value id = plain(cx, a[1]);
    if (!id.isNull()) {
      Ref<Object> o = cx.createObject(id.toString());
      return Value(o.get());
    }
  }
  raise(err::CantCreateObject);
}

Value fnCreateObject(Context& cx, Args a) {
  Value id = plain(cx, a[0]);
  if (id.isNull()) raise(err::InvalidUseOfNull);
  Ref<Object> o = cx.createObject(id.toString());
  return Value(o.get());
}

}  // namespace

void register_builtins_info(Registry& r) {
  r.addFunction(u"TypeName", 1, 1, fnTypeName);
  r.addFunction(u"VarType", 1, 1, fnVarType);
  r.addFunction(u"IsEmpty", 1, 1, fnIsEmpty);
  r.addFunction(u"IsNull", 1, 1, fnIsNull);
  r.addFunction(u"IsObject", 1, 1, fnIsObject);
  r.addFunction(u"IsArray", 1, 1, fnIsArray);
  r.addFunction(u"IsNumeric", 1, 1, fnIsNumeric);
  r.addFunction(u"IsDate", 1, 1, fnIsDate);
  r.addFunction(u"ScriptEngine", 0, 0, fnScriptEngine);
  r.addFunction(u"ScriptEngineMajorVersion", 0, 0, fnMajor);
  r.addFunction(u"ScriptEngineMinorVersion", 0, 0, fnMinor);
  r.addFunction(u"ScriptEngineBuildVersion", 0, 0, fnBuild);
  r.addFunction(u"MsgBox", 1, 5, fnMsgBox);
  r.addFunction(u"InputBox", 1, 7, fnInputBox);
  r.addFunction(u"LoadPicture", 1, 1, fnLoadPicture);
  r.addFunction(u"GetObject", 0, 2, fnGetObject);
  r.addFunction(u"CreateObject", 1, 2, fnCreateObject);
}

}  // namespace vbs
