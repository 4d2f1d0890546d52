#include "platform/vbscript/wscript.h"

namespace vbs {

namespace {
class ArgumentsObject : public Object {
public:
    explicit ArgumentsObject(std::vector<std::u16string> a) : args_(std::move(a)) {}
    std::u16string typeName() const override { return u"Object"; }
    bool hasMember(std::u16string_view n) const override {
        return equalsNoCase(n, u"Count") || equalsNoCase(n, u"Length") || equalsNoCase(n, u"Item");
    }
    Value callMethod(std::u16string_view n, Args a) override {
        if (equalsNoCase(n, u"Count") || equalsNoCase(n, u"Length")) {
            a.expect(0, 0);
            return Value(static_cast<int32_t>(args_.size()));
        }
        if (n.empty() || equalsNoCase(n, u"Item")) {
            a.expect(1, 1);
            int32_t i = a[0].toLong();
            if (i < 0 || static_cast<size_t>(i) >= args_.size()) raise(err::SubscriptOutOfRange);
            return Value(args_[i]);
        }
        raise(err::NoSuchMember);
    }
    std::vector<Value> enumerate() override {
        std::vector<Value> out;
        for (auto& s : args_) out.emplace_back(s);
        return out;
    }

private:
    std::vector<std::u16string> args_;
};
}  // namespace

WScriptObject::WScriptObject(Output out, std::u16string scriptName, std::vector<std::u16string> arguments)
    : out_(std::move(out)), scriptName_(std::move(scriptName)),
      arguments_(makeRef<ArgumentsObject>(std::move(arguments))) {}

bool WScriptObject::hasMember(std::u16string_view n) const {
    for (auto m : {u"Echo", u"Quit", u"Arguments", u"ScriptName", u"ScriptFullName", u"Sleep"})
        if (equalsNoCase(n, m)) return true;
    return false;
}

Value WScriptObject::getProperty(std::u16string_view n, Args a) {
    if (equalsNoCase(n, u"Arguments")) {
        if (a.empty()) return Value(arguments_.get());
        return arguments_->getProperty(u"", a);
    }
    if (equalsNoCase(n, u"ScriptName") || equalsNoCase(n, u"ScriptFullName")) {
        std::u16string s = scriptName_;
        if (equalsNoCase(n, u"ScriptName")) {
            size_t slash = s.find_last_of(u"/\\");
            if (slash != std::u16string::npos) s = s.substr(slash + 1);
        }
        return Value(s);
    }
    return Object::getProperty(n, a);
}

Value WScriptObject::callMethod(std::u16string_view n, Args a) {
    if (equalsNoCase(n, u"Echo")) {
        std::u16string line;
        for (size_t i = 0; i < a.size(); ++i) {
            if (i) line += u' ';
            Value v = a[i];
            if (v.isObject()) {
                Object* o = requireObject(v);
                v = o->getProperty(u"", Args());
            }
            if (!v.isMissing()) line += v.isNull() ? std::u16string(u"Null") : v.toConcatString();
        }
        out_(line);
        return Value();
    }
    if (equalsNoCase(n, u"Quit")) {
        a.expect(0, 1);
        throw QuitRequest{a.isMissing(0) ? 0 : a[0].toLong()};
    }
    if (equalsNoCase(n, u"Sleep")) return Value();
    if (equalsNoCase(n, u"Arguments") || equalsNoCase(n, u"ScriptName") || equalsNoCase(n, u"ScriptFullName"))
        return getProperty(n, a);
    raise(err::NoSuchMember);
}

std::u16string decodeScriptFile(const std::string& bytes) {
    auto u8 = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    if (n >= 3 && u8[0] == 0xEF && u8[1] == 0xBB && u8[2] == 0xBF) return fromUtf8(std::string_view(bytes).substr(3));
    if (n >= 2 && ((u8[0] == 0xFF && u8[1] == 0xFE) || (u8[0] == 0xFE && u8[1] == 0xFF))) {
        bool le = u8[0] == 0xFF;
        std::u16string out;
        for (size_t i = 2; i + 1 < n; i += 2)
            out.push_back(static_cast<char16_t>(le ? (u8[i] | u8[i + 1] << 8) : (u8[i] << 8 | u8[i + 1])));
        return out;
    }
    // Valid UTF-8?
    bool valid = true;
    for (size_t i = 0; i < n && valid;) {
        unsigned char c = u8[i];
        size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (!len || i + len > n || (len == 2 && c < 0xC2)) { valid = false; break; }
        for (size_t k = 1; k < len; ++k)
            if ((u8[i + k] & 0xC0) != 0x80) valid = false;
        i += len;
    }
    if (valid) return fromUtf8(bytes);
    std::u16string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = u8[i];
        out.push_back(fromWindows1252(c));
    }
    return out;
}

}  // namespace vbs
