// The few built-ins the engine itself relies on and its tests use.  The full
// string, conversion and formatting libraries register the same names again
// and replace these.
#include <chrono>
#include <cstring>

#include "platform/vbscript/builtins.h"

namespace vbs {

namespace {
Value plain(Context& cx, const Value& v) { return v.isObject() ? cx.defaultValue(v) : v; }

std::u16string argString(Context& cx, Args a, size_t i, const char16_t* dflt) {
    if (a.isMissing(i)) return dflt;
    return plain(cx, a[i]).toConcatString();
}
}  // namespace

void register_builtins_core(Registry& r) {
    r.addFunction(u"CStr", 1, 1, [](Context& cx, Args a) -> Value { return Value(plain(cx, a[0]).toString()); });
    r.addFunction(u"CLng", 1, 1, [](Context& cx, Args a) -> Value { return Value(plain(cx, a[0]).toLong()); });
    r.addFunction(u"CInt", 1, 1, [](Context& cx, Args a) -> Value { return Value(plain(cx, a[0]).toInteger()); });
    r.addFunction(u"CDbl", 1, 1, [](Context& cx, Args a) -> Value { return Value(plain(cx, a[0]).toDouble()); });
    r.addFunction(u"CBool", 1, 1, [](Context& cx, Args a) -> Value { return Value(plain(cx, a[0]).toBool()); });
    r.addFunction(u"Len", 1, 1, [](Context& cx, Args a) -> Value {
        Value v = plain(cx, a[0]);
        if (v.isNull()) return Value::null();
        return Value(static_cast<int32_t>(v.toString().size()));
    });
    r.addFunction(u"Chr", 1, 1, [](Context& cx, Args a) -> Value {
        int32_t c = plain(cx, a[0]).toLong();
        if (c < -32768 || c > 65535) raise(err::InvalidProcedureCall);
        char16_t ch = c >= 0 && c < 256 ? fromWindows1252(static_cast<uint8_t>(c)) : static_cast<char16_t>(c);
        return Value(std::u16string(1, ch));
    });
    r.addFunction(u"TypeName", 1, 1, [](Context&, Args a) -> Value { return Value(typeName(a[0])); });
    // An object with a default property reports the type of that value.
    r.addFunction(u"VarType", 1, 1, [](Context& cx, Args a) -> Value {
        if (a[0].isObject() && a[0].asObject()) {
            try {
                return Value(static_cast<int32_t>(cx.defaultValue(a[0]).varType()));
            } catch (const ScriptError&) {
            }
        }
        return Value(static_cast<int32_t>(a[0].varType()));
    });
    r.addFunction(u"IsEmpty", 1, 1, [](Context&, Args a) -> Value { return Value(a[0].isEmpty()); });
    r.addFunction(u"IsNull", 1, 1, [](Context&, Args a) -> Value { return Value(a[0].isNull()); });
    r.addFunction(u"IsObject", 1, 1, [](Context&, Args a) -> Value { return Value(a[0].isObject()); });
    r.addFunction(u"IsArray", 1, 1, [](Context&, Args a) -> Value { return Value(a[0].isArray()); });
    r.addFunction(u"Array", 0, -1, [](Context&, Args a) -> Value {
        std::vector<Value> items;
        items.reserve(a.size());
        for (size_t i = 0; i < a.size(); ++i) items.push_back(a[i]);
        return Value(Array::fromValues(std::move(items)));
    });
    r.addFunction(u"UBound", 1, 2, [](Context&, Args a) -> Value {
        if (!a[0].isArray()) raise(err::TypeMismatch);
        int dim = a.isMissing(1) ? 1 : a[1].toLong();
        return Value(a[0].asArray()->ubound(dim));
    });
    r.addFunction(u"LBound", 1, 2, [](Context&, Args a) -> Value {
        if (!a[0].isArray()) raise(err::TypeMismatch);
        int dim = a.isMissing(1) ? 1 : a[1].toLong();
        return Value(a[0].asArray()->lbound(dim));
    });
    r.addFunction(u"MsgBox", 1, 5, [](Context& cx, Args a) -> Value {
        std::u16string prompt = argString(cx, a, 0, u"");
        int buttons = a.isMissing(1) ? 0 : plain(cx, a[1]).toLong();
        std::u16string title = argString(cx, a, 2, u"");
        return Value(static_cast<int32_t>(cx.host().msgBox(prompt, buttons, title)));
    });
    r.addFunction(u"InputBox", 1, 7, [](Context& cx, Args a) -> Value {
        std::u16string prompt = argString(cx, a, 0, u"");
        std::u16string title = argString(cx, a, 1, u"");
        std::u16string dflt = argString(cx, a, 2, u"");
        auto answer = cx.host().inputBox(prompt, title, dflt);
        return Value(answer ? *answer : std::u16string());
    });
    r.addFunction(u"LoadPicture", 1, 1, [](Context& cx, Args a) -> Value {
        return cx.host().loadPicture(plain(cx, a[0]).toString());
    });
    r.addFunction(u"CreateObject", 1, 2, [](Context& cx, Args a) -> Value {
        Ref<Object> o = cx.createObject(plain(cx, a[0]).toString());
        return Value(o.get());
    });

    // Rnd and Randomize with VBScript's 24-bit generator.
    struct RandomState {
        uint32_t seed = 0x50000;
        double last = 0;
    };
    static const int kRandomKey = 0;
    r.addFunction(u"Rnd", 0, 1, [](Context& cx, Args a) -> Value {
        auto& st = cx.moduleState<RandomState>(&kRandomKey);
        if (!a.isMissing(0)) {
            float n = plain(cx, a[0]).toSingle();
            if (n == 0) return Value(static_cast<float>(st.last));
            if (n < 0) {
                uint32_t bits;
                std::memcpy(&bits, &n, sizeof bits);
                st.seed = (bits + (bits >> 24)) & 0xFFFFFF;
            }
        }
        st.seed = (st.seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
        st.last = st.seed / 16777216.0;
        return Value(static_cast<float>(st.last));
    });
    r.addFunction(u"Randomize", 0, 1, [](Context& cx, Args a) -> Value {
        auto& st = cx.moduleState<RandomState>(&kRandomKey);
        double n;
        if (a.isMissing(0)) {
            auto now = std::chrono::system_clock::now().time_since_epoch();
            n = std::chrono::duration<double>(now).count();
        } else {
            n = plain(cx, a[0]).toDouble();
        }
        uint64_t bits;
        std::memcpy(&bits, &n, sizeof bits);
        uint32_t mix = static_cast<uint32_t>(bits >> 32) ^ static_cast<uint32_t>(bits);
        st.seed = ((mix & 0xFFFF) << 8 ^ (mix >> 8)) & 0xFFFFFF;
        return Value();
    });

    r.addConstant(u"vbCrLf", Value(u"\r\n"));
    r.addConstant(u"vbCr", Value(u"\r"));
    r.addConstant(u"vbLf", Value(u"\n"));
    r.addConstant(u"vbNewLine", Value(u"\r\n"));
    r.addConstant(u"vbTab", Value(u"\t"));
    r.addConstant(u"vbNullString", Value(u""));
    r.addConstant(u"vbNullChar", Value(std::u16string(1, u'\0')));
    r.addConstant(u"vbObjectError", Value(int32_t(-2147221504)));
    r.addConstant(u"vbOKOnly", Value(int16_t(0)));
    r.addConstant(u"vbOKCancel", Value(int16_t(1)));
    r.addConstant(u"vbYesNo", Value(int16_t(4)));
    r.addConstant(u"vbYesNoCancel", Value(int16_t(3)));
    r.addConstant(u"vbOK", Value(int16_t(1)));
    r.addConstant(u"vbCancel", Value(int16_t(2)));
    r.addConstant(u"vbYes", Value(int16_t(6)));
    r.addConstant(u"vbNo", Value(int16_t(7)));
    static const char16_t* kTypes[] = {u"vbEmpty", u"vbNull", u"vbInteger", u"vbLong", u"vbSingle", u"vbDouble",
                                       u"vbCurrency", u"vbDate", u"vbString", u"vbObject", u"vbError", u"vbBoolean",
                                       u"vbVariant"};
    for (int16_t i = 0; i < 13; ++i) r.addConstant(kTypes[i], Value(i));
    r.addConstant(u"vbByte", Value(int16_t(17)));
    r.addConstant(u"vbArray", Value(int16_t(8192)));
}

}  // namespace vbs
