// The RegExp class (New RegExp) and its Matches / Match / SubMatches
// objects, on PCRE2's 16-bit library.
//
// The language's regular expressions follow the JavaScript dialect:
// \uXXXX and \xXX escapes, back-references to groups that did not take part
// match the empty string, "$" without Multiline matches only at the very end,
// "." matches anything but a line feed, and an empty class [] matches
// nothing.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <memory>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;

namespace {

struct CodeDeleter {
  void operator()(pcre2_code* c) const { pcre2_code_free(c); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* m) const { pcre2_match_data_free(m); }
};
using CodePtr = std::unique_ptr<pcre2_code, CodeDeleter>;
using MatchDataPtr = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;

PCRE2_SPTR16 sptr(const std::u16string& s) { return reinterpret_cast<PCRE2_SPTR16>(s.data()); }

bool memberIs(std::u16string_view n, const char16_t* m) { return equalsNoCase(n, m); }

int32_t indexArg(Context* cx, Args a) {
  a.expect(1, 1);
  Value v = cx ? plain(*cx, a[0]) : a[0];
  return v.toLong();
}

// ---- SubMatches and Matches: read-only collections with Count, Item and For Each ----

class ItemCollection : public Object {
 public:
  ItemCollection(std::u16string typeName, std::vector<Value> items)
      : typeName_(std::move(typeName)), items_(std::move(items)) {}
  std::u16string typeName() const override { return typeName_; }
  bool hasMember(std::u16string_view n) const override { return memberIs(n, u"Count") || memberIs(n, u"Item"); }
  Value callMethod(std::u16string_view n, Args a) override {
    if (memberIs(n, u"Count")) {
      a.expect(0, 0);
      return Value(static_cast<int32_t>(items_.size()));
    }
    if (n.empty() || memberIs(n, u"Item")) {
      int32_t i = indexArg(nullptr, a);
      if (i < 0 || static_cast<size_t>(i) >= items_.size()) raise(err::InvalidProcedureCall);
      return items_[static_cast<size_t>(i)];
    }
    raise(err::NoSuchMember);
  }
  std::vector<Value> enumerate() override { return items_; }

 private:
  std::u16string typeName_;
  std::vector<Value> items_;
};

// ---- Match ----

class MatchObject : public Object {
 public:
  MatchObject(std::u16string value, int32_t index, std::vector<Value> subs)
      : value_(std::move(value)), index_(index), subs_(std::move(subs)) {}
  std::u16string typeName() const override { return u"IMatch2"; }
  bool hasMember(std::u16string_view n) const override {
    return memberIs(n, u"Value") || memberIs(n, u"FirstIndex") || memberIs(n, u"Length") || memberIs(n, u"SubMatches");
  }
  Value callMethod(std::u16string_view n, Args a) override {
    if (memberIs(n, u"SubMatches")) {
      // m.SubMatches(i) indexes the collection.
      Ref<Object> subs = makeRef<ItemCollection>(u"ISubMatches", subs_);
      if (!a.empty()) return subs->getProperty(u"", a);
      return Value(subs.get());
    }
    a.expect(0, 0);
    if (n.empty() || memberIs(n, u"Value")) return Value(value_);
    if (memberIs(n, u"FirstIndex")) return Value(index_);
    if (memberIs(n, u"Length")) return Value(static_cast<int32_t>(value_.size()));
    raise(err::NoSuchMember);
  }

