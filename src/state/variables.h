#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/platform_error.h"
#include "platform/vbscript/value.h"

// Project variables: the element classes, their ordered keyed collections, and the
// operations the game uses on them (loading, reading, changing, the status listing).
namespace storyloom {

class EditorAndGame;

class ClassVariable {
 public:
  using ValueType = qint16;
  QString Name;
  qint16 Value = 0;
};

class ClassVariableString {
 public:
  using ValueType = QString;
  QString Name;
  QString Value;
};

class ClassVariableVariant {
 public:
  using ValueType = vbs::Value;
  QString Name;
  vbs::Value Value;
};

// An ordered collection with optional unique keys. Elements are shared so that script
// objects may keep referring to one after it leaves the collection.
template <class Element>
class KeyedCollection {
 public:
  using Pointer = std::shared_ptr<Element>;
  using ValueType = typename Element::ValueType;
  struct Entry {
    QString key;
    Pointer element;
  };

  Pointer Add(const QString& Name, const ValueType& Value, const QString& sKey = {}) {
    if (!sKey.isEmpty() && keys_.contains(sKey)) throw PlatformError::keyAlreadyUsed();
    auto element = std::make_shared<Element>();
    element->Name = Name;
    element->Value = Value;
    entries_.push_back({sKey, element});
    if (!sKey.isEmpty()) keys_.insert(sKey, element);
    return element;
  }

  // 1-based index.
  Pointer Item(int index) const {
    if (index < 1 || index > Count()) throw PlatformError::invalidProcedureCall();
    return entries_[static_cast<size_t>(index - 1)].element;
  }
  Pointer Item(const QString& key) const {
    const auto it = keys_.find(key);
    if (it == keys_.end()) throw PlatformError::invalidProcedureCall();
    return it.value();
  }
  // A number is an index, anything else a key.
  Pointer Item(const QVariant& indexOrKey) const {
    if (indexOrKey.typeId() == QMetaType::QString) return Item(indexOrKey.toString());
    bool ok = false;
    const int index = indexOrKey.toInt(&ok);
    if (!ok) throw PlatformError::invalidProcedureCall();
    return Item(index);
  }

  int Count() const { return static_cast<int>(entries_.size()); }

  void Remove(int index) {
    if (index < 1 || index > Count()) throw PlatformError::invalidProcedureCall();
    const auto it = entries_.begin() + (index - 1);
    if (!it->key.isEmpty()) keys_.remove(it->key);
    entries_.erase(it);
  }
  void Remove(const QString& key) {
    const auto found = keys_.find(key);
    if (found == keys_.end()) throw PlatformError::invalidProcedureCall();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->key == key) {
        entries_.erase(it);
        break;
      }
    }
    keys_.erase(found);
  }
  void Remove(const QVariant& indexOrKey) {
    if (indexOrKey.typeId() == QMetaType::QString) return Remove(indexOrKey.toString());
    bool ok = false;
    const int index = indexOrKey.toInt(&ok);
    if (!ok) throw PlatformError::invalidProcedureCall();
    Remove(index);
  }

  // Removes every element, last first.
  void Clear() {
    while (Count() > 0) Remove(Count());
  }

  // Enumeration in order (the collection's NewEnum).
  class const_iterator {
   public:
    using Inner = typename std::vector<Entry>::const_iterator;
    explicit const_iterator(Inner it) : it_(it) {}
    const Pointer& operator*() const { return it_->element; }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator!=(const const_iterator& o) const { return it_ != o.it_; }
    bool operator==(const const_iterator& o) const { return it_ == o.it_; }

   private:
    Inner it_;
  };
  const_iterator begin() const { return const_iterator(entries_.begin()); }
  const_iterator end() const { return const_iterator(entries_.end()); }
  const_iterator NewEnum() const { return begin(); }

 private:
  std::vector<Entry> entries_;
  QHash<QString, Pointer> keys_;
};

using VariablesCollection = KeyedCollection<ClassVariable>;
using VariablesStrCollection = KeyedCollection<ClassVariableString>;
using VariantCollection = KeyedCollection<ClassVariableVariant>;

// The project variables of one game: the integer ones that hotspots test and change, and
// the variant ones that scripts use. Names are not keys: two variables may share a name,
// and every look-up by name is an exact, case-sensitive scan in order.
class ProjectVariables {
 public:
  VariablesCollection Variables;
  VariantCollection VariablesVariant;

  static constexpr qint16 kMissing = -32000;

  // Empties both collections and fills them from Config\Variables: one ignored field, the
  // integer variables' names, "***", then the variant variables' names.
  void LoadVariables(EditorAndGame& module);
  // Empties both collections (a new game).
  void EmptyVariables();
  // Whether a variable of either kind is named "AllowControlsReferences" (any case).
  bool HasAllowControlsReferencesVariable() const;
  qint16 GetVariableValue(const QString& VariableName) const;
  // Every variable of that name; -1 toggles the lowest bit.
  void ChangeVariableValue(const QString& VariableName, qint16 NewValue);
  void ChangeVariableVariantValue(const QString& VariableName, const vbs::Value& NewValue);

  // The lines of the status listing, numbered from 0.
  QStringList VariablesStatusLines() const;
  // The Debug menu's "View variables status...": the listing in boxes of 25 lines.
  void mnuViewVariables_Click(EditorAndGame& module) const;
};

}  // namespace storyloom
