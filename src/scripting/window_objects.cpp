// The game window as scripts see it ("WindowObject"), its message bar ("MessageObject",
// "FrameMessageObject") and its TimerObject array of script timers.
#include <QPointer>
#include <QTimer>

#include "game/frame_texts.h"
#include "game/game.h"
#include "game/message_bar.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "platform/twips.h"
#include "scripting/control_arrays.h"
#include "scripting/control_objects.h"
#include "scripting/control_properties.h"
#include "scripting/timed_events.h"
#include "shell/display.h"

namespace storyloom {

namespace {

// LabelMessageBox: the label of the message bar; its place is relative to the bar.
class MessageLabelControl : public GraphicsControl {
 public:
  explicit MessageLabelControl(Game& game) : GraphicsControl(game, -1) {}
  std::u16string typeName() const override { return u"Label"; }

 protected:
  Members members() const override {
    static const Members kMembers = {
        Member::Left,        Member::Top,      Member::Width,        Member::Height,        Member::Visible,
        Member::Enabled,     Member::Caption,  Member::ForeColor,    Member::BackColor,     Member::FontName,
        Member::FontSize,    Member::FontBold, Member::FontItalic,   Member::FontUnderline, Member::FontStrikethru,
        Member::ToolTipText, Member::Tag,      Member::MousePointer, Member::MouseIcon,     Member::Name,
        Member::Move,        Member::Refresh};
    return kMembers;
  }
  QGraphicsItem* lookup(int) override { return game_.messageBar().LabelMessageBox(); }
  Member defaultMember() const override { return Member::Caption; }
  QString controlName() const override { return QStringLiteral("LabelMessageBox"); }
  QGraphicsSimpleTextItem& label() { return static_cast<QGraphicsSimpleTextItem&>(item()); }
  QFont fontOf(QGraphicsItem& i) override { return static_cast<QGraphicsSimpleTextItem&>(i).font(); }
  void setFontOf(QGraphicsItem& i, const QFont& f) override { static_cast<QGraphicsSimpleTextItem&>(i).setFont(f); }

  QRectF twipsRect() override {
    QGraphicsSimpleTextItem& l = label();
    const QRectF box = l.boundingRect();
    return {l.pos().x() * kTwipsPerPixel, l.pos().y() * kTwipsPerPixel, box.width() * kTwipsPerPixel,
            box.height() * kTwipsPerPixel};
  }
  // The label sizes itself to its text: only its place follows a new rectangle.
  void setTwipsRect(const QRectF& r) override { label().setPos(r.left() / kTwipsPerPixel, r.top() / kTwipsPerPixel); }

  vbs::Value get(Member m) override {
    QGraphicsSimpleTextItem& l = label();
    if (m == Member::Caption) return scriptText(game_.messageBar().text());
    if (m == Member::ForeColor) return vbs::Value(static_cast<int32_t>(numberFromColor(l.brush().color())));
    if (m == Member::BackColor) {
      const QVariant stored = l.data(kBackColor);
      return vbs::Value(static_cast<int32_t>(stored.isValid() ? stored.toInt() : 0));
    }
    return GraphicsControl::get(m);
  }
  void let(Member m, const vbs::Value& v) override {
    QGraphicsSimpleTextItem& l = label();
    if (m == Member::Caption) {
      game_.messageBar().setCaption(textValue(v));
    } else if (m == Member::ForeColor) {
      l.setBrush(colorFromNumber(colourValue(v)));
    } else if (m == Member::BackColor) {
      // The label is transparent over the bar: the colour is kept and shows nowhere.
      l.setData(kBackColor, colourValue(v));
    } else {
      GraphicsControl::let(m, v);
    }
  }
};

// FrameMessageBox: the message bar itself.
class MessageFrameControl : public GraphicsControl {
 public:
  explicit MessageFrameControl(Game& game) : GraphicsControl(game, -1) {}
  std::u16string typeName() const override { return u"Frame"; }

 protected:
  Members members() const override {
    static const Members kMembers = {Member::Left,    Member::Top,          Member::Width,     Member::Height,
                                     Member::Visible, Member::Enabled,      Member::BackColor, Member::ToolTipText,
                                     Member::Tag,     Member::MousePointer, Member::MouseIcon, Member::Name,
                                     Member::Move,    Member::Refresh};
    return kMembers;
  }
  QGraphicsItem* lookup(int) override { return &game_.messageBar(); }
  Member defaultMember() const override { return Member::Name; }
  QString controlName() const override { return QStringLiteral("FrameMessageBox"); }

