#include "game/picture_items.h"

#include <QGraphicsSceneMouseEvent>
#include <QMouseEvent>
#include <QPainter>

namespace storyloom {

BackgroundItem::BackgroundItem(QSizeF size, const PictureInput& input) : size_(size), input_(input) {
  setAcceptHoverEvents(true);
  setZValue(layer::Background);
}

void BackgroundItem::setSize(QSizeF size) {
  prepareGeometryChange();
  size_ = size;
}

void BackgroundItem::showColour(const QColor& colour) {
  mode_ = Mode::Colour;
  colour_ = colour;
  picture_ = QPixmap();
  update();
}

void BackgroundItem::showPicture(const QPixmap& picture) {
  mode_ = Mode::Picture;
  colour_ = Qt::black;
  picture_ = picture;
  update();
}

void BackgroundItem::showTiled(const QPixmap& tile) {
  mode_ = Mode::Tiled;
  picture_ = tile;
  update();
}

void BackgroundItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  const QRectF area = boundingRect();
  switch (mode_) {
    case Mode::Colour: painter->fillRect(area, colour_); break;
    case Mode::Picture:
      painter->fillRect(area, Qt::black);
      if (!picture_.isNull()) painter->drawPixmap(QPointF(0, 0), picture_);
      break;
    case Mode::Tiled:
      painter->fillRect(area, colour_);
      if (!picture_.isNull()) painter->drawTiledPixmap(area, picture_);
      break;
  }
}

void BackgroundItem::mousePressEvent(QGraphicsSceneMouseEvent* e) {
  if (input_.mouseDown) input_.mouseDown(e->button());
  e->accept();
}

void BackgroundItem::hoverMoveEvent(QGraphicsSceneHoverEvent*) {
  if (input_.mouseMove) input_.mouseMove();
}

PictureView::PictureView(QGraphicsScene* scene, QWidget* parent) : QGraphicsView(scene, parent) {
  setObjectName(QStringLiteral("PictureBox"));
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setBackgroundBrush(Qt::black);
  setFocusPolicy(Qt::NoFocus);
  setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
  setOptimizationFlag(QGraphicsView::DontSavePainterState);
  setCacheMode(QGraphicsView::CacheNone);
  // Clicks land on the viewport: walkthroughs name it after the background it shows.
  viewport()->setObjectName(QStringLiteral("BackImage"));
}

void PictureView::mousePressEvent(QMouseEvent* e) {
  QGraphicsView::mousePressEvent(e);
  if (e->isAccepted() || !emptyMouseDown) return;
  emptyMouseDown(e->button());
  // The mouse-down is done: the window around the picture does not see it again.
  e->accept();
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }

}  // namespace storyloom
