#pragma once
#include <QColor>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QPixmap>
#include <functional>

// The game picture: one scene of ScreenWidth x ScreenHeight pixels in which every frame
// element is an item, stacked by the layers below, shown by one view (PictureBox).
namespace storyloom {

// Stacking layers of the frame elements; within a layer, later items lie in front.
namespace layer {
constexpr double Background = 0;
constexpr double Water = 50;
constexpr double Texts = 100;
constexpr double Videos = 190;
constexpr double Hotspots = 200;
constexpr double AniGifs = 210;
constexpr double OneTimeVideo = 300;
constexpr double Inventory = 500;
constexpr double Dialogue = 700;
constexpr double Transition = 900;
// The message bar lies in front of everything else, a running transition included.
constexpr double MessageBar = 1000;
}  // namespace layer

// What mouse presses and moves on the plain picture (background, texts, the message bar)
// lead to in the game window.
struct PictureInput {
  std::function<void(Qt::MouseButton)> mouseDown;
  std::function<void()> mouseMove;
};

// BackImage: the frame's background, a solid colour, a picture at the top left over black,
// or a picture repeated over the whole picture (partial tiles at the right and bottom).
class BackgroundItem : public QGraphicsItem {
 public:
  enum class Mode { Colour, Picture, Tiled };
  BackgroundItem(QSizeF size, const PictureInput& input);

  void setSize(QSizeF size);
  void showColour(const QColor& colour);
  void showPicture(const QPixmap& picture);
  void showTiled(const QPixmap& tile);

  Mode mode() const { return mode_; }
  QColor colour() const { return colour_; }
  const QPixmap& picture() const { return picture_; }

  QRectF boundingRect() const override { return {QPointF(0, 0), size_}; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override;
  void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override;

 private:
  QSizeF size_;
  const PictureInput& input_;
  Mode mode_ = Mode::Colour;
  QColor colour_ = Qt::black;
  QPixmap picture_;
};

// PictureBox: the view of the scene, at the picture's own size (no scrolling, no scaling).
class PictureView : public QGraphicsView {
  Q_OBJECT
 public:
  explicit PictureView(QGraphicsScene* scene, QWidget* parent);
  // Mouse presses that reach the view outside any item (none normally).
  std::function<void(Qt::MouseButton)> emptyMouseDown;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  // A double-click is one mouse-down on the picture: its second press reaches no element,
  // not even one that came under the pointer through the first (a message bar that hid, a
  // frame that opened).
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

}  // namespace storyloom
