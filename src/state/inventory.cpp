#include "state/inventory.h"

#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QThread>

#include "game/game.h"
#include "game/picture_items.h"
#include "hotspots/frame_areas.h"
#include "media/animated_pictures.h"
#include "media/video.h"
#include "platform/platform_error.h"
#include "platform/skipped_steps.h"
#include "platform/twips.h"
#include "shell/editor_and_game.h"
#include "shell/display.h"
#include "shell/pointer_scaling.h"

namespace storyloom {

namespace {

constexpr int kIconTwips = 480;  // icons are 32 x 32 pixels
constexpr double kSlideSeconds = 0.3;
const QString kSeparator = QStringLiteral("----- SEPARATOR -----");

bool isDefaultPicture(const QString& name) {
  return name.isEmpty() || name.compare(QLatin1String("default"), Qt::CaseInsensitive) == 0;
}

// A field that holds the number 1 ("1", 1, "1.0").
bool isOne(const QString& field) {
  bool ok = false;
  const double v = field.trimmed().toDouble(&ok);
  return ok && v == 1.0;
}

// The built-in picture of the inventory button: a small satchel.
QPixmap builtInButtonPicture() {
  QPixmap p(32, 32);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(QColor(60, 35, 15), 2));
  g.setBrush(QColor(150, 95, 45));
  g.drawRoundedRect(QRectF(3, 9, 26, 20), 4, 4);
  g.drawArc(QRectF(10, 2, 12, 12), 0, 180 * 16);
  g.setBrush(QColor(210, 170, 60));
  g.drawRect(QRectF(14, 15, 4, 5));
  return p;
}

}  // namespace

// --- InventoryPart ---

InventoryPart::InventoryPart(Kind kind, int index, QGraphicsItem* parent)
    : QGraphicsObject(parent), kind_(kind), index_(index) {
  setAcceptHoverEvents(true);
  setAcceptedMouseButtons(kind == Kind::Item ? Qt::AllButtons : Qt::NoButton);
}

void InventoryPart::setSizePixels(QSizeF size) {
  prepareGeometryChange();
  size_ = size;
}

void InventoryPart::setPicture(const QPixmap& picture) {
  picture_ = picture;
  setToolTip(kind_ == Kind::Item ? Tag : QString());
  update();
}

void InventoryPart::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (kind_ == Kind::Bar) painter->fillRect(boundingRect(), QColor(48, 44, 40));
  if (picture_.isNull()) return;
  if (kind_ == Kind::Item && picture_.size() != size_.toSize())
    painter->drawPixmap(boundingRect(), picture_, QRectF(picture_.rect()));
  else
    painter->drawPixmap(QPointF(0, 0), picture_);
}

void InventoryPart::hoverEnterEvent(QGraphicsSceneHoverEvent*) {
  if (hovered) hovered(*this);
}

void InventoryPart::hoverMoveEvent(QGraphicsSceneHoverEvent*) {
  if (hovered) hovered(*this);
}

void InventoryPart::mousePressEvent(QGraphicsSceneMouseEvent* e) {
  e->accept();  // the item takes the moves and the release that follow
  if (pressed) pressed(*this, e);
}

void InventoryPart::mouseReleaseEvent(QGraphicsSceneMouseEvent* e) {
  if (released) released(*this, e);
}

void InventoryPart::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) { e->accept(); }

// --- Inventory ---

Inventory::Inventory(Game& game) : game_(game) {
  bar_ = std::make_unique<InventoryPart>(InventoryPart::Kind::Bar, 0);
  // The open bar covers the button.
  bar_->setZValue(layer::Inventory + 1);
  background_ = new InventoryPart(InventoryPart::Kind::Background, 0, bar_.get());
  background_->setVisible(false);
  button_ = std::make_unique<InventoryPart>(InventoryPart::Kind::Button, 0);
  button_->setZValue(layer::Inventory);
  button_->setPicture(builtInButtonPicture());
  button_->setSizePixels(QSizeF(32, 32));
  for (InventoryPart* p : {bar_.get(), background_, button_.get()})
    p->hovered = [this](InventoryPart&) { PointerOverInventory(); };
  game_.scene().addItem(bar_.get());
  game_.scene().addItem(button_.get());
  bar_->setVisible(false);
  button_->setVisible(false);
  TimerInventory.setInterval(2000);
  TimerInventory.setSingleShot(false);
  QObject::connect(&TimerInventory, &QTimer::timeout, [this] { TimerInventory_Timer(); });
}

