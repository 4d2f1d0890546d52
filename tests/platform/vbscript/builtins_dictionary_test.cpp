#include <gtest/gtest.h>

#include "lib_test_support.h"

namespace vbs::test {
namespace {

struct Dict {
  TestContext cx;
  Ref<Object> d = cx.createObject(u"Scripting.Dictionary");
  Value get(std::u16string_view m, std::vector<Value> a = {}) { return invoke(d.get(), m, std::move(a)); }
  void add(Value k, Value v) { get(u"Add", {std::move(k), std::move(v)}); }
  void let(std::u16string_view m, Value k, Value v) {
    Value* p = &k;
    d->letProperty(m, Args(&p, 1), v);
  }
  void setMode(int mode) { d->letProperty(u"CompareMode", Args(), Value(mode)); }
  std::string keys() { return repr(get(u"Keys")); }
  std::string items() { return repr(get(u"Items")); }
};

TEST(DictionaryTest, KeepsInsertionOrderThroughRemoves) {
  Dict d;
  for (int i = 0; i < 100; ++i) d.add(Value(i), Value(i * 10));
  for (int i = 0; i < 100; ++i)
    if (i % 3) d.get(u"Remove", {Value(i)});
  EXPECT_EQ(repr(d.get(u"Count")), "34");
  std::vector<Value> keys = d.d->enumerate();
  ASSERT_EQ(keys.size(), 34u);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i].toLong(), static_cast<int>(i * 3));
  EXPECT_EQ(repr(d.get(u"Item", {Value(99)})), "990");
}

TEST(DictionaryTest, KeysCompareByValue) {
  Dict d;
  d.add(Value(int16_t(1)), Value(u"one"));
  EXPECT_TRUE(d.get(u"Exists", {Value(1.0)}).asBool());
  EXPECT_TRUE(d.get(u"Exists", {Value(uint8_t(1))}).asBool());
  EXPECT_FALSE(d.get(u"Exists", {Value(u"1")}).asBool());
  d.add(Value(u"a"), Value(1));
  EXPECT_FALSE(d.get(u"Exists", {Value(u"A")}).asBool());
  EXPECT_EQ(errorOf([&] { d.add(Value(1), Value(2)); }), 457);
  EXPECT_EQ(errorOf([&] { d.get(u"Remove", {Value(u"zz")}); }), 32811);
}

TEST(DictionaryTest, TextCompareModeIgnoresCase) {
  Dict d;
  d.setMode(1);
  d.add(Value(u"Key"), Value(1));
  EXPECT_TRUE(d.get(u"Exists", {Value(u"KEY")}).asBool());
  EXPECT_EQ(errorOf([&] { d.add(Value(u"kEy"), Value(2)); }), 457);
  EXPECT_EQ(d.keys(), "[Key]");  // the key keeps the case it was added with
  // Changing the mode of a non-empty dictionary is refused.
  EXPECT_EQ(errorOf([&] { d.setMode(0); }), 5);
}

TEST(DictionaryTest, ItemReadsAndWritesAdd) {
  Dict d;
  EXPECT_EQ(repr(d.get(u"", {Value(u"missing")})), "Empty");  // reading adds the key
  EXPECT_EQ(repr(d.get(u"Count")), "1");
  d.let(u"Item", Value(u"x"), Value(5));
  d.let(u"", Value(u"x"), Value(6));
  EXPECT_EQ(d.keys(), "[missing|x]");
  EXPECT_EQ(d.items(), "[Empty|6]");
  d.let(u"Key", Value(u"x"), Value(u"y"));
  EXPECT_EQ(d.keys(), "[missing|y]");
  EXPECT_EQ(errorOf([&] { d.let(u"Key", Value(u"y"), Value(u"missing")); }), 457);
  EXPECT_EQ(errorOf([&] { d.let(u"Key", Value(u"q"), Value(u"r")); }), 32811);
  d.get(u"RemoveAll");
  EXPECT_EQ(d.keys(), "[]");
  EXPECT_EQ(utf8(d.d->typeName()), "Dictionary");
}

TEST(DictionaryTest, ObjectKeysUseIdentity) {
  Dict d, other;
  d.add(Value(other.d.get()), Value(1));
  EXPECT_TRUE(d.get(u"Exists", {Value(other.d.get())}).asBool());
  EXPECT_FALSE(d.get(u"Exists", {Value(d.d.get())}).asBool());
  d.get(u"RemoveAll");  // drop the reference before `other` goes away
}

}  // namespace
}  // namespace vbs::test
