#pragma once
#include <QGraphicsObject>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The inventory: the items the player holds, shown as a bar of icons (Inventory1) that
// slides down from the top of the picture when the pointer touches the inventory button
// (Inventory2) or the bar, and back up when it moves over the frame. Items are combined by
// dragging one icon onto another and used by dragging an icon onto a hotspot.
//
// Positions are kept in twips, 15 to the pixel; the bar and its icons are items of the
// game picture at layer::Inventory.
namespace storyloom {

class Game;
class EditorAndGame;
class FieldReader;

// One part of the inventory on the picture: the bar, its background, the button or an
// item's icon. Presses, moves and releases are handed to the inventory.
class InventoryPart : public QGraphicsObject {
  Q_OBJECT
 public:
  enum class Kind { Bar, Background, Button, Item };
  InventoryPart(Kind kind, int index, QGraphicsItem* parent = nullptr);

  Kind kind() const { return kind_; }
  // The element number of a PickedObject (1..ObjectsCount); 0 for the other parts.
  int index() const { return index_; }
  void setSizePixels(QSizeF size);
  void setPicture(const QPixmap& picture);
  const QPixmap& Picture() const { return picture_; }
  // Tag: the item name, the item's identity for every lookup.
  QString Tag;

  std::function<void(InventoryPart&)> hovered;
  std::function<void(InventoryPart&, QGraphicsSceneMouseEvent*)> pressed;
  std::function<void(InventoryPart&, QGraphicsSceneMouseEvent*)> released;

  QRectF boundingRect() const override { return {QPointF(0, 0), size_}; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 protected:
  void hoverEnterEvent(QGraphicsSceneHoverEvent* e) override;
  void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override;
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override;
  void mouseReleaseEvent(QGraphicsSceneMouseEvent* e) override;
  void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) override;

 private:
  Kind kind_;
  int index_;
  QSizeF size_;
  QPixmap picture_;
};

// Looks up hotspot AreaIndex's record in a frame's ".fm4" file: the item the hotspot gives,
// or none when it gives none or has no record. A damaged file throws PlatformError.
std::optional<QString> ReadPickedItem(FieldReader& f, int AreaIndex);

class Inventory {
 public:
  explicit Inventory(Game& game);
  ~Inventory();
  Inventory(const Inventory&) = delete;
  Inventory& operator=(const Inventory&) = delete;

  // --- state ---
  qint16 ObjectsCount = 0;
  qint16 DraggedObjectIndex = 0;
  qint16 InventoryDirection = 0;  // 0 none, 1 towards shown, 2 towards hidden
  bool InventoryMoving = false;
  bool InventoryPopUp = false;
  QTimer TimerInventory;

  // --- the items ---
  // Appends one item (duplicates make a second slot); opens the bar for two seconds
  // unless DoNotPopup. Errors are reported and the game goes on.
  void AddPickedObject(const QString& ItemName, bool DoNotPopup);
  // Removes the item at 1-based Index: the contents of later slots shift one slot down,
  // the slots stay where they are.
  void RemovePickedObject(int Index);
  // Adds the item that hotspot AreaIndex of the current frame gives (its .fm4 record).
  void PickOrNotPickObject(int AreaIndex);
  // The name of item i (1..ObjectsCount); empty for any other index.
  QString PickedObjectTag(int index) const;
  // The element i (1..ObjectsCount); nullptr for any other index.
  InventoryPart* PickedObject(int index) const;

  // --- for saved games ---
  // The item names in slot order.
  QStringList itemNames() const;
  int count() const { return ObjectsCount; }
  // Appends an item without the pop-up (as restoring a saved game does).
  void addWithoutPopup(const QString& itemName) { AddPickedObject(itemName, true); }
  // Unloads every item; ObjectsCount 0. The bar keeps its height.
  void EmptyInventory();

  // --- the bar ---
  // The game reset's layout: the bar hidden at the height of one empty row, the button at
  // the top left, the background picture loaded.
  void ResetLayout();
  void Load_InventoryBackground();
  // Runs the bar towards the position InventoryDirection names; returns when it is there.
  void Inventory_Move();
  // Puts the bar at its hidden position at once.
  void Inventory_Hide();
  // The pointer moved over the bar or the button (direction 1), or over the frame picture,
  // a hotspot or a text (direction 2); the bar follows when it is not already moving.
  void PointerOverInventory();
  void PointerOverFrame();
  // Icon i dropped on icon Index: the combination file A_on_B.drg.
  void Combine(int Index);

  // Twips: the grid cell of item k (1-based) and the bar height for K items.
  QPoint GridPosition(int k) const;
  int BarHeight(int K) const;
  int EmptyBarHeight() const;

  // The parts on the picture.
  InventoryPart& Inventory1() { return *bar_; }
  InventoryPart& Inventory2() { return *button_; }
  InventoryPart& Inventory_Background() { return *background_; }
  // Twips.
  double BarTop() const { return barTop_; }
  int BarHeightNow() const { return barHeight_; }
  // True while an item is being dragged.
  bool dragging() const { return dragging_; }

 private:
  EditorAndGame& module();
  void setBarTop(double topTwips);
  void setBarHeight(int heightTwips);
  void placeBackground();
  QString readIconName(const QString& itemName);
  QPixmap loadIcon(const QString& iconName);
  void takeOff(InventoryPart* part);
  void TimerInventory_Timer();
  void itemPressed(InventoryPart& item, QGraphicsSceneMouseEvent* e);
  void itemReleased(InventoryPart& item, QGraphicsSceneMouseEvent* e);
  void endDrag();
  void drop(QPointF scenePos);

  Game& game_;
  std::unique_ptr<InventoryPart> bar_;
  std::unique_ptr<InventoryPart> button_;
  InventoryPart* background_ = nullptr;                // child of the bar
  std::vector<InventoryPart*> PickedObject_{nullptr};  // element 0: the template, never an item
  // Items taken off the picture; deleted once no handler of theirs can still run.
  std::vector<InventoryPart*> removed_;
  int handlers_ = 0;
  double barTop_ = 0;
  int barHeight_ = 0;
  bool dragging_ = false;
};

}  // namespace storyloom
