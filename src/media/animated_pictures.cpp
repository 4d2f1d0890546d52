#include "media/animated_pictures.h"

#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QImageReader>
#include <QPainter>

#include "game/game.h"
#include "game/picture_items.h"
#include "hotspots/frame_areas.h"
#include "platform/mouse_buttons.h"
#include "platform/skipped_steps.h"
#include "platform/twips.h"
#include "shell/editor_and_game.h"
#include "state/inventory.h"

namespace storyloom {

namespace {

constexpr qint16 kOwnTiming = 50;

}  // namespace

// --- AniGifBox ---

AniGifBox::AniGifBox(int index) : index_(index) {
  setAcceptHoverEvents(true);
  setZValue(layer::AniGifs);
  movie_.setCacheMode(QMovie::CacheAll);
  QObject::connect(&movie_, &QMovie::frameChanged, this, [this] {
    if (!showFirst_) update();
  });
}

float AniGifBox::Left() const { return static_cast<float>(pos().x()) * kTwipsPerPixel; }
float AniGifBox::Top() const { return static_cast<float>(pos().y()) * kTwipsPerPixel; }
void AniGifBox::moveTo(float xTwips, float yTwips) { setPos(xTwips / kTwipsPerPixel, yTwips / kTwipsPerPixel); }

bool AniGifBox::load(const QString& hostPath) {
  movie_.stop();
  movie_.setFileName(hostPath);
  QImageReader reader(hostPath);
  first_ = reader.read();
  if (first_.isNull() || !movie_.isValid()) return false;
  prepareGeometryChange();
  movie_.jumpToFrame(0);
  update();
  return true;
}

void AniGifBox::setSpeed(qint16 speed) {
  speed_ = speed;
  movie_.setSpeed(AnimatedPictures::speedPercent(speed));
}

void AniGifBox::start() {
  movie_.stop();
  movie_.start();
}

void AniGifBox::stop() { movie_.stop(); }

void AniGifBox::setShowFirstPicture(bool first) {
  showFirst_ = first;
  update();
}

QRectF AniGifBox::boundingRect() const { return QRectF(QPointF(0, 0), QSizeF(first_.size())); }

void AniGifBox::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  const QImage shown = showFirst_ ? first_ : movie_.currentImage();
  if (!shown.isNull()) painter->drawImage(QPointF(0, 0), shown);
}

void AniGifBox::mousePressEvent(QGraphicsSceneMouseEvent* e) {
  e->accept();
  if (!mouseDown) return;
  ++busy_;
  mouseDown(index_, windowsButton(e->button()), static_cast<float>(e->pos().x()) * kTwipsPerPixel,
            static_cast<float>(e->pos().y()) * kTwipsPerPixel);
  --busy_;
}

// The second press of a double-click: the first press was the click.
void AniGifBox::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) { e->accept(); }

void AniGifBox::hoverMoveEvent(QGraphicsSceneHoverEvent*) {
  if (mouseMove) mouseMove();
}

// --- AnimatedPictures ---

AnimatedPictures::AnimatedPictures(Game& game) : game_(game) {}

AnimatedPictures::~AnimatedPictures() {
  for (size_t i = 1; i < boxes_.size(); ++i) delete boxes_[i];
  for (AniGifBox* b : removed_) delete b;
}

int AnimatedPictures::speedPercent(qint16 Speed) {
  const int speed = Speed < 1 ? kOwnTiming : Speed;
  return speed * 100 / kOwnTiming;
}

AniGifBox* AnimatedPictures::Box(int Index) const {
  if (Index < 1 || Index > highestIndex()) return nullptr;
  return boxes_[static_cast<size_t>(Index)];
}

