#include "platform/vbscript/wscript.h"

#include <chrono>
#include <memory>
#include <thread>

namespace vbs {

namespace {

bool isNamedArgument(const std::u16string& a) { return a.size() > 1 && a[0] == u'/'; }

// WScript.Arguments and its Unnamed view: a read-only list of strings.
class ArgumentsObject : public Object {
 public:
  ArgumentsObject(std::vector<std::u16string> a, Ref<Object> named, Ref<Object> unnamed)
      : args_(std::move(a)), named_(std::move(named)), unnamed_(std::move(unnamed)) {}
  std::u16string typeName() const override { return u"Object"; }
  bool hasMember(std::u16string_view n) const override {
    if (equalsNoCase(n, u"Count") || equalsNoCase(n, u"Length") || equalsNoCase(n, u"Item")) return true;
    return named_ && (equalsNoCase(n, u"Named") || equalsNoCase(n, u"Unnamed"));
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
    if (named_ && equalsNoCase(n, u"Named")) return a.empty() ? Value(named_.get()) : named_->getProperty(u"", a);
    if (unnamed_ && equalsNoCase(n, u"Unnamed"))
      return a.empty() ? Value(unnamed_.get()) : unnamed_->getProperty(u"", a);
    raise(err::NoSuchMember);
  }
  std::vector<Value> enumerate() override {
    std::vector<Value> out;
    for (auto& s : args_) out.emplace_back(s);
    return out;
  }

 private:
  std::vector<std::u16string> args_;
  Ref<Object> named_, unnamed_;
};

// WScript.Arguments.Named: /name:value and /name switches by name.
class NamedArgumentsObject : public Object {
 public:
  explicit NamedArgumentsObject(const std::vector<std::u16string>& all) {
    for (const auto& a : all) {
      if (!isNamedArgument(a)) continue;
      size_t colon = a.find(u':');
      std::u16string name = a.substr(1, colon == std::u16string::npos ? std::u16string::npos : colon - 1);
      std::u16string value = colon == std::u16string::npos ? std::u16string() : a.substr(colon + 1);
      if (find(name) < 0) {
        names_.push_back(name);
        values_.push_back(value);
      }
    }
  }
  std::u16string typeName() const override { return u"Object"; }
  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"Count", u"Length", u"Item", u"Exists"})
      if (equalsNoCase(n, m)) return true;
    return false;
  }
  Value callMethod(std::u16string_view n, Args a) override {
    if (equalsNoCase(n, u"Count") || equalsNoCase(n, u"Length")) {
      a.expect(0, 0);
      return Value(static_cast<int32_t>(names_.size()));
    }
    if (equalsNoCase(n, u"Exists")) {
      a.expect(1, 1);
      return Value(find(a[0].toString()) >= 0);
    }
    if (n.empty() || equalsNoCase(n, u"Item")) {
      a.expect(1, 1);
      int i = find(a[0].toString());
      return i < 0 ? Value() : Value(values_[i]);
    }
    raise(err::NoSuchMember);
  }
  std::vector<Value> enumerate() override {
    std::vector<Value> out;
    for (auto& s : names_) out.emplace_back(s);
    return out;
  }

 private:
  int find(std::u16string_view name) const {
    for (size_t i = 0; i < names_.size(); ++i)
      if (equalsNoCase(names_[i], name)) return static_cast<int>(i);
    return -1;
  }
  std::vector<std::u16string> names_, values_;
};

// StdOut and StdErr.
class OutStream : public Object {
 public:
  explicit OutStream(std::function<void(const std::u16string&)> write) : write_(std::move(write)) {}
  std::u16string typeName() const override { return u"TextStream"; }
  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"Write", u"WriteLine", u"WriteBlankLines", u"Close"})
      if (equalsNoCase(n, m)) return true;
    return false;
  }
  Value callMethod(std::u16string_view n, Args a) override {
    if (equalsNoCase(n, u"Write")) {
      a.expect(1, 1);
      write_(text(a[0]));
    } else if (equalsNoCase(n, u"WriteLine")) {
      a.expect(0, 1);
      write_((a.isMissing(0) ? std::u16string() : text(a[0])) + u"\n");
    } else if (equalsNoCase(n, u"WriteBlankLines")) {
      a.expect(1, 1);
      int32_t count = a[0].toLong();
      if (count < 0) raise(err::InvalidProcedureCall);
      write_(std::u16string(static_cast<size_t>(count), u'\n'));
    } else if (equalsNoCase(n, u"Close")) {
      a.expect(0, 0);
    } else {
      raise(err::NoSuchMember);
    }
    return Value();
  }

 private:
  static std::u16string text(const Value& v) {
    Value p = v;
    if (p.isObject()) p = requireObject(p)->getProperty(u"", Args());
    if (p.isNull()) raise(err::TypeMismatch);
    return p.toConcatString();
  }
  std::function<void(const std::u16string&)> write_;
};

