#include "scripting/control_arrays.h"

#include <QGraphicsScene>
#include <cmath>

#include "game/frame_texts.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "scripting/control_properties.h"

namespace storyloom {

namespace {

quint64 nextSerial() {
  static quint64 serial = 0;
  return ++serial;
}

struct MemberName {
  const char16_t* name;
  Member member;
};

constexpr MemberName kMemberNames[] = {
    {u"Left", Member::Left},
    {u"Top", Member::Top},
    {u"Width", Member::Width},
    {u"Height", Member::Height},
    {u"Visible", Member::Visible},
    {u"Enabled", Member::Enabled},
    {u"Picture", Member::Picture},
    {u"Caption", Member::Caption},
    {u"ForeColor", Member::ForeColor},
    {u"BackColor", Member::BackColor},
    {u"BackStyle", Member::BackStyle},
    {u"FontName", Member::FontName},
    {u"FontSize", Member::FontSize},
    {u"FontBold", Member::FontBold},
    {u"FontItalic", Member::FontItalic},
    {u"FontUnderline", Member::FontUnderline},
    {u"FontStrikethru", Member::FontStrikethru},
    {u"ToolTipText", Member::ToolTipText},
    {u"Tag", Member::Tag},
    {u"MousePointer", Member::MousePointer},
    {u"MouseIcon", Member::MouseIcon},
    {u"Stretch", Member::Stretch},
    {u"AutoSize", Member::AutoSize},
    {u"Index", Member::Index},
    {u"Name", Member::Name},
    {u"Move", Member::Move},
    {u"ZOrder", Member::ZOrder},
    {u"Refresh", Member::Refresh},
    {u"FileName", Member::FileName},
    {u"Play", Member::Play},
    {u"Stop", Member::Stop},
};

const MemberName* memberNamed(std::u16string_view name) {
  for (const MemberName& m : kMemberNames)
    if (memberIs(name, m.name)) return &m;
  return nullptr;
}

bool isMethod(Member m) {
  return m == Member::Move || m == Member::ZOrder || m == Member::Refresh || m == Member::Play || m == Member::Stop;
}

// Brings a control to the front (0) or sends it to the back (1) of the controls of its
// layer of the picture.
void zOrder(QGraphicsItem& item, int position) {
  QGraphicsScene* scene = item.scene();
  if (!scene || item.parentItem()) return;
  // stackBefore moves an item only when it lies above the other one, so going through the
  // others in any order leaves the item above (or below) all of them.
  for (QGraphicsItem* other : scene->items()) {
    if (other == &item || other->parentItem() || other->zValue() != item.zValue()) continue;
    if (position == 0)
      other->stackBefore(&item);
    else
      item.stackBefore(other);
  }
}

}  // namespace

int elementIndexOf(const vbs::Value& value) { return integerOf(variantOf(value)); }

// --- GraphicsControl ---

bool GraphicsControl::supports(Member m) const {
  if (m == Member::Index && index_ < 0) return false;
  for (Member own : members())
    if (own == m) return true;
  return false;
}

bool GraphicsControl::hasMember(std::u16string_view name) const {
  const MemberName* m = memberNamed(name);
  return m && supports(m->member);
}

QGraphicsItem& GraphicsControl::item() {
  QGraphicsItem* found = lookup(index_);
  if (!found) throw PlatformError::controlArrayElementMissing(index_);
  quint64 serial = found->data(kSerial).toULongLong();
  if (serial == 0) {
    serial = nextSerial();
    found->setData(kSerial, serial);
  }
  if (serial_ == 0) serial_ = serial;
  if (serial_ != serial) throw PlatformError::controlArrayElementMissing(index_);
  return *found;
}

void GraphicsControl::bindIfLoaded() {
  if (lookup(index_)) item();
}

void GraphicsControl::createElement() {
  if (index_ < 0) throw PlatformError::invalidProcedureCall();
  load(index_);
  serial_ = 0;
  item();
}

void GraphicsControl::deleteElement() {
  if (index_ < 0) throw PlatformError::invalidProcedureCall();
  if (index_ == 0) throw PlatformError(362, QStringLiteral("Can't unload controls created at design time"));
  item();
  unload(index_);
}

void GraphicsControl::load(int) { throw PlatformError::invalidProcedureCall(); }
void GraphicsControl::unload(int) { throw PlatformError::invalidProcedureCall(); }

vbs::Value GraphicsControl::getProperty(std::u16string_view name, vbs::Args args) {
  const MemberName* found = memberNamed(name);
  const Member m = name.empty() ? defaultMember() : found ? found->member : Member::Index;
  if (!name.empty() && (!found || !supports(m))) vbs::raise(vbs::err::NoSuchMember);
  if (isMethod(m)) {
    run(m, args);
    return {};
  }
  args.expect(0, 0);
  item();
  return get(m);
}

vbs::Value GraphicsControl::callMethod(std::u16string_view name, vbs::Args args) { return getProperty(name, args); }

void GraphicsControl::letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) {
  const MemberName* found = memberNamed(name);
  const Member m = name.empty() ? defaultMember() : found ? found->member : Member::Index;
  if (!name.empty() && (!found || !supports(m))) vbs::raise(vbs::err::NoSuchMember);
  if (isMethod(m)) vbs::raise(vbs::err::IllegalAssignment);
  args.expect(0, 0);
  item();
  let(m, value);
}

