#pragma once
#include <QCursor>
#include <QGraphicsObject>
#include <QImage>
#include <QMovie>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

// Animated pictures of hotspots: element i of AniGifBox holds the GIF of hotspot i (AniGif)
// and places it on the picture. The box behaves like its hotspot: a click on it is a click
// on the hotspot, an inventory item dropped on it is used on the hotspot, and the pointer
// moving over it is the pointer moving over the frame.
namespace storyloom {

class Game;

// One AniGifBox element with its AniGif: a QMovie drawn at the box's place (twips of the
// picture for Left/Top, like every frame element).
class AniGifBox : public QGraphicsObject {
  Q_OBJECT
 public:
  explicit AniGifBox(int index);
  int index() const { return index_; }

  float Left() const;
  float Top() const;
  void moveTo(float xTwips, float yTwips);

  // Loads the file (the GIF's file name); false when it cannot be read.
  bool load(const QString& hostPath);
  // The speed as a project gives it; 50 is the file's own timing.
  void setSpeed(qint16 speed);
  qint16 speed() const { return speed_; }
  // Operation 1 of the GIF: start the animation; 2: stop it.
  void start();
  void stop();
  bool running() const { return movie_.state() == QMovie::Running; }
  // Milliseconds until the next picture, with the speed applied, less the time that making
  // the picture now shown took.
  int frameDelay() const { return movie_.nextFrameDelay(); }
  // The picture now shown, and the file's first picture.
  QImage currentPicture() const { return movie_.currentImage(); }
  const QImage& firstPicture() const { return first_; }
  // Shows the first picture instead of the running one (a transition renders the frame).
  void setShowFirstPicture(bool first);

  // Button 1 left, 2 right, 4 middle; positions in twips relative to the box.
  std::function<void(int index, int button, float xTwips, float yTwips)> mouseDown;
  std::function<void()> mouseMove;
  // True while one of its handlers runs (it must not be deleted then).
  bool busy() const { return busy_ > 0; }

  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override;
  void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) override;
  void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override;

 private:
  int index_;
  int busy_ = 0;
  qint16 speed_ = 50;
  bool showFirst_ = false;
  QMovie movie_;
  QImage first_;
};

class AnimatedPictures {
 public:
  explicit AnimatedPictures(Game& game);
  ~AnimatedPictures();
  AnimatedPictures(const AnimatedPictures&) = delete;
  AnimatedPictures& operator=(const AnimatedPictures&) = delete;

  // The QMovie speed (percent of the file's own timing) for a project's speed value:
  // below 1 counts as 50, and 50 is the file's own timing.
  static int speedPercent(qint16 Speed);

  // Makes the GIF of hotspot NewIndex at (X, Y) twips and returns NewIndex; 0, making
  // nothing, for an empty FileName (a full path) or NewIndex below 1.
  int AniGifNewWithIndex(int NewIndex, const QString& FileName, float X, float Y, qint16 Speed = 0);
  // Loads FileName into GIF Index and starts it, or removes the GIF and its box when the
  // name is empty or the file is missing or unreadable. Nothing while everything stops.
  void AniGifUpdate(int Index, const QString& FileName, qint16 Speed = 0);
  // Element Index of AniGifBox; nullptr when it is not loaded.
  AniGifBox* Box(int Index) const;
  int highestIndex() const { return static_cast<int>(boxes_.size()) - 1; }
  bool AniGifBoxVisible(int Index) const;
  void SetAniGifBoxVisible(int Index, bool visible);
  // 1 starts the animation, 2 stops it.
  void AniGifOperation(int Index, int operation);
  // The box's own pointer, or the game's default pointer for nullptr.
  void SetAniGifBoxPointer(int Index, const QCursor* cursor);
  // Removes every element above the template.
  void UnloadAniGifs();
  // After a transition: every visible GIF is stopped and started again.
  void RestartAniGifs();

  // While one lives, every box shows its file's first picture.
  class FirstPictures {
   public:
    explicit FirstPictures(AnimatedPictures& pictures);
    ~FirstPictures();
    FirstPictures(const FirstPictures&) = delete;
    FirstPictures& operator=(const FirstPictures&) = delete;

   private:
    AnimatedPictures& pictures_;
  };

 private:
  void unload(int Index);
  void deleteRemoved();

  Game& game_;
  std::vector<AniGifBox*> boxes_{nullptr};  // element 0: the template, never on the picture
  std::vector<AniGifBox*> removed_;
};

}  // namespace storyloom