  QRectF twipsRect() override {
    MessageBar& bar = game_.messageBar();
    return {bar.twipsLeft(), bar.twipsTop(), bar.twipsWidth(), bar.twipsHeight()};
  }
  void setTwipsRect(const QRectF& r) override {
    game_.messageBar().setTwipsGeometry(r.left(), r.top(), r.width(), r.height());
  }

  vbs::Value get(Member m) override {
    if (m == Member::BackColor) {
      QColor c = game_.messageBar().brush().color();
      c.setAlpha(255);
      return vbs::Value(static_cast<int32_t>(numberFromColor(c)));
    }
    return GraphicsControl::get(m);
  }
  void let(Member m, const vbs::Value& v) override {
    MessageBar& bar = game_.messageBar();
    if (m == Member::BackColor) {
      QColor c = colorFromNumber(colourValue(v));
      c.setAlpha(bar.brush().color().alpha());
      bar.setBrush(c);
    } else if (m == Member::Visible) {
      const bool visible = booleanValue(v);
      if (visible) {
        bar.setVisible(true);
        bar.LabelMessageBox()->setVisible(true);
      } else {
        bar.hideBar();
      }
    } else {
      GraphicsControl::let(m, v);
    }
  }
};

// BackImage: the frame's background.
class BackImageControl : public GraphicsControl {
 public:
  explicit BackImageControl(Game& game) : GraphicsControl(game, -1) {}
  std::u16string typeName() const override { return u"Image"; }

 protected:
  Members members() const override {
    static const Members kMembers = {Member::Left,         Member::Top,       Member::Width,       Member::Height,
                                     Member::Visible,      Member::Enabled,   Member::ToolTipText, Member::Tag,
                                     Member::MousePointer, Member::MouseIcon, Member::Name,        Member::Move,
                                     Member::Refresh};
    return kMembers;
  }
  QGraphicsItem* lookup(int) override { return game_.BackImage; }
  Member defaultMember() const override { return Member::Name; }
  QString controlName() const override { return QStringLiteral("BackImage"); }
  QRectF twipsRect() override {
    QGraphicsItem& i = item();
    const QRectF box = i.boundingRect();
    return {i.pos().x() * kTwipsPerPixel, i.pos().y() * kTwipsPerPixel, box.width() * kTwipsPerPixel,
            box.height() * kTwipsPerPixel};
  }
  // The background covers the picture: only its place follows a new rectangle.
  void setTwipsRect(const QRectF& r) override { item().setPos(r.left() / kTwipsPerPixel, r.top() / kTwipsPerPixel); }
};

// PictureBox: the widget that shows the picture.
class PictureBoxControl : public vbs::Object {
 public:
  explicit PictureBoxControl(Game& game) : game_(game) {}
  std::u16string typeName() const override { return u"PictureBox"; }
  bool hasMember(std::u16string_view name) const override {
    for (const char16_t* m : {u"Left", u"Top", u"Width", u"Height", u"ScaleWidth", u"ScaleHeight", u"Visible",
                              u"Enabled", u"ToolTipText", u"Name", u"Move", u"Refresh"})
      if (memberIs(name, m)) return true;
    return false;
  }
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override {
    QWidget* w = widget();
    // Its place and size are those on the game's display, whatever the scale it is shown at.
    const QRect r = game_.screenArea().pictureRect();
    if (memberIs(name, u"Move")) {
      args.expect(1, 4);
      const float l = twipsValue(args[0]);
      const float t = args.isMissing(1) ? pixelsToTwips(r.y()) : twipsValue(args[1]);
      const float wi = args.isMissing(2) ? pixelsToTwips(r.width()) : sizeValue(args[2]);
      const float h = args.isMissing(3) ? pixelsToTwips(r.height()) : sizeValue(args[3]);
      place(l, t, wi, h);
      return {};
    }
    if (memberIs(name, u"Refresh")) {
      args.expect(0, 0);
      w->update();
      return {};
    }
    args.expect(0, 0);
    if (memberIs(name, u"Left")) return vbs::Value(static_cast<float>(pixelsToTwips(r.x())));
    if (memberIs(name, u"Top")) return vbs::Value(static_cast<float>(pixelsToTwips(r.y())));
    if (memberIs(name, u"Width") || memberIs(name, u"ScaleWidth"))
      return vbs::Value(static_cast<float>(pixelsToTwips(r.width())));
    if (memberIs(name, u"Height") || memberIs(name, u"ScaleHeight"))
      return vbs::Value(static_cast<float>(pixelsToTwips(r.height())));
    if (memberIs(name, u"Visible")) return vbs::Value(w->isVisible());
    if (memberIs(name, u"Enabled")) return vbs::Value(w->isEnabled());
    if (memberIs(name, u"ToolTipText")) return scriptText(w->toolTip());
    if (memberIs(name, u"Name")) return vbs::Value(u"PictureBox");
    vbs::raise(vbs::err::NoSuchMember);
  }
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override { return getProperty(name, args); }
  void letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& v) override {
    args.expect(0, 0);
    QWidget* w = widget();
    const QRect r = game_.screenArea().pictureRect();
    const float l = pixelsToTwips(r.x()), t = pixelsToTwips(r.y());
    const float wi = pixelsToTwips(r.width()), h = pixelsToTwips(r.height());
    if (memberIs(name, u"Left")) return place(twipsValue(v), t, wi, h);
    if (memberIs(name, u"Top")) return place(l, twipsValue(v), wi, h);
    if (memberIs(name, u"Width")) return place(l, t, sizeValue(v), h);
    if (memberIs(name, u"Height")) return place(l, t, wi, sizeValue(v));
    if (memberIs(name, u"Visible")) return w->setVisible(booleanValue(v));
    if (memberIs(name, u"Enabled")) return w->setEnabled(booleanValue(v));
    if (memberIs(name, u"ToolTipText")) return w->setToolTip(textValue(v));
    if (hasMember(name)) raiseReadOnly();
    vbs::raise(vbs::err::NoSuchMember);
  }

