// Scripting.Dictionary: an insertion-ordered map from keys to values.
//
// Keys are compared by value: numbers of any subtype are equal when their
// values are (1, 1.0 and CByte(1) are one key), strings compare binary or,
// with CompareMode = vbTextCompare, without case; objects by identity.
#include <cmath>
#include <optional>
#include <unordered_map>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;

namespace {

constexpr int32_t kElementNotFound = 32811;

struct Key {
  enum Kind : uint8_t { Empty, Null, Number, Boolean, String, Object } kind = Empty;
  double num = 0;
  std::u16string text;  // folded for text compare
  const void* obj = nullptr;

  bool operator==(const Key& o) const { return kind == o.kind && num == o.num && text == o.text && obj == o.obj; }
};

struct KeyHash {
  size_t operator()(const Key& k) const noexcept {
    size_t h = std::hash<int>()(k.kind);
    h ^= std::hash<double>()(k.num) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h ^= std::hash<std::u16string>()(k.text) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h ^= std::hash<const void*>()(k.obj);
    return h;
  }
};

class Dictionary : public Object {
 public:
  explicit Dictionary(Context& cx) : cx_(cx) {}
  std::u16string typeName() const override { return u"Dictionary"; }

  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"Add", u"Exists", u"Item", u"Items", u"Keys", u"Remove", u"RemoveAll", u"Count", u"CompareMode",
                   u"Key", u"HashVal"})
      if (equalsNoCase(n, m)) return true;
    return false;
  }

  Value callMethod(std::u16string_view n, Args a) override {
    if (n.empty() || equalsNoCase(n, u"Item")) {
      a.expect(1, 1);
      // Reading a missing key adds it with an Empty value.
      return entries_[slotFor(a[0], true)]->value;
    }
    if (equalsNoCase(n, u"Count")) {
      a.expect(0, 0);
      return Value(static_cast<int32_t>(index_.size()));
    }
    if (equalsNoCase(n, u"Exists")) {
      a.expect(1, 1);
      return Value(index_.count(makeKey(a[0])) != 0);
    }
    if (equalsNoCase(n, u"Add")) {
      a.expect(2, 2);
      Key k = makeKey(a[0]);
      if (index_.count(k)) raise(err::KeyAlreadyExists);
      insert(std::move(k), keyValue(a[0]), stored(a[1]));
      return {};
    }
    if (equalsNoCase(n, u"Remove")) {
      a.expect(1, 1);
      auto it = index_.find(makeKey(a[0]));
      if (it == index_.end()) raise(kElementNotFound, u"Element not found");
      entries_[it->second].reset();
      index_.erase(it);
      ++holes_;
      compactIfSparse();
      return {};
    }
    if (equalsNoCase(n, u"RemoveAll")) {
      a.expect(0, 0);
      entries_.clear();
      index_.clear();
      holes_ = 0;
      return {};
    }
    if (equalsNoCase(n, u"Keys") || equalsNoCase(n, u"Items")) {
      a.expect(0, 0);
      bool keys = equalsNoCase(n, u"Keys");
      std::vector<Value> out;
      out.reserve(index_.size());
      for (const auto& e : entries_)
        if (e) out.push_back(keys ? e->key : e->value);
      return Value(Array::fromValues(std::move(out)));
    }
    if (equalsNoCase(n, u"CompareMode")) {
      a.expect(0, 0);
      return Value(compareMode_);
    }
    if (equalsNoCase(n, u"HashVal")) {
      a.expect(1, 1);
      return Value(static_cast<int32_t>(KeyHash()(makeKey(a[0])) % 1201));
    }
    raise(err::NoSuchMember);
  }

  void letProperty(std::u16string_view n, Args a, const Value& v) override {
    if (n.empty() || equalsNoCase(n, u"Item")) {
      a.expect(1, 1);
      entries_[slotFor(a[0], true)]->value = stored(plain(cx_, v));
      return;
    }
    if (equalsNoCase(n, u"Key")) {
      // d.Key(old) = new renames a key in place.
      a.expect(1, 1);
      auto it = index_.find(makeKey(a[0]));
      if (it == index_.end()) raise(kElementNotFound, u"Element not found");
      Key nk = makeKey(v);
      if (index_.count(nk)) raise(err::KeyAlreadyExists);
      size_t slot = it->second;
      index_.erase(it);
      entries_[slot]->key = keyValue(v);
      index_.emplace(std::move(nk), slot);
      return;
    }
    if (equalsNoCase(n, u"CompareMode")) {
      a.expect(0, 0);
      int32_t mode = plain(cx_, v).toLong();
      if (mode < 0) raise(err::InvalidProcedureCall);
      if (!index_.empty()) raise(err::InvalidProcedureCall);
      compareMode_ = mode;
      return;
    }
    raise(err::NoSuchMember);
  }

  void setProperty(std::u16string_view n, Args a, const Value& v) override {
    if (n.empty() || equalsNoCase(n, u"Item")) {
      a.expect(1, 1);
      entries_[slotFor(a[0], true)]->value = v;
      return;
    }
    letProperty(n, a, v);
  }

  std::vector<Value> enumerate() override {
    std::vector<Value> out;
    out.reserve(index_.size());
    for (const auto& e : entries_)
      if (e) out.push_back(e->key);
    return out;
  }

 private:
  struct Entry {
    Value key;
    Value value;
  };

  static Value stored(const Value& v) { return ownArray(v); }

  // Keys are stored as given, except that arrays are refused.
  Value keyValue(const Value& v) {
    if (v.isArray()) raise(err::TypeMismatch);
    return v;
  }

  Key makeKey(const Value& v) {
    Key k;
    switch (v.type()) {
      case Type::Empty: k.kind = Key::Empty; break;
      case Type::Null: k.kind = Key::Null; break;
      case Type::Boolean:
        k.kind = Key::Boolean;
        k.num = v.asBool() ? -1 : 0;
        break;
      case Type::String:
        k.kind = Key::String;
        k.text = compareMode_ == 0 ? v.asString() : toLower(v.asString());
        break;
      case Type::Object:
        k.kind = Key::Object;
        k.obj = v.asObject();
        break;
      case Type::Array: raise(err::TypeMismatch);
      case Type::Error:
        k.kind = Key::Number;
        k.num = v.asErrorCode();
        break;
      default:
        k.kind = Key::Number;
        k.num = v.toDouble();
        break;
    }
    return k;
  }

  size_t slotFor(const Value& keyArg, bool create) {
    Key k = makeKey(keyArg);
    auto it = index_.find(k);
    if (it != index_.end()) return it->second;
    if (!create) raise(kElementNotFound, u"Element not found");
    return insert(std::move(k), keyValue(keyArg), Value());
  }

  size_t insert(Key k, Value key, Value value) {
    entries_.emplace_back(Entry{std::move(key), std::move(value)});
    size_t slot = entries_.size() - 1;
    index_.emplace(std::move(k), slot);
    return slot;
  }

  void compactIfSparse() {
    if (holes_ < 32 || holes_ * 2 < entries_.size()) return;
    std::vector<std::optional<Entry>> kept;
    kept.reserve(index_.size());
    for (auto& e : entries_)
      if (e) kept.push_back(std::move(e));
    entries_ = std::move(kept);
    index_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) index_.emplace(makeKey(entries_[i]->key), i);
    holes_ = 0;
  }

  Context& cx_;
  std::vector<std::optional<Entry>> entries_;
  std::unordered_map<Key, size_t, KeyHash> index_;
  size_t holes_ = 0;
  int32_t compareMode_ = 0;
};

}  // namespace

void register_dictionary(Registry& r) {
  r.addProgId(u"Scripting.Dictionary", [](Context& cx) -> Ref<Object> { return makeRef<Dictionary>(cx); });
}

}  // namespace vbs
