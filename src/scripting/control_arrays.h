#pragma once
#include <QFont>
#include <QGraphicsItem>
#include <QRectF>
#include <functional>
#include <initializer_list>

#include "platform/vbscript/object.h"
#include "scripting/control_element.h"

// Controls of the game picture as scripts see them, and the control arrays that hold them.
// A control object keeps no pointer to its item: it names the item by its array index and
// the serial number the item was given when the object first reached it, and looks it up
// on every use. An item that is gone (unloaded, or replaced by a frame change) makes every
// use raise 340 "Control array element 'N' doesn't exist".
namespace storyloom {

class Game;

// Keys of what a control keeps on its item (QGraphicsItem::data).
enum ControlDataKey : int {
  kSerial = 0x5C01,
  kTag,
  kMousePointer,
  kMouseIcon,
  kBackColor,
  kFontName,
  kFontSize,
};

// The members a control may have; each kind of control has some of them.
enum class Member {
  Left,
  Top,
  Width,
  Height,
  Visible,
  Enabled,
  Picture,
  Caption,
  ForeColor,
  BackColor,
  BackStyle,
  FontName,
  FontSize,
  FontBold,
  FontItalic,
  FontUnderline,
  FontStrikethru,
  ToolTipText,
  Tag,
  MousePointer,
  MouseIcon,
  Stretch,
  AutoSize,
  Index,
  Name,
  Move,
  ZOrder,
  Refresh,
  FileName,
  Play,
  Stop,
};
using Members = std::initializer_list<Member>;

class GraphicsControl : public vbs::Object, public ScriptControlElement {
 public:
  // index: the element of its array (-1 for a control that is no array element).
  GraphicsControl(Game& game, int index) : game_(game), index_(index) {}

  bool hasMember(std::u16string_view name) const override;
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override;
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override;
  void letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) override;
  void setProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) override;

  void createElement() override;
  void deleteElement() override;

  // The item now at the element's place; 340 when there is none or it is another one.
  QGraphicsItem& item();
  // Ties the object to the item now at its place, when there is one.
  void bindIfLoaded();

 protected:
  virtual Members members() const = 0;
  // The item at an index of the array (index 0 the template), or nullptr.
  virtual QGraphicsItem* lookup(int index) = 0;
  virtual void load(int index);
  virtual void unload(int index);
  // The default member ("" in script): Caption for labels, Picture for images.
  virtual Member defaultMember() const = 0;
  virtual QString controlName() const = 0;

  // Geometry in twips relative to the picture.
  virtual QRectF twipsRect() = 0;
  virtual void setTwipsRect(const QRectF& rect) = 0;
  // Members of one kind; the base handles those every graphics control has the same way.
  virtual vbs::Value get(Member m);
  virtual void let(Member m, const vbs::Value& value);
  // The pointer of MousePointer 0 on this control.
  virtual QCursor standardPointer();
  // A new pointer chosen by MousePointer / MouseIcon.
  virtual void applyPointer(const QCursor& cursor) { item().setCursor(cursor); }

  QFont font() { return fontOf(item()); }
  void setFont(const QFont& font);
  virtual QFont fontOf(QGraphicsItem&) { return {}; }
  virtual void setFontOf(QGraphicsItem&, const QFont&) {}

  Game& game_;
  int index_;

 private:
  bool supports(Member m) const;
  void run(Member m, vbs::Args args);
  quint64 serial_ = 0;
};

// A control array: Hotspot(i), Item, Count, UBound, LBound and For Each over the loaded
// elements (element 0, the template, included).
class ControlArray : public vbs::Object {
 public:
  using ElementMaker = std::function<vbs::Ref<vbs::Object>(int index)>;
  using Loaded = std::function<bool(int index)>;
  using Highest = std::function<int()>;
  ControlArray(std::u16string name, ElementMaker element, Loaded loaded, Highest highest)
      : name_(std::move(name)),
        element_(std::move(element)),
        loaded_(std::move(loaded)),
        highest_(std::move(highest)) {}

  std::u16string typeName() const override { return name_; }
  bool hasMember(std::u16string_view name) const override;
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override;
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override { return getProperty(name, args); }
  void letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) override;
  std::vector<vbs::Value> enumerate() override;

 private:
  vbs::Value element(const vbs::Value& index);
  std::u16string name_;
  ElementMaker element_;
  Loaded loaded_;
  Highest highest_;
};

// The element of an index (the first argument) of an array.
int elementIndexOf(const vbs::Value& value);

}  // namespace storyloom
