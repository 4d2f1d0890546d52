#include <gtest/gtest.h>

#include "lib_test_support.h"

namespace vbs::test {
namespace {

struct Re {
  TestContext cx;
  Ref<Object> re;
  explicit Re(const char16_t* pattern, bool global = false, bool ignoreCase = false, bool multiline = false) {
    re = Registry::standard().findClass(u"RegExp")(cx);
    re->letProperty(u"Pattern", Args(), Value(pattern));
    re->letProperty(u"Global", Args(), Value(global));
    re->letProperty(u"IgnoreCase", Args(), Value(ignoreCase));
    re->letProperty(u"Multiline", Args(), Value(multiline));
  }
  bool test(const char16_t* s) { return invoke(re.get(), u"Test", {Value(s)}).asBool(); }
  std::string replace(const char16_t* s, const char16_t* with) {
    return invoke(re.get(), u"Replace", {Value(s), Value(with)}).toUtf8();
  }
  // "value@index" for each match, submatches in parentheses.
  std::string execute(const char16_t* s) {
    Value ms = invoke(re.get(), u"Execute", {Value(s)});
    std::string out;
    for (const Value& m : ms.asObject()->enumerate()) {
      Object* mo = m.asObject();
      if (!out.empty()) out += " ";
      out += repr(invoke(mo, u"Value")) + "@" + repr(invoke(mo, u"FirstIndex"));
      Value subs = invoke(mo, u"SubMatches");
      int n = invoke(subs.asObject(), u"Count").asLong();
      if (n) {
        out += "(";
        for (int i = 0; i < n; ++i) out += (i ? "," : "") + repr(invoke(subs.asObject(), u"Item", {Value(i)}));
        out += ")";
      }
    }
    return out;
  }
};

TEST(RegExpTest, TestFollowsTheFlags) {
  struct {
    const char16_t* pattern;
    bool ic, ml;
    const char16_t* text;
    bool expected;
  } cases[] = {
      {u"^abc$", false, false, u"abc", true},       {u"^abc$", false, false, u"ABC", false},
      {u"^abc$", true, false, u"ABC", true},        {u"^\u00e9t\u00e9$", true, false, u"\u00c9T\u00c9", true},
      {u"abc$", false, false, u"abc\n", false},  // $ only at the very end
      {u"abc$", false, true, u"abc\nxyz", true},    {u"^xyz", false, false, u"abc\nxyz", false},
      {u"^xyz", false, true, u"abc\nxyz", true},    {u"a.c", false, false, u"a\nc", false},
      {u"a.c", false, false, u"a\rc", true},        {u"\\u0041\\x42", false, false, u"AB", true},
      {u"(a)|\\1b", false, false, u"b", true},  // unset group matches empty
      {u"[]a", false, false, u"a", false},      // empty class matches nothing
      {u"\\d+\\s\\w", false, false, u"12 x", true}, {u"", false, false, u"", true},
  };
  for (const auto& c : cases) {
    Re re(c.pattern, false, c.ic, c.ml);
    EXPECT_EQ(re.test(c.text), c.expected) << utf8(c.pattern) << " on " << utf8(c.text);
  }
}

TEST(RegExpTest, ExecuteCollectsMatchesAndSubMatches) {
  struct {
    const char16_t* pattern;
    bool global;
    const char16_t* text;
    const char* expected;
  } cases[] = {
      {u"\\d+", false, u"a12b345", "12@1"},
      {u"\\d+", true, u"a12b345", "12@1 345@4"},
      {u"(\\w)(\\d)?", true, u"a1b", "a1@0(a,1) b@2(b,Empty)"},
      {u"a*", true, u"baaa", "@0 aaa@1 @4"},
      {u"x", true, u"abc", ""},
      {u"\u4e2d", true, u"a\u4e2d\u4e2d", "\u4e2d@1 \u4e2d@2"},
  };
  for (const auto& c : cases) {
    Re re(c.pattern, c.global);
    EXPECT_EQ(re.execute(c.text), c.expected) << utf8(c.pattern);
  }
}

TEST(RegExpTest, ReplaceExpandsDollarCodes) {
  struct {
    const char16_t* pattern;
    bool global;
    const char16_t* text;
    const char16_t* with;
    const char* expected;
  } cases[] = {
      {u"o", false, u"foo", u"0", "f0o"},
      {u"o", true, u"foo", u"0", "f00"},
      {u"(\\w+)@(\\w+)", true, u"me@host", u"$2 at $1", "host at me"},
      {u"b", false, u"abc", u"[$&|$`|$']", "a[b|a|c]c"},
      {u"b", false, u"abc", u"$$", "a$c"},
      {u"b", false, u"abc", u"$9$", "a$9$c"},
      {u"(a)(b)?", true, u"ac", u"<$2>", "<>c"},
      {u"", true, u"ab", u"-", "-a-b-"},
      {u"X", true, u"aXbxc", u"_", "a_bxc"},
  };
  for (const auto& c : cases) {
    Re re(c.pattern, c.global);
    EXPECT_EQ(re.replace(c.text, c.with), c.expected) << utf8(c.pattern);
  }
  Re ic(u"X", true, true);
  EXPECT_EQ(ic.replace(u"aXbxc", u"_"), "a_b_c");
}

TEST(RegExpTest, ObjectsBehaveAsScriptsExpect) {
  Re re(u"(\\d)", true);
  Value ms = invoke(re.re.get(), u"Execute", {Value(u"1 2")});
  Object* m = ms.asObject();
  EXPECT_EQ(utf8(m->typeName()), "IMatchCollection2");
  EXPECT_EQ(repr(invoke(m, u"Count")), "2");
  Value second = invoke(m, u"", {Value(1)});  // default member Item
  EXPECT_EQ(repr(invoke(second.asObject(), u"")), "2");
  EXPECT_EQ(repr(invoke(second.asObject(), u"Length")), "1");
  EXPECT_EQ(errorOf([&] { invoke(m, u"Item", {Value(2)}); }), 5);
  EXPECT_EQ(repr(invoke(re.re.get(), u"Pattern")), "(\\d)");
  EXPECT_EQ(repr(invoke(re.re.get(), u"Global")), "True");
  EXPECT_EQ(errorOf([&] { invoke(re.re.get(), u"Nope"); }), 438);
}

TEST(RegExpTest, BadPatternsRaiseRegExpErrors) {
  struct {
    const char16_t* pattern;
    int error;
  } cases[] = {
      {u"(abc", 5020}, {u"[abc", 5019}, {u"*a", 5018}, {u"[z-a]", 5021}, {u"a{2,1}", 5018},
  };
  for (const auto& c : cases) {
    Re re(c.pattern);
    EXPECT_EQ(errorOf([&] { re.test(u"abc"); }), c.error) << utf8(c.pattern);
  }
}

}  // namespace
}  // namespace vbs::test