 private:
  QWidget* widget() {
    if (!game_.PictureBox) vbs::raise(vbs::err::ObjectNotSet);
    return game_.PictureBox;
  }
  // A new place and size (twips) on the game's display.
  void place(double left, double top, double width, double height) {
    ScaledScreen& screen = game_.screenArea();
    screen.setVirtualArea(screen.virtualArea(),
                          QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)));
  }
  Game& game_;
};

// An element of TimerObject: Interval (milliseconds, at most 65,535) and Enabled; it ticks
// while enabled with an interval above 0. The timers are those of the timed events.
class TimerControl : public vbs::Object, public ScriptControlElement {
 public:
  TimerControl(Game& game, int index) : game_(game), index_(index) {}
  std::u16string typeName() const override { return u"Timer"; }
  bool hasMember(std::u16string_view name) const override {
    for (const char16_t* m : {u"Interval", u"Enabled", u"Index", u"Name", u"Tag"})
      if (memberIs(name, m)) return true;
    return false;
  }
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override {
    if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
    args.expect(0, 0);
    WindowTimer& t = timer();
    if (memberIs(name, u"Interval")) return vbs::Value(static_cast<int32_t>(t.Interval()));
    if (memberIs(name, u"Enabled")) return vbs::Value(t.Enabled());
    if (memberIs(name, u"Index")) return vbs::Value(static_cast<int16_t>(index_));
    if (memberIs(name, u"Tag")) return scriptText(tag_);
    return vbs::Value(u"TimerObject");
  }
  void letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& v) override {
    if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
    args.expect(0, 0);
    WindowTimer& t = timer();
    if (memberIs(name, u"Interval"))
      t.setInterval(longOf(variantOf(v)));  // 380 outside 0-65,535
    else if (memberIs(name, u"Enabled"))
      t.setEnabled(booleanValue(v));
    else if (memberIs(name, u"Tag"))
      tag_ = textValue(v);
    else
      raiseReadOnly();
  }
  void createElement() override { game_.timedEvents().LoadTimerObject(index_); }
  void deleteElement() override { game_.timedEvents().UnloadTimerObject(index_); }

 private:
  WindowTimer& timer() {
    TimedEvents& events = game_.timedEvents();
    if (index_ != 0 && !events.HasTimerObject(index_)) throw PlatformError::controlArrayElementMissing(index_);
    return events.TimerObject(index_);
  }
  Game& game_;
  int index_;
  QString tag_;
};

vbs::Ref<vbs::Object> makeTimerObjectArray(Game& game) {
  game.timedEvents().TimerObject(0);  // the template exists from the start
  return vbs::makeRef<ControlArray>(
      u"Object", [&game](int index) -> vbs::Ref<vbs::Object> { return vbs::makeRef<TimerControl>(game, index); },
      [&game](int i) { return game.timedEvents().HasTimerObject(i); },
      [&game] { return game.timedEvents().TimerObjectUBound(); });
}

