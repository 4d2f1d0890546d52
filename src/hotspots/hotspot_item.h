#pragma once
#include <QCursor>
#include <QGraphicsObject>
#include <QPixmap>
#include <functional>

// One element of the Area array: a rectangle of the frame picture that may show a
// picture, carries its own pointer and receives the clicks and drops of the hotspot.
// Position and size are kept in twips, as the hotspot file gives them.
namespace storyloom {

// The drag data an inventory item carries: its slot number as decimal text.
inline const char* kPickedObjectMime = "application/x-storyloom-picked-object";

class HotspotItem : public QGraphicsObject {
  Q_OBJECT
 public:
  explicit HotspotItem(int index);

  int index() const { return index_; }
  // 0 plain, -1 looping video, > 0 the animated picture's element.
  qint16 HotspotMarker = 0;

  void move(float leftTwips, float topTwips, float widthTwips, float heightTwips);
  float Left() const { return left_; }
  float Top() const { return top_; }
  float Width() const { return width_; }
  float Height() const { return height_; }

  void setStretch(bool stretch);
  bool Stretch() const { return stretch_; }
  // A picture not stretched gives the element its own size.
  void setPicture(const QPixmap& picture);
  const QPixmap& Picture() const { return picture_; }
  // MousePointer 99 with this pointer, or the default pointer (usesDefaultPointer).
  void setCustomPointer(const QCursor& cursor);
  void setDefaultPointer(const QCursor& cursor);
  bool usesDefaultPointer() const { return defaultPointer_; }

  // Button: 1 left, 2 right, 4 middle; positions in twips relative to the element.
  std::function<void(int index, int button, float xTwips, float yTwips)> mouseDown;
  std::function<void(int index)> mouseMove;
  // An inventory item dropped here; the position in twips of the picture.
  std::function<void(int index, int objectIndex, float xTwips, float yTwips)> dragDrop;

  // True while one of its handlers runs (it must not be deleted then).
  bool busy() const { return busy_ > 0; }

  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override;
  // The second press of a double-click: the first press was the click.
  void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) override;
  void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override;
  void dragEnterEvent(QGraphicsSceneDragDropEvent* e) override;
  void dropEvent(QGraphicsSceneDragDropEvent* e) override;

 private:
  int index_;
  int busy_ = 0;
  float left_ = 0, top_ = 0, width_ = 15, height_ = 15;
  bool stretch_ = false;
  bool defaultPointer_ = true;
  QPixmap picture_;
};

}  // namespace storyloom
