#include "scripting/control_objects.h"

#include <QGraphicsVideoItem>

#include "game/frame_texts.h"
#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "platform/media_player.h"
#include "platform/platform_error.h"
#include "platform/twips.h"
#include "scripting/control_arrays.h"
#include "scripting/control_properties.h"
#include "scripting/file_access.h"
#include "scripting/script_host.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

// An element of Area: an image control (no caption, no font).
class HotspotControl : public GraphicsControl {
 public:
  using GraphicsControl::GraphicsControl;
  std::u16string typeName() const override { return u"Image"; }

 protected:
  Members members() const override {
    static const Members kMembers = {
        Member::Left,    Member::Top,         Member::Width, Member::Height,       Member::Visible,   Member::Enabled,
        Member::Picture, Member::ToolTipText, Member::Tag,   Member::MousePointer, Member::MouseIcon, Member::Stretch,
        Member::Index,   Member::Name,        Member::Move,  Member::ZOrder,       Member::Refresh};
    return kMembers;
  }
  QGraphicsItem* lookup(int index) override {
    return index == 0 ? &game_.areas().AreaTemplate() : game_.areas().Area(index);
  }
  void load(int index) override { game_.areas().LoadElement(index); }
  void unload(int index) override { game_.areas().UnloadElement(index); }
  Member defaultMember() const override { return Member::Picture; }
  QString controlName() const override { return QStringLiteral("Area"); }
  HotspotItem& area() { return static_cast<HotspotItem&>(item()); }

  QRectF twipsRect() override {
    HotspotItem& a = area();
    return {a.Left(), a.Top(), a.Width(), a.Height()};
  }
  void setTwipsRect(const QRectF& r) override {
    area().move(static_cast<float>(r.left()), static_cast<float>(r.top()), static_cast<float>(r.width()),
                static_cast<float>(r.height()));
  }
  void applyPointer(const QCursor& cursor) override { area().setCustomPointer(cursor); }

  vbs::Value get(Member m) override {
    HotspotItem& a = area();
    if (m == Member::Picture) return pictureObject(a.Picture());
    if (m == Member::Stretch) return vbs::Value(a.Stretch());
    if (m == Member::MousePointer && a.usesDefaultPointer() && !a.data(kMousePointer).isValid())
      return vbs::Value(static_cast<int16_t>(game_.defaultPointer().isCustom() ? 99 : 0));
    return GraphicsControl::get(m);
  }
  void let(Member m, const vbs::Value& v) override {
    HotspotItem& a = area();
    if (m == Member::Picture) {
      a.setPicture(pictureValue(v));
    } else if (m == Member::Stretch) {
      a.setStretch(booleanValue(v));
      // An image that no longer stretches takes its picture's size again.
      if (!a.Stretch() && !a.Picture().isNull()) a.setPicture(a.Picture());
    } else {
      GraphicsControl::let(m, v);
    }
  }
};

// An element of Text: an auto-sized label (no picture).
class TextControl : public GraphicsControl {
 public:
  using GraphicsControl::GraphicsControl;
  std::u16string typeName() const override { return u"Label"; }

 protected:
  Members members() const override {
    static const Members kMembers = {
        Member::Left,        Member::Top,      Member::Width,        Member::Height,        Member::Visible,
        Member::Enabled,     Member::Caption,  Member::ForeColor,    Member::BackColor,     Member::FontName,
        Member::FontSize,    Member::FontBold, Member::FontItalic,   Member::FontUnderline, Member::FontStrikethru,
        Member::ToolTipText, Member::Tag,      Member::MousePointer, Member::MouseIcon,     Member::Index,
        Member::Name,        Member::Move,     Member::ZOrder,       Member::Refresh};
    return kMembers;
  }
  QGraphicsItem* lookup(int index) override {
    return index == 0 ? &game_.texts().TextTemplate() : game_.texts().Text(index);
  }
  void load(int index) override { game_.texts().LoadElement(index); }
  void unload(int index) override { game_.texts().UnloadElement(index); }
  Member defaultMember() const override { return Member::Caption; }
  QString controlName() const override { return QStringLiteral("Text"); }
  TextLabel& label() { return static_cast<TextLabel&>(item()); }
  QFont fontOf(QGraphicsItem& i) override { return static_cast<TextLabel&>(i).font(); }
  void setFontOf(QGraphicsItem& i, const QFont& f) override { static_cast<TextLabel&>(i).setFont(f); }

  QRectF twipsRect() override {
    TextLabel& l = label();
    const QRectF box = l.boundingRect();
    return {l.twipsLeft(), l.twipsTop(), box.width() * kTwipsPerPixel, box.height() * kTwipsPerPixel};
  }
  // The label sizes itself to its caption: only its position follows a new rectangle.
  void setTwipsRect(const QRectF& r) override { label().setTwipsPosition(r.left(), r.top()); }