Inventory::~Inventory() {
  if (dragging_) QGuiApplication::restoreOverrideCursor();
  for (std::size_t i = 1; i < PickedObject_.size(); ++i) delete PickedObject_[i];
  for (InventoryPart* p : removed_) delete p;
  for (InventoryPart* p : {bar_.get(), button_.get()})
    if (p->scene()) p->scene()->removeItem(p);
}

EditorAndGame& Inventory::module() { return game_.module(); }

QPoint Inventory::GridPosition(int k) const {
  const ProjectSettings& s = game_.module().settings;
  const int cw = s.InventorySpacingX * 15 + kIconTwips;
  const int ch = s.InventorySpacingY * 15 + kIconTwips;
  const int perRow = std::max(1, s.ScreenWidth * 15 / cw);
  const int col = (k - 1) % perRow;
  const int row = (k - 1) / perRow;
  return {cw * col + s.InventorySpacingX * 15, ch * row + s.InventorySpacingY * 15};
}

int Inventory::BarHeight(int K) const {
  const ProjectSettings& s = game_.module().settings;
  const int cw = s.InventorySpacingX * 15 + kIconTwips;
  const int ch = s.InventorySpacingY * 15 + kIconTwips;
  const int perRow = std::max(1, s.ScreenWidth * 15 / cw);
  return ch * ((K - 1) / perRow + 1) + s.InventorySpacingY * 15;
}

int Inventory::EmptyBarHeight() const { return game_.module().settings.InventorySpacingY * 2 * 15 + kIconTwips; }

void Inventory::setBarTop(double topTwips) {
  barTop_ = topTwips;
  bar_->setPos(0, topTwips / kTwipsPerPixel);
}

void Inventory::setBarHeight(int heightTwips) {
  barHeight_ = heightTwips;
  bar_->setSizePixels(QSizeF(game_.module().settings.ScreenWidth, heightTwips / double(kTwipsPerPixel)));
}

void Inventory::placeBackground() {
  if (!background_->isVisible()) return;
  background_->setPos(0, (barHeight_ - background_->Picture().height() * kTwipsPerPixel) / double(kTwipsPerPixel));
}

QString Inventory::PickedObjectTag(int index) const {
  InventoryPart* p = PickedObject(index);
  return p ? p->Tag : QString();
}

InventoryPart* Inventory::PickedObject(int index) const {
  if (index < 1 || index > ObjectsCount || index >= static_cast<int>(PickedObject_.size())) return nullptr;
  return PickedObject_[static_cast<std::size_t>(index)];
}

QStringList Inventory::itemNames() const {
  QStringList names;
  for (int i = 1; i <= ObjectsCount; ++i) names << PickedObjectTag(i);
  return names;
}

void Inventory::takeOff(InventoryPart* part) {
  if (!part) return;
  part->setVisible(false);
  if (part->scene()) part->scene()->removeItem(part);
  part->setParentItem(nullptr);
  removed_.push_back(part);
  if (handlers_ == 0) {
    for (InventoryPart* p : removed_) delete p;
    removed_.clear();
  }
}

void Inventory::EmptyInventory() {
  if (dragging_) endDrag();
  while (PickedObject_.size() > 1) {
    InventoryPart* p = PickedObject_.back();
    PickedObject_.pop_back();
    takeOff(p);
  }
  ObjectsCount = 0;
}

void Inventory::ResetLayout() {
  const ProjectSettings& s = module().settings;
  TimerInventory.stop();
  InventoryPopUp = false;
  InventoryDirection = 0;
  if (s.InventoryEnabled) {
    const int h0 = EmptyBarHeight();
    setBarHeight(h0);
    setBarTop(-h0);
    button_->setPos(0, 0);
    bar_->setVisible(true);
    Load_InventoryBackground();
    button_->setVisible(!s.HideInventoryButtonWhenEmpty);
  } else {
    bar_->setVisible(false);
    button_->setVisible(false);
  }
}