 private:
  std::u16string value_;
  int32_t index_;
  std::vector<Value> subs_;
};

// ---- RegExp ----

class RegExpObject : public Object {
 public:
  explicit RegExpObject(Context& cx) : cx_(cx) {}
  std::u16string typeName() const override { return u"IRegExp2"; }

  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"Pattern", u"IgnoreCase", u"Global", u"Multiline", u"Test", u"Execute", u"Replace"})
      if (memberIs(n, m)) return true;
    return false;
  }

  Value callMethod(std::u16string_view n, Args a) override {
    if (memberIs(n, u"Pattern")) {
      a.expect(0, 0);
      return Value(pattern_);
    }
    if (memberIs(n, u"IgnoreCase")) {
      a.expect(0, 0);
      return Value(ignoreCase_);
    }
    if (memberIs(n, u"Global")) {
      a.expect(0, 0);
      return Value(global_);
    }
    if (memberIs(n, u"Multiline")) {
      a.expect(0, 0);
      return Value(multiline_);
    }
    if (memberIs(n, u"Test")) {
      a.expect(1, 1);
      std::u16string s = textArg(a[0]);
      return Value(search(s, 0));
    }
    if (memberIs(n, u"Execute")) {
      a.expect(1, 1);
      return execute(textArg(a[0]));
    }
    if (memberIs(n, u"Replace")) {
      a.expect(2, 2);
      // A Boolean replacement is its number: "-1" or "0".
      Value with = plain(cx_, a[1]);
      std::u16string withText =
          with.type() == Type::Boolean ? std::u16string(with.asBool() ? u"-1" : u"0") : with.toConcatString();
      return replace(textArg(a[0]), withText);
    }
    raise(err::NoSuchMember);
  }

  void letProperty(std::u16string_view n, Args a, const Value& v) override {
    a.expect(0, 0);
    Value pv = plain(cx_, v);
    if (memberIs(n, u"Pattern"))
      pattern_ = pv.toConcatString();
    else if (memberIs(n, u"IgnoreCase"))
      ignoreCase_ = pv.toBool();
    else if (memberIs(n, u"Global"))
      global_ = pv.toBool();
    else if (memberIs(n, u"Multiline"))
      multiline_ = pv.toBool();
    else
      raise(err::NoSuchMember);
    code_.reset();
  }

 private:
  std::u16string textArg(const Value& v) { return plain(cx_, v).toConcatString(); }

  void compile() {
    if (code_) return;
    uint32_t opts =
        PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
    if (ignoreCase_) opts |= PCRE2_CASELESS;
    opts |= multiline_ ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_compile_context* ccx = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(ccx, PCRE2_NEWLINE_LF);
    pcre2_code* c = pcre2_compile(sptr(pattern_), pattern_.size(), opts, &errorCode, &errorOffset, ccx);
    pcre2_compile_context_free(ccx);
    if (!c) raise(compileErrorNumber(errorCode), errorDescription(compileErrorNumber(errorCode)));
    pcre2_jit_compile(c, PCRE2_JIT_COMPLETE);
    code_.reset(c);
    data_.reset(pcre2_match_data_create_from_pattern(c, nullptr));
    uint32_t groups = 0;
    pcre2_pattern_info(c, PCRE2_INFO_CAPTURECOUNT, &groups);
    groups_ = groups;
  }

  static int32_t compileErrorNumber(int code) {
    switch (code) {
      case PCRE2_ERROR_QUANTIFIER_INVALID:
      case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
      case PCRE2_ERROR_QUANTIFIER_TOO_BIG: return 5018;      // Unexpected quantifier
      case PCRE2_ERROR_MISSING_SQUARE_BRACKET: return 5019;  // Expected ']'
      case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS: return 5020;
      case PCRE2_ERROR_CLASS_RANGE_ORDER: return 5021;
      default: return 5017;
    }
  }

  // Runs one match from `start`; fills ov_ and returns false when none.
  bool search(const std::u16string& s, size_t start) {
    compile();
    int rc = pcre2_match(code_.get(), sptr(s), s.size(), start, 0, data_.get(), nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    if (rc < 0) raise(err::OutOfStackSpace);
    ov_ = pcre2_get_ovector_pointer(data_.get());
    return true;
  }

  // Position to search from after a match [b, e): past an empty match move
  // on by one character.
  static size_t nextStart(const std::u16string& s, size_t b, size_t e) {
    if (e > b) return e;
    size_t n = e + 1;
    if (n < s.size() && s[e] >= 0xD800 && s[e] < 0xDC00 && s[n] >= 0xDC00 && s[n] < 0xE000) ++n;
    return n;
  }

  Value makeMatch(const std::u16string& s) {
    std::vector<Value> subs;
    subs.reserve(groups_);
    for (uint32_t g = 1; g <= groups_; ++g) {
      if (ov_[2 * g] == PCRE2_UNSET)
        subs.emplace_back();
      else
        subs.emplace_back(s.substr(ov_[2 * g], ov_[2 * g + 1] - ov_[2 * g]));
    }
    return Value(new MatchObject(s.substr(ov_[0], ov_[1] - ov_[0]), static_cast<int32_t>(ov_[0]), std::move(subs)));
  }

  Value execute(const std::u16string& s) {
    std::vector<Value> items;
    size_t pos = 0;
    while (pos <= s.size() && search(s, pos)) {
      items.push_back(makeMatch(s));
      if (!global_) break;
      pos = nextStart(s, ov_[0], ov_[1]);
    }
    return Value(new ItemCollection(u"IMatchCollection2", std::move(items)));
  }

  void expand(std::u16string& out, const std::u16string& s, const std::u16string& repl) {
    for (size_t i = 0; i < repl.size(); ++i) {
      char16_t c = repl[i];
      if (c != u'$' || i + 1 >= repl.size()) {
        out.push_back(c);
        continue;
      }
      char16_t k = repl[i + 1];
      if (k == u'$') {
        out.push_back(u'$');
        ++i;
        continue;
      }
      if (k == u'&') {
        out.append(s, ov_[0], ov_[1] - ov_[0]);
        ++i;
        continue;
      }
      if (k == u'`') {
        out.append(s, 0, ov_[0]);
        ++i;
        continue;
      }
      if (k == u'\'') {
        out.append(s, ov_[1], std::u16string::npos);
        ++i;
        continue;
      }
      if (k >= u'0' && k <= u'9') {
        // $n or $nn, taking two digits only when that group exists.
        uint32_t g = k - u'0';
        size_t used = 1;
        if (i + 2 < repl.size() && repl[i + 2] >= u'0' && repl[i + 2] <= u'9') {
          uint32_t g2 = g * 10 + (repl[i + 2] - u'0');
          if (g2 >= 1 && g2 <= groups_) {
            g = g2;
            used = 2;
          }
        }
        if (g >= 1 && g <= groups_) {
          if (ov_[2 * g] != PCRE2_UNSET) out.append(s, ov_[2 * g], ov_[2 * g + 1] - ov_[2 * g]);
          i += used;
          continue;
        }
      }
      out.push_back(c);
    }
  }

  Value replace(const std::u16string& s, const std::u16string& repl) {
    std::u16string out;
    out.reserve(s.size());
    size_t pos = 0, copied = 0;
    while (pos <= s.size() && search(s, pos)) {
      size_t b = ov_[0], e = ov_[1];
      out.append(s, copied, b - copied);
      expand(out, s, repl);
      copied = e;
      if (!global_) break;
      pos = nextStart(s, b, e);
    }
    out.append(s, copied, std::u16string::npos);
    return Value(std::move(out));
  }

  Context& cx_;
  std::u16string pattern_;
  bool ignoreCase_ = false, global_ = false, multiline_ = false;
  CodePtr code_;
  MatchDataPtr data_;
  PCRE2_SIZE* ov_ = nullptr;
  uint32_t groups_ = 0;
};

}  // namespace

void register_regexp(Registry& r) {
  r.addClass(u"RegExp", [](Context& cx) -> Ref<Object> { return makeRef<RegExpObject>(cx); });
  r.addProgId(u"VBScript.RegExp", [](Context& cx) -> Ref<Object> { return makeRef<RegExpObject>(cx); });
}

}  // namespace vbs