void GraphicsControl::setProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) {
  letProperty(name, args, value);
}

void GraphicsControl::run(Member m, vbs::Args args) {
  QGraphicsItem& it = item();
  switch (m) {
    case Member::Move: {
      args.expect(1, 4);
      QRectF r = twipsRect();
      const float left = twipsValue(args[0]);
      const float top = args.isMissing(1) ? static_cast<float>(r.top()) : twipsValue(args[1]);
      const float width = args.isMissing(2) ? static_cast<float>(r.width()) : sizeValue(args[2]);
      const float height = args.isMissing(3) ? static_cast<float>(r.height()) : sizeValue(args[3]);
      setTwipsRect(QRectF(left, top, width, height));
      return;
    }
    case Member::ZOrder: {
      args.expect(0, 1);
      const qint16 position = args.isMissing(0) ? 0 : integerOf(variantOf(args[0]));
      if (position != 0 && position != 1) throw PlatformError::invalidProcedureCall();
      zOrder(it, position);
      return;
    }
    case Member::Refresh:
      args.expect(0, 0);
      it.update();
      return;
    default: vbs::raise(vbs::err::NoSuchMember);
  }
}

QCursor GraphicsControl::standardPointer() { return Qt::ArrowCursor; }

void GraphicsControl::setFont(const QFont& f) { setFontOf(item(), f); }

vbs::Value GraphicsControl::get(Member m) {
  QGraphicsItem& it = item();
  const QRectF r =
      (m == Member::Left || m == Member::Top || m == Member::Width || m == Member::Height) ? twipsRect() : QRectF();
  switch (m) {
    case Member::Left: return vbs::Value(static_cast<float>(r.left()));
    case Member::Top: return vbs::Value(static_cast<float>(r.top()));
    case Member::Width: return vbs::Value(static_cast<float>(r.width()));
    case Member::Height: return vbs::Value(static_cast<float>(r.height()));
    case Member::Visible: return vbs::Value(it.isVisible());
    case Member::Enabled: return vbs::Value(it.isEnabled());
    case Member::ToolTipText: return scriptText(it.toolTip());
    case Member::Tag: return scriptText(it.data(kTag).toString());
    case Member::Index: return vbs::Value(static_cast<int16_t>(index_));
    case Member::Name: return scriptText(controlName());
    case Member::MousePointer: {
      const QVariant stored = it.data(kMousePointer);
      if (stored.isValid()) return vbs::Value(static_cast<int16_t>(stored.toInt()));
      return vbs::Value(static_cast<int16_t>(it.cursor().shape() == Qt::BitmapCursor ? 99 : 0));
    }
    case Member::MouseIcon: {
      const QVariant stored = it.data(kMouseIcon);
      return pictureObject(stored.isValid() ? stored.value<QPixmap>() : QPixmap());
    }
    case Member::FontName: {
      const QVariant stored = it.data(kFontName);
      return scriptText(stored.isValid() ? stored.toString() : windowsFontName(font().family()));
    }
    case Member::FontSize: {
      const QVariant stored = it.data(kFontSize);
      if (stored.isValid()) return vbs::Value(stored.toFloat());
      const QFont f = font();
      const double points = f.pixelSize() > 0 ? f.pixelSize() * 72.0 / 96.0 : f.pointSizeF();
      return vbs::Value(static_cast<float>(std::round(points * 100) / 100));
    }
    case Member::FontBold: return vbs::Value(font().bold());
    case Member::FontItalic: return vbs::Value(font().italic());
    case Member::FontUnderline: return vbs::Value(font().underline());
    case Member::FontStrikethru: return vbs::Value(font().strikeOut());
    default: vbs::raise(vbs::err::NoSuchMember);
  }
}

