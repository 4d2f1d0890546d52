#include "hotspots/hotspot_item.h"
#include "platform/mouse_buttons.h"
#include "platform/twips.h"
#include "shell/display.h"

#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QMimeData>
#include <QPainter>

namespace storyloom {

HotspotItem::HotspotItem(int index) : index_(index) {
  setAcceptHoverEvents(true);
  setAcceptDrops(true);
  setVisible(false);
}

void HotspotItem::move(float leftTwips, float topTwips, float widthTwips, float heightTwips) {
  prepareGeometryChange();
  left_ = leftTwips;
  top_ = topTwips;
  width_ = widthTwips;
  height_ = heightTwips;
  setPos(left_ / kTwipsPerPixel, top_ / kTwipsPerPixel);
}

void HotspotItem::setStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void HotspotItem::setPicture(const QPixmap& picture) {
  picture_ = picture;
  if (!picture_.isNull() && !stretch_)
    move(left_, top_, picture_.width() * kTwipsPerPixel, picture_.height() * kTwipsPerPixel);
  update();
}

void HotspotItem::setCustomPointer(const QCursor& cursor) {
  defaultPointer_ = false;
  setCursor(cursor);
}

void HotspotItem::setDefaultPointer(const QCursor& cursor) {
  defaultPointer_ = true;
  setCursor(cursor);
}

QRectF HotspotItem::boundingRect() const { return {0, 0, width_ / kTwipsPerPixel, height_ / kTwipsPerPixel}; }

void HotspotItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (picture_.isNull()) return;
  if (stretch_)
    painter->drawPixmap(boundingRect(), picture_, QRectF(picture_.rect()));
  else
    painter->drawPixmap(QPointF(0, 0), picture_);
}

void HotspotItem::mousePressEvent(QGraphicsSceneMouseEvent* e) {
  e->accept();
  // The handler may open another frame, which takes this element off the picture; it is
  // deleted only once no handler of it runs.
  if (!mouseDown) return;
  ++busy_;
  // The picture pixel under the pointer, whatever the scale the picture is shown at.
  const QPointF at = mapFromScene(QPointF(PicturePixelAt(e->scenePos())));
  mouseDown(index_, windowsButton(e->button()), static_cast<float>(at.x()) * kTwipsPerPixel,
            static_cast<float>(at.y()) * kTwipsPerPixel);
  --busy_;
}

void HotspotItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) { e->accept(); }

void HotspotItem::hoverMoveEvent(QGraphicsSceneHoverEvent*) {
  if (mouseMove) mouseMove(index_);
}

void HotspotItem::dragEnterEvent(QGraphicsSceneDragDropEvent* e) {
  e->setAccepted(e->mimeData()->hasFormat(QLatin1String(kPickedObjectMime)));
}

void HotspotItem::dropEvent(QGraphicsSceneDragDropEvent* e) {
  bool ok = false;
  const int objectIndex = QString::fromLatin1(e->mimeData()->data(QLatin1String(kPickedObjectMime))).toInt(&ok);
  if (!ok || !dragDrop) return;
  e->acceptProposedAction();
  ++busy_;
  const QPoint at = PicturePixelAt(e->scenePos());
  dragDrop(index_, objectIndex, static_cast<float>(at.x()) * kTwipsPerPixel,
           static_cast<float>(at.y()) * kTwipsPerPixel);
  --busy_;
}

}  // namespace storyloom