void Inventory::Load_InventoryBackground() {
  const ProjectSettings& s = module().settings;
  auto clearBackground = [this] {
    background_->setVisible(false);
    background_->setPicture(QPixmap());
  };
  if (!s.InventoryEnabled || !s.UseInventoryGraphics) {
    clearBackground();
    return;
  }
  runSkippingErrors(QStringLiteral("the inventory pictures"), [&] {
    const QString back = module().paths.InventoryPath + s.InventoryBackgroundPicture;
    if (isDefaultPicture(s.InventoryBackgroundPicture) || !module().FileExists(back)) {
      clearBackground();
    } else {
      QPixmap picture(module().hostPathOf(back));
      if (picture.isNull()) throw PlatformError::invalidPicture();
      background_->setPicture(picture);
      background_->setSizePixels(picture.size());
      background_->setVisible(true);
      placeBackground();
    }
    const QString buttonFile = module().paths.InventoryPath + s.InventoryButtonPicture;
    if (!isDefaultPicture(s.InventoryButtonPicture) && module().FileExists(buttonFile)) {
      QPixmap picture(module().hostPathOf(buttonFile));
      if (picture.isNull()) throw PlatformError::invalidPicture();
      button_->setPicture(picture);
      button_->setSizePixels(picture.size());
    }
  });
}

QString Inventory::readIconName(const QString& itemName) {
  FieldReader f = module().OpenFieldFile(module().paths.AreasPath + itemName + QStringLiteral(".obj"));
  return f.readString();
}

QPixmap Inventory::loadIcon(const QString& iconName) {
  const QString path = module().ResolveProjectFile(module().paths.AreasPath + iconName);
  if (!module().FileExists(path)) throw PlatformError::fileNotFound();
  QPixmap icon(module().hostPathOf(path));
  if (icon.isNull()) throw PlatformError::invalidPicture();
  return icon;
}

void Inventory::AddPickedObject(const QString& ItemName, bool DoNotPopup) {
  const ProjectSettings& s = module().settings;
  TimerInventory.stop();
  QString iconName;
  try {
    iconName = readIconName(ItemName);
    // The icon is loaded before the slot is made: an item that cannot be shown leaves
    // the inventory as it was, not with a nameless slot.
    const QPixmap icon = loadIcon(iconName);
    ++ObjectsCount;
    auto* item = new InventoryPart(InventoryPart::Kind::Item, ObjectsCount, s.InventoryEnabled ? bar_.get() : nullptr);
    PickedObject_.push_back(item);
    const QPoint cell = GridPosition(ObjectsCount);
    item->setPos(cell.x() / double(kTwipsPerPixel), cell.y() / double(kTwipsPerPixel));
    item->setSizePixels(QSizeF(kIconTwips / kTwipsPerPixel, kIconTwips / kTwipsPerPixel));
    item->Tag = ItemName;
    item->setPicture(icon);
    item->setZValue(ObjectsCount);
    if (!s.InventoryEnabled) {
      item->setZValue(layer::Inventory);
      game_.scene().addItem(item);
    }
    item->hovered = [this](InventoryPart&) { PointerOverInventory(); };
    item->pressed = [this](InventoryPart& p, QGraphicsSceneMouseEvent* e) { itemPressed(p, e); };
    item->released = [this](InventoryPart& p, QGraphicsSceneMouseEvent* e) { itemReleased(p, e); };
    item->setVisible(true);
    if (s.InventoryEnabled) {
      setBarHeight(BarHeight(ObjectsCount));
      placeBackground();
      button_->setVisible(true);
    }
  } catch (...) {
    module().ReportError(QStringLiteral(" Unable to pick up the item named '") + ItemName +
                         QStringLiteral("'. The item may be unavailable, or the icon '") + iconName +
                         QStringLiteral("' associated to the item may be corrupt."));
    return;
  }
  if (s.PopUpInventoryOnPickUp && !DoNotPopup) {
    InventoryPopUp = true;
    InventoryDirection = 1;
    if (!InventoryMoving && s.InventoryEnabled) Inventory_Move();
    TimerInventory.stop();
    TimerInventory.start();
  }
}