// StdIn.
class InStream : public Object {
 public:
  explicit InStream(std::function<std::optional<std::u16string>()> read) : read_(std::move(read)) {}
  std::u16string typeName() const override { return u"TextStream"; }
  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"ReadLine", u"ReadAll", u"AtEndOfStream", u"Close"})
      if (equalsNoCase(n, m)) return true;
    return false;
  }
  Value callMethod(std::u16string_view n, Args a) override {
    a.expect(0, 0);
    if (equalsNoCase(n, u"AtEndOfStream")) return Value(!fill());
    if (equalsNoCase(n, u"ReadLine")) {
      if (!fill()) raise(62);  // Input past end of file
      std::u16string line = std::move(*pending_);
      pending_.reset();
      return Value(line);
    }
    if (equalsNoCase(n, u"ReadAll")) {
      std::u16string all;
      while (fill()) {
        all += *pending_;
        pending_.reset();
        if (fill()) all += u"\r\n";
      }
      return Value(all);
    }
    if (equalsNoCase(n, u"Close")) return Value();
    raise(err::NoSuchMember);
  }

 private:
  bool fill() {
    if (!pending_ && !ended_) {
      pending_ = read_ ? read_() : std::nullopt;
      if (!pending_) ended_ = true;
    }
    return pending_.has_value();
  }
  std::function<std::optional<std::u16string>()> read_;
  std::optional<std::u16string> pending_;
  bool ended_ = false;
};

std::u16string directoryOf(const std::u16string& path) {
  size_t slash = path.find_last_of(u"/\\");
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

const char16_t* const kMembers[] = {
    u"Echo",   u"Quit",  u"Arguments",   u"ScriptName", u"ScriptFullName", u"Sleep",    u"StdOut",
    u"StdErr", u"StdIn", u"Interactive", u"Version",    u"Name",           u"FullName", u"Path",
};

}  // namespace

WScriptObject::WScriptObject(Output out, std::u16string scriptName, std::vector<std::u16string> arguments)
    : out_(std::move(out)), scriptName_(std::move(scriptName)) {
  std::vector<std::u16string> unnamed;
  for (const auto& a : arguments)
    if (!isNamedArgument(a)) unnamed.push_back(a);
  Ref<Object> named = makeRef<NamedArgumentsObject>(arguments);
  Ref<Object> unnamedList = makeRef<ArgumentsObject>(std::move(unnamed), nullptr, nullptr);
  arguments_ = makeRef<ArgumentsObject>(std::move(arguments), std::move(named), std::move(unnamedList));
  // Without a console, whole lines go through the Echo output.
  auto lines = [this](std::shared_ptr<std::u16string> pending) {
    return [this, pending](const std::u16string& text) {
      for (char16_t c : text) {
        if (c == u'\n') {
          out_(*pending);
          pending->clear();
        } else if (c != u'\r') {
          pending->push_back(c);
        }
      }
    };
  };
  setConsole({lines(std::make_shared<std::u16string>()), lines(std::make_shared<std::u16string>()), nullptr});
}

void WScriptObject::setConsole(Console console) {
  stdOut_ = makeRef<OutStream>(std::move(console.writeOut));
  stdErr_ = makeRef<OutStream>(std::move(console.writeErr));
  stdIn_ = makeRef<InStream>(std::move(console.readLine));
}

bool WScriptObject::hasMember(std::u16string_view n) const {
  for (auto m : kMembers)
    if (equalsNoCase(n, m)) return true;
  return false;
}

Value WScriptObject::getProperty(std::u16string_view n, Args a) {
  if (equalsNoCase(n, u"Arguments")) {
    if (a.empty()) return Value(arguments_.get());
    return arguments_->getProperty(u"", a);
  }
  if (equalsNoCase(n, u"ScriptName") || equalsNoCase(n, u"ScriptFullName")) {
    a.expect(0, 0);
    std::u16string s = scriptName_;
    if (equalsNoCase(n, u"ScriptName")) {
      size_t slash = s.find_last_of(u"/\\");
      if (slash != std::u16string::npos) s = s.substr(slash + 1);
    }
    return Value(s);
  }
  a.expect(0, 0);
  if (equalsNoCase(n, u"StdOut")) return Value(stdOut_.get());
  if (equalsNoCase(n, u"StdErr")) return Value(stdErr_.get());
  if (equalsNoCase(n, u"StdIn")) return Value(stdIn_.get());
  if (equalsNoCase(n, u"Interactive")) return Value(interactive_);
  if (equalsNoCase(n, u"Version")) return Value(u"5.812");
  if (equalsNoCase(n, u"Name")) return Value(u"Windows Script Host");
  if (equalsNoCase(n, u"FullName")) return Value(hostPath_);
  if (equalsNoCase(n, u"Path")) return Value(directoryOf(hostPath_));
  return Object::getProperty(n, a);
}

void WScriptObject::letProperty(std::u16string_view n, Args a, const Value& v) {
  if (!equalsNoCase(n, u"Interactive")) raise(err::NoSuchMember);
  a.expect(0, 0);
  interactive_ = v.toBool();
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
  if (equalsNoCase(n, u"Sleep")) {
    a.expect(1, 1);
    int32_t ms = a[0].toLong();
    if (ms < 0) raise(err::InvalidProcedureCall);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return Value();
  }
  for (auto m : kMembers)
    if (equalsNoCase(n, m)) return getProperty(n, a);
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
  // Without a byte-order mark a script file is ANSI text.
  std::u16string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) out.push_back(fromWindows1252(u8[i]));
  return out;
}

std::string errorReport(const std::string& file, const ScriptError& e) {
  return file + "(" + std::to_string(e.line) + ", " + std::to_string(e.column) + ") " +
         (e.compileError ? "compilation" : "runtime") + " error " + std::to_string(e.number) + ": " +
         utf8(e.description);
}

}  // namespace vbs