void GraphicsControl::let(Member m, const vbs::Value& v) {
  QGraphicsItem& it = item();
  const auto geometry = [&](auto&& change) {
    QRectF r = twipsRect();
    change(r);
    setTwipsRect(r);
  };
  switch (m) {
    case Member::Left: {
      const float left = twipsValue(v);
      geometry([&](QRectF& r) { r.moveLeft(left); });
      return;
    }
    case Member::Top: {
      const float top = twipsValue(v);
      geometry([&](QRectF& r) { r.moveTop(top); });
      return;
    }
    case Member::Width: {
      const float width = sizeValue(v);
      geometry([&](QRectF& r) { r.setWidth(width); });
      return;
    }
    case Member::Height: {
      const float height = sizeValue(v);
      geometry([&](QRectF& r) { r.setHeight(height); });
      return;
    }
    case Member::Visible: it.setVisible(booleanValue(v)); return;
    case Member::Enabled: it.setEnabled(booleanValue(v)); return;
    case Member::ToolTipText: it.setToolTip(textValue(v)); return;
    case Member::Tag: it.setData(kTag, textValue(v)); return;
    case Member::Index:
    case Member::Name: raiseReadOnly();
    case Member::MousePointer: {
      const qint16 n = mousePointerValue(v);
      it.setData(kMousePointer, n);
      const QPixmap icon = it.data(kMouseIcon).value<QPixmap>();
      applyPointer(cursorForPointer(n, icon.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(icon), standardPointer()));
      return;
    }
    case Member::MouseIcon: {
      const QPixmap icon = pictureValue(v);
      it.setData(kMouseIcon, icon);
      if (it.data(kMousePointer).toInt() == 99) applyPointer(icon.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(icon));
      return;
    }
    case Member::FontName: {
      const QString name = textValue(v);
      QFont f = font();
      f.setFamily(hostFontFamily(name));
      it.setData(kFontName, name);
      setFont(f);
      return;
    }
    case Member::FontSize: {
      const float points = fontSizeValue(v);
      QFont f = font();
      f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
      it.setData(kFontSize, points);
      setFont(f);
      return;
    }
    case Member::FontBold:
    case Member::FontItalic:
    case Member::FontUnderline:
    case Member::FontStrikethru: {
      const bool on = booleanValue(v);
      QFont f = font();
      if (m == Member::FontBold) f.setBold(on);
      if (m == Member::FontItalic) f.setItalic(on);
      if (m == Member::FontUnderline) f.setUnderline(on);
      if (m == Member::FontStrikethru) f.setStrikeOut(on);
      setFont(f);
      return;
    }
    default: vbs::raise(vbs::err::NoSuchMember);
  }
}

// --- ControlArray ---

bool ControlArray::hasMember(std::u16string_view name) const {
  for (const char16_t* m : {u"Item", u"Count", u"UBound", u"LBound"})
    if (memberIs(name, m)) return true;
  return false;
}

vbs::Value ControlArray::element(const vbs::Value& index) { return vbs::Value(element_(elementIndexOf(index)).get()); }

vbs::Value ControlArray::getProperty(std::u16string_view name, vbs::Args args) {
  if (name.empty() || memberIs(name, u"Item")) {
    if (args.empty()) vbs::raise(vbs::err::WrongArgCount);
    vbs::Value e = element(args[0]);
    if (args.size() == 1) return e;
    return e.asObject()->getProperty(u"", args.drop(1));
  }
  if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
  args.expect(0, 0);
  if (memberIs(name, u"LBound")) return vbs::Value(static_cast<int16_t>(0));
  if (memberIs(name, u"UBound")) return vbs::Value(static_cast<int16_t>(highest_()));
  if (memberIs(name, u"Count")) {
    int16_t count = 0;
    for (int i = 0; i <= highest_(); ++i)
      if (loaded_(i)) ++count;
    return vbs::Value(count);
  }
  vbs::raise(vbs::err::NoSuchMember);
}

void ControlArray::letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) {
  // Text(1) = "x" assigns the element's default member.
  if ((name.empty() || memberIs(name, u"Item")) && args.size() >= 1) {
    element(args[0]).asObject()->letProperty(u"", args.drop(1), value);
    return;
  }
  vbs::raise(vbs::err::NoSuchMember);
}

std::vector<vbs::Value> ControlArray::enumerate() {
  std::vector<vbs::Value> out;
  for (int i = 0; i <= highest_(); ++i)
    if (loaded_(i)) out.push_back(vbs::Value(element_(i).get()));
  return out;
}

}  // namespace storyloom