// The game window: its place and caption, and its controls by name.
class WindowControl : public vbs::Object {
 public:
  explicit WindowControl(Game& game) : game_(game) {}
  std::u16string typeName() const override { return u"Game"; }
  bool hasMember(std::u16string_view name) const override {
    for (const char16_t* m :
         {u"Caption", u"Left", u"Top", u"Width", u"Height", u"ScaleWidth", u"ScaleHeight", u"Name", u"PictureBox",
          u"BackImage", u"Area", u"Text", u"VideoPlayer", u"TimerObject", u"LabelMessageBox", u"FrameMessageBox"})
      if (memberIs(name, m)) return true;
    return false;
  }
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override {
    // Controls by name; an array takes its index as well (Area(2).Left).
    vbs::Ref<vbs::Object> control;
    if (memberIs(name, u"PictureBox"))
      control = vbs::makeRef<PictureBoxControl>(game_);
    else if (memberIs(name, u"BackImage"))
      control = vbs::makeRef<BackImageControl>(game_);
    else if (memberIs(name, u"Area"))
      control = makeHotspotArray(game_);
    else if (memberIs(name, u"Text"))
      control = makeTextArray(game_);
    else if (memberIs(name, u"VideoPlayer"))
      control = makeLoopingVideoArray(game_);
    else if (memberIs(name, u"TimerObject"))
      control = makeTimerObjectArray(game_);
    else if (memberIs(name, u"LabelMessageBox"))
      control = makeMessageObject(game_);
    else if (memberIs(name, u"FrameMessageBox"))
      control = makeFrameMessageObject(game_);
    if (control) return args.empty() ? vbs::Value(control.get()) : control->getProperty(u"", args);
    if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
    args.expect(0, 0);
    const QRect g = game_.frameGeometry();
    if (memberIs(name, u"Caption")) return scriptText(game_.windowTitle());
    if (memberIs(name, u"Left")) return vbs::Value(static_cast<float>(pixelsToTwips(g.x())));
    if (memberIs(name, u"Top")) return vbs::Value(static_cast<float>(pixelsToTwips(g.y())));
    if (memberIs(name, u"Width")) return vbs::Value(static_cast<float>(pixelsToTwips(g.width())));
    if (memberIs(name, u"Height")) return vbs::Value(static_cast<float>(pixelsToTwips(g.height())));
    if (memberIs(name, u"ScaleWidth")) return vbs::Value(static_cast<float>(pixelsToTwips(game_.width())));
    if (memberIs(name, u"ScaleHeight")) return vbs::Value(static_cast<float>(pixelsToTwips(game_.height())));
    return vbs::Value(u"Game");
  }
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override { return getProperty(name, args); }
  void letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& v) override {
    if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
    if (!args.empty()) {
      // Text(1) = "x" through the window: the element's default member.
      vbs::Value control = getProperty(name, {});
      control.asObject()->letProperty(u"", args, v);
      return;
    }
    if (memberIs(name, u"Caption")) return game_.setWindowTitle(textValue(v));
    const QRect g = game_.frameGeometry();
    // The frame's own decorations stay as they are: only the outer rectangle moves.
    if (memberIs(name, u"Left")) return game_.move(twipsToPixels(twipsValue(v)), g.y());
    if (memberIs(name, u"Top")) return game_.move(g.x(), twipsToPixels(twipsValue(v)));
    if (memberIs(name, u"Width"))
      return game_.resize(std::max(0, twipsToPixels(sizeValue(v)) - (g.width() - game_.width())), game_.height());
    if (memberIs(name, u"Height"))
      return game_.resize(game_.width(), std::max(0, twipsToPixels(sizeValue(v)) - (g.height() - game_.height())));
    raiseReadOnly();
  }

 private:
  Game& game_;
};

}  // namespace

vbs::Ref<vbs::Object> makeMessageObject(Game& game) { return vbs::makeRef<MessageLabelControl>(game); }
vbs::Ref<vbs::Object> makeFrameMessageObject(Game& game) { return vbs::makeRef<MessageFrameControl>(game); }
vbs::Ref<vbs::Object> makeWindowObject(Game& game) { return vbs::makeRef<WindowControl>(game); }

}  // namespace storyloom