int AnimatedPictures::AniGifNewWithIndex(int NewIndex, const QString& FileName, float X, float Y, qint16 Speed) {
  if (FileName.isEmpty() || NewIndex < 1) return 0;
  deleteRemoved();
  unload(NewIndex);
  auto* box = new AniGifBox(NewIndex);
  box->setObjectName(QStringLiteral("AniGifBox%1").arg(NewIndex));
  box->setCursor(game_.defaultPointer().cursor());
  box->mouseDown = [this](int index, int button, float x, float y) {
    AniGifBox* b = Box(index);
    if (!b) return;
    game_.SaveClickPos(b->Left() + x, b->Top() + y);
    game_.areas().actions().AreaClick(index, button);
  };
  box->mouseMove = [this] { game_.inventory().PointerOverFrame(); };
  if (boxes_.size() <= static_cast<size_t>(NewIndex)) boxes_.resize(static_cast<size_t>(NewIndex) + 1, nullptr);
  boxes_[static_cast<size_t>(NewIndex)] = box;
  box->moveTo(X, Y);
  game_.scene().addItem(box);  // in front of the boxes before it
  AniGifUpdate(NewIndex, FileName, Speed);
  return NewIndex;
}

void AnimatedPictures::AniGifUpdate(int Index, const QString& FileName, qint16 Speed) {
  EditorAndGame& m = game_.module();
  if (m.EverythingStopped) return;
  AniGifBox* box = Box(Index);
  if (!box) return;
  // Errors end the routine without a message.
  runSkippingErrors(QStringLiteral("animated picture #%1").arg(Index), [&] {
    const bool usable = !FileName.isEmpty() && m.FileExists(FileName) && box->load(m.hostPathOf(FileName));
    if (!usable) {
      unload(Index);
      return;
    }
    box->setSpeed(Speed);
    box->start();
    box->setVisible(true);
  });
}

bool AnimatedPictures::AniGifBoxVisible(int Index) const {
  AniGifBox* box = Box(Index);
  return box && box->isVisible();
}

void AnimatedPictures::SetAniGifBoxVisible(int Index, bool visible) {
  if (AniGifBox* box = Box(Index)) box->setVisible(visible);
}

void AnimatedPictures::AniGifOperation(int Index, int operation) {
  AniGifBox* box = Box(Index);
  if (!box) return;
  if (operation == 1)
    box->start();
  else if (operation == 2)
    box->stop();
}

void AnimatedPictures::SetAniGifBoxPointer(int Index, const QCursor* cursor) {
  AniGifBox* box = Box(Index);
  if (!box) return;
  box->setCursor(cursor ? *cursor : game_.defaultPointer().cursor());
}

void AnimatedPictures::unload(int Index) {
  AniGifBox* box = Box(Index);
  if (!box) return;
  boxes_[static_cast<size_t>(Index)] = nullptr;
  while (boxes_.size() > 1 && !boxes_.back()) boxes_.pop_back();
  box->stop();
  box->setVisible(false);
  if (box->scene()) box->scene()->removeItem(box);
  removed_.push_back(box);
}

void AnimatedPictures::deleteRemoved() {
  std::vector<AniGifBox*> keep;
  for (AniGifBox* b : removed_) {
    if (b->busy())
      keep.push_back(b);
    else
      delete b;
  }
  removed_.swap(keep);
}

void AnimatedPictures::UnloadAniGifs() {
  deleteRemoved();
  while (highestIndex() >= 1) unload(highestIndex());
}

void AnimatedPictures::RestartAniGifs() {
  for (int i = 1; i <= highestIndex(); ++i) {
    AniGifBox* box = Box(i);
    if (box && box->isVisible()) {
      box->stop();
      box->start();
    }
  }
}

AnimatedPictures::FirstPictures::FirstPictures(AnimatedPictures& pictures) : pictures_(pictures) {
  for (int i = 1; i <= pictures_.highestIndex(); ++i)
    if (AniGifBox* box = pictures_.Box(i)) box->setShowFirstPicture(true);
}

AnimatedPictures::FirstPictures::~FirstPictures() {
  for (int i = 1; i <= pictures_.highestIndex(); ++i)
    if (AniGifBox* box = pictures_.Box(i)) box->setShowFirstPicture(false);
}

}  // namespace storyloom