void Inventory::RemovePickedObject(int Index) {
  const ProjectSettings& s = module().settings;
  try {
    if (Index < 1 || Index > ObjectsCount) throw PlatformError::controlArrayElementMissing(Index);
    for (int i = Index; i < ObjectsCount; ++i) {
      InventoryPart* to = PickedObject_[static_cast<std::size_t>(i)];
      const InventoryPart* from = PickedObject_[static_cast<std::size_t>(i) + 1];
      to->Tag = from->Tag;
      to->setPicture(from->Picture());
    }
    InventoryPart* last = PickedObject_.back();
    PickedObject_.pop_back();
    if (dragging_ && DraggedObjectIndex == ObjectsCount) endDrag();
    takeOff(last);
    --ObjectsCount;
    if (s.InventoryEnabled && ObjectsCount >= 1) setBarHeight(BarHeight(ObjectsCount));
    if (s.InventoryEnabled) placeBackground();
    if (s.InventoryEnabled && ObjectsCount == 0 && s.HideInventoryButtonWhenEmpty) button_->setVisible(false);
  } catch (...) {
    module().ReportError(QStringLiteral(" Unable to remove the item from the inventory."));
  }
}

std::optional<QString> ReadPickedItem(FieldReader& f, int AreaIndex) {
  while (!f.atEnd()) {
    f.readString();
    const qint16 index = f.readInteger();
    if (index != AreaIndex) {
      while (!f.atEnd() && f.readString() != kSeparator) {
      }
      continue;
    }
    f.skip(8);
    if (isOne(f.readString())) return f.readString();
    return std::nullopt;
  }
  return std::nullopt;
}

void Inventory::PickOrNotPickObject(int AreaIndex) {
  const QString path = module().paths.FramesDataPath + game_.frame.CurrentFrameName + QStringLiteral(".fm4");
  if (!module().FileExists(path)) return;
  try {
    FieldReader f = module().OpenFieldFile(path);
    const std::optional<QString> item = ReadPickedItem(f, AreaIndex);
    if (item && !module().EverythingStopped) AddPickedObject(*item, false);
  } catch (...) {
    if (!module().EverythingStopped)
      module().ReportError(QStringLiteral(" Error in the \"PickOrNotPickObject\" procedure.\r\n\r\n"),
                           PlatformError::current());
  }
}

void Inventory::Combine(int Index) {
  if (Index == DraggedObjectIndex || !PickedObject(Index) || !PickedObject(DraggedObjectIndex)) return;
  const QString path = module().paths.AreasPath + PickedObjectTag(DraggedObjectIndex) + QStringLiteral("_on_") +
                       PickedObjectTag(Index) + QStringLiteral(".drg");
  if (!module().FileExists(path)) return;
  try {
    FieldReader f = module().OpenFieldFile(path);
    const int dragged = DraggedObjectIndex;
    const bool removeDragged = isOne(f.readString());
    if (removeDragged) RemovePickedObject(dragged);
    if (isOne(f.readString())) RemovePickedObject(removeDragged && dragged < Index ? Index - 1 : Index);
    const bool add = isOne(f.readString());
    const QString added = f.readString();
    if (add) AddPickedObject(added, false);
    if (!f.atEnd()) {
      f.skip(3);
      const bool runCode = f.readBoolean();
      QString code = f.readString();
      code.replace(QLatin1Char('|'), QLatin1Char('"'));
      if (!module().EverythingStopped && !code.isEmpty() && runCode)
        game_.areas().ExecuteVBScriptAndConsequences(code, true);
    }
  } catch (...) {
    module().ReportError(QStringLiteral(" Unable to combine items."));
  }
}