  vbs::Value get(Member m) override {
    TextLabel& l = label();
    if (m == Member::Caption) return scriptText(l.caption());
    if (m == Member::ForeColor) return vbs::Value(static_cast<int32_t>(numberFromColor(l.brush().color())));
    if (m == Member::BackColor) {
      const QVariant stored = l.data(kBackColor);
      return vbs::Value(static_cast<int32_t>(stored.isValid() ? stored.toInt() : static_cast<int32_t>(0x8000000F)));
    }
    return GraphicsControl::get(m);
  }
  void let(Member m, const vbs::Value& v) override {
    TextLabel& l = label();
    if (m == Member::Caption) {
      l.setCaption(textValue(v));
    } else if (m == Member::ForeColor) {
      l.setColourNumber(colourValue(v));
    } else if (m == Member::BackColor) {
      // Frame texts are transparent: the colour is kept and shows nowhere.
      l.setData(kBackColor, colourValue(v));
    } else {
      GraphicsControl::let(m, v);
    }
  }
};

// An element of VideoPlayer: the looping video of a hotspot.
class VideoControl : public GraphicsControl {
 public:
  using GraphicsControl::GraphicsControl;
  std::u16string typeName() const override { return u"MediaPlayer"; }

 protected:
  Members members() const override {
    static const Members kMembers = {Member::Left,     Member::Top,   Member::Width, Member::Height, Member::Visible,
                                     Member::Tag,      Member::Index, Member::Name,  Member::Move,   Member::ZOrder,
                                     Member::FileName, Member::Play,  Member::Stop};
    return kMembers;
  }
  QGraphicsItem* lookup(int index) override {
    if (index != 0) return game_.areas().VideoPlayerItem(index);
    // The template: never on the picture.
    auto* t = game_.findChild<QGraphicsVideoItem*>(QStringLiteral("VideoPlayer0"), Qt::FindDirectChildrenOnly);
    if (!t) {
      t = new QGraphicsVideoItem;
      t->setParent(&game_);
      t->setObjectName(QStringLiteral("VideoPlayer0"));
      t->setVisible(false);
    }
    return t;
  }
  Member defaultMember() const override { return Member::FileName; }
  QString controlName() const override { return QStringLiteral("VideoPlayer"); }
  QGraphicsVideoItem& video() { return static_cast<QGraphicsVideoItem&>(item()); }
  MediaPlayer* player() {
    item();
    return index_ == 0 ? nullptr : game_.areas().VideoPlayer(index_);
  }

  QRectF twipsRect() override {
    QGraphicsVideoItem& v = video();
    return {v.pos().x() * kTwipsPerPixel, v.pos().y() * kTwipsPerPixel, v.size().width() * kTwipsPerPixel,
            v.size().height() * kTwipsPerPixel};
  }
  void setTwipsRect(const QRectF& r) override {
    QGraphicsVideoItem& v = video();
    v.setPos(r.left() / kTwipsPerPixel, r.top() / kTwipsPerPixel);
    v.setSize(QSizeF(r.width() / kTwipsPerPixel, r.height() / kTwipsPerPixel));
  }
  vbs::Value get(Member m) override {
    if (m == Member::FileName) {
      MediaPlayer* p = player();
      return scriptText(p ? p->fileName() : QString());
    }
    return GraphicsControl::get(m);
  }
  void let(Member m, const vbs::Value& v) override {
    if (m != Member::FileName) return GraphicsControl::let(m, v);
    const QString name = textValue(v);
    MediaPlayer* p = player();
    if (!p) throw PlatformError::invalidProcedureCall();
    const QString hostPath = game_.module().hostPathOf(name);
    if (!name.isEmpty()) game_.scripts().fileAccess().require(hostPath, FileAccessRule::Kind::Read);
    p->setFileName(name, hostPath);
  }
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override {
    if (memberIs(name, u"Play") || memberIs(name, u"Stop")) {
      args.expect(0, 0);
      MediaPlayer* p = player();
      if (!p) throw PlatformError::invalidProcedureCall();
      if (memberIs(name, u"Play"))
        p->Play();
      else
        p->Stop();
      return {};
    }
    return GraphicsControl::callMethod(name, args);
  }
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override {
    if (memberIs(name, u"Play") || memberIs(name, u"Stop")) return callMethod(name, args);
    return GraphicsControl::getProperty(name, args);
  }
};

template <class Control>
vbs::Ref<vbs::Object> controlArray(Game& game, std::u16string name, std::function<bool(int)> loaded,
                                   std::function<int()> highest) {
  return vbs::makeRef<ControlArray>(
      std::move(name),
      [&game](int index) -> vbs::Ref<vbs::Object> {
        auto control = vbs::makeRef<Control>(game, index);
        control->bindIfLoaded();
        return control;
      },
      std::move(loaded), std::move(highest));
}

}  // namespace

vbs::Ref<vbs::Object> makeHotspotArray(Game& game) {
  return controlArray<HotspotControl>(
      game, u"Object", [&game](int i) { return i == 0 || game.areas().Area(i); },
      [&game] { return game.areas().AreaCount(); });
}

vbs::Ref<vbs::Object> makeTextArray(Game& game) {
  return controlArray<TextControl>(
      game, u"Object", [&game](int i) { return i == 0 || game.texts().Text(i); },
      [&game] { return game.texts().highestIndex(); });
}

vbs::Ref<vbs::Object> makeLoopingVideoArray(Game& game) {
  return controlArray<VideoControl>(
      game, u"Object", [&game](int i) { return i == 0 || game.areas().VideoPlayerItem(i); },
      [&game] {
        int highest = 0;
        for (int i = 1; i <= game.areas().AreaCount(); ++i)
          if (game.areas().VideoPlayerItem(i)) highest = i;
        return highest;
      });
}

}  // namespace storyloom