void Inventory::Inventory_Move() {
  const ProjectSettings& s = module().settings;
  InventoryMoving = true;
  double step = kTwipsPerPixel;
  double t0 = SecondsSinceMidnight();
  int counter = 0;
  for (;;) {
    const double h = barHeight_;
    const double t = barTop_;
    if (InventoryDirection == 0 || (InventoryDirection == 1 && t >= 0) || (InventoryDirection == 2 && t <= -h) ||
        module().EverythingStopped)
      break;
    if (InventoryPopUp) InventoryDirection = 1;
    counter = (counter + 1) % 5;
    if (counter == 2) {
      double now = SecondsSinceMidnight();
      if (now < t0) now += 86400.0;  // the clock passed midnight
      step = h * (now - t0) / (kSlideSeconds * 5);
      t0 = now;
    }
    if (InventoryDirection == 1) {
      const double next = t + step;
      setBarTop(!s.InventorySlideDown || next >= 0 ? 0 : next);
    } else {
      const double next = t - step;
      setBarTop(!s.InventorySlideUp || next <= -h ? -h : next);
    }
    QCoreApplication::processEvents();
    QThread::msleep(1);  // other programs get the processor between passes
  }
  InventoryMoving = false;
}

void Inventory::Inventory_Hide() {
  InventoryMoving = true;
  setBarTop(-barHeight_);
  InventoryMoving = false;
}

void Inventory::PointerOverInventory() {
  if (dragging_) return;
  InventoryDirection = 1;
  if (!InventoryMoving && module().settings.InventoryEnabled) Inventory_Move();
}

void Inventory::PointerOverFrame() {
  if (dragging_) return;
  InventoryDirection = 2;
  if (!InventoryMoving && module().settings.InventoryEnabled) Inventory_Move();
}

void Inventory::TimerInventory_Timer() {
  TimerInventory.stop();
  InventoryPopUp = false;
  if (module().settings.InventorySlideUp) {
    InventoryDirection = 2;
    if (!InventoryMoving && module().settings.InventoryEnabled) Inventory_Move();
  }
}

// --- dragging ---

void Inventory::itemPressed(InventoryPart& item, QGraphicsSceneMouseEvent* e) {
  game_.StopMovie = true;
  module().UserInterrupt = true;
  if (game_.video().IsOneTimeVideoPlaying()) return;
  game_.picWhere_MouseDown(e->button());
  if (e->button() != Qt::LeftButton) return;
  DraggedObjectIndex = static_cast<qint16>(item.index());
  if (!dragging_)
    QGuiApplication::setOverrideCursor(PointerAtScale(QCursor(item.Picture()), game_.screenArea().scale().factor));
  dragging_ = true;
}

void Inventory::itemReleased(InventoryPart&, QGraphicsSceneMouseEvent* e) {
  if (!dragging_ || e->button() != Qt::LeftButton) return;
  endDrag();
  ++handlers_;
  drop(QPointF(PicturePixelAt(e->scenePos())));  // the picture pixel under the pointer
  --handlers_;
  if (handlers_ == 0) {
    for (InventoryPart* p : removed_) delete p;
    removed_.clear();
  }
}

void Inventory::endDrag() {
  dragging_ = false;
  QGuiApplication::restoreOverrideCursor();
}

void Inventory::drop(QPointF scenePos) {
  InventoryPart* dragged = PickedObject(DraggedObjectIndex);
  for (QGraphicsItem* target : game_.scene().items(scenePos, Qt::IntersectsItemShape, Qt::DescendingOrder)) {
    if (target == dragged || !target->isVisible()) continue;
    QGraphicsObject* object = target->toGraphicsObject();
    if (auto* part = qobject_cast<InventoryPart*>(object); part && part->kind() == InventoryPart::Kind::Item) {
      Combine(part->index());
    } else if (auto* area = qobject_cast<HotspotItem*>(object)) {
      game_.areas().Area_DragDrop(area->index(), DraggedObjectIndex, static_cast<float>(scenePos.x() * kTwipsPerPixel),
                                  static_cast<float>(scenePos.y() * kTwipsPerPixel));
    } else if (auto* gif = qobject_cast<AniGifBox*>(object)) {
      // An animated picture is its hotspot: the drop point is in twips of the picture.
      game_.areas().Area_DragDrop(gif->index(), DraggedObjectIndex, static_cast<float>(scenePos.x() * kTwipsPerPixel),
                                  static_cast<float>(scenePos.y() * kTwipsPerPixel));
    }
    return;  // the topmost element under the pointer takes the drop
  }
}

}  // namespace storyloom
