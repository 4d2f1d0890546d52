#include "effects/transitions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <cmath>
#include <vector>

#include "game/game.h"
#include "game/message_bar.h"
#include "game/picture_items.h"
#include "media/audio_channels.h"
#include "media/animated_pictures.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "platform/skipped_steps.h"
#include "platform/twips.h"
#include "shell/editor_and_game.h"

namespace storyloom {

// picWhere: shows the old frame over the picture while the new one is built, then each step
// of the animation. It takes the clicks that reach the picture meanwhile.
class TransitionItem : public QGraphicsItem {
 public:
  explicit TransitionItem(Game& game) : game_(game) {
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
  }

  void showPicture(const QImage* picture) {
    setSize(picture->size());
    picture_ = picture;
    slideOld_ = slideNew_ = nullptr;
    update();
  }
  void showSlide(const QImage* oldFrame, QPoint oldAt, const QImage* newFrame, QPoint newAt) {
    setSize(oldFrame->size());
    picture_ = nullptr;
    slideOld_ = oldFrame;
    slideNew_ = newFrame;
    oldAt_ = oldAt;
    newAt_ = newAt;
    update();
  }
  void clear() {
    picture_ = slideOld_ = slideNew_ = nullptr;
    update();
  }

  QRectF boundingRect() const override { return {QPointF(0, 0), QSizeF(size_)}; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    painter->setClipRect(boundingRect());
    if (picture_) {
      painter->drawImage(QPoint(0, 0), *picture_);
    } else if (slideOld_ && slideNew_) {
      painter->drawImage(oldAt_, *slideOld_);
      painter->drawImage(newAt_, *slideNew_);
    }
  }

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override {
    game_.module().UserInterrupt = true;
    game_.picWhere_MouseDown(e->button());
    e->accept();
  }

 private:
  void setSize(QSize size) {
    if (size == size_) return;
    prepareGeometryChange();
    size_ = size;
  }

  Game& game_;
  QSize size_;
  const QImage* picture_ = nullptr;
  const QImage* slideOld_ = nullptr;
  const QImage* slideNew_ = nullptr;
  QPoint oldAt_, newAt_;
};

namespace {

// The shortest time one animation step takes; a faster machine waits the rest, a slower
// one simply draws fewer steps.
constexpr qint64 kStepNanoseconds = 4'000'000;

int roundedPixels(double value) { return static_cast<int>(roundHalfEven(value)); }

bool isCrossFade(int number) { return number == 0 || number == 1; }

}  // namespace

double TransitionProgress(double elapsed, double duration) {
  if (!(duration > 0) || elapsed > duration) return 1;
  if (elapsed <= 0) return 0;
  return elapsed / duration;
}

int CrossFadeAlpha(double progress) { return static_cast<int>(roundHalfEven(std::clamp(progress, 0.0, 1.0) * 255)); }

SlidePositions SlideOffsets(int number, double progress, QSize size) {
  const int w = size.width(), h = size.height();
  switch (number) {
    case 2: {  // the new frame comes in from the left
      const int x = roundedPixels(-w * (1 - progress));
      return {{x + w, 0}, {x, 0}};
    }
    case 3: {  // the new frame comes in from the right
      const int x = roundedPixels(-w * progress);
      return {{x, 0}, {x + w, 0}};
    }
    case 4: {  // the new frame comes in from the top
      const int y = roundedPixels(-h * (1 - progress));
      return {{0, y + h}, {0, y}};
    }
    case 5: {  // the new frame comes in from the bottom
      const int y = roundedPixels(-h * progress);
      return {{0, y}, {0, y + h}};
    }
    default: return {};
  }
}

QRect CaptureClip(const QRect& picture, const QRect& workArea) {
  const QRect kept = picture & workArea;
  if (kept.isEmpty()) return {};
  return kept.translated(-picture.topLeft());
}

void BlendFrames(QImage& into, const QImage& oldFrame, const QImage& newFrame, int alpha) {
  if (into.size() != oldFrame.size() || into.format() != QImage::Format_RGB32)
    into = QImage(oldFrame.size(), QImage::Format_RGB32);
  if (into.isNull()) throw PlatformError(7, QStringLiteral("Out of memory"));
  QPainter p(&into);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QPoint(0, 0), oldFrame);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  p.setOpacity(std::clamp(alpha, 0, 255) / 255.0);
  p.drawImage(QPoint(0, 0), newFrame);
}

Transitions::Transitions(Game& game) : game_(game) {
  picWhere_ = new TransitionItem(game);
  picWhere_->setZValue(layer::Transition);
  picWhere_->hide();
  game.scene().addItem(picWhere_);
  LoadTransitionNames();
}

Transitions::~Transitions() {
  if (TransitionRunning) qApp->removeEventFilter(this);
  delete picWhere_;
}

void Transitions::LoadTransitionNames() {
  TransitionNames = {QString(),
                     QStringLiteral("Alphablending"),
                     QStringLiteral("Slide Left"),
                     QStringLiteral("Slide Right"),
                     QStringLiteral("Slide Up"),
                     QStringLiteral("Slide Down")};
}

void Transitions::ReadDesktopWorkArea() {
  // The game's display has no task bar: all of it is work area.
  DesktopWorkArea = QRect(QPoint(0, 0), game_.module().display().size());
}

bool Transitions::skipped() const {
  return game_.module().EverythingStopped || game_.mnuDisableTransitions->isChecked();
}

bool Transitions::pictureShown() const { return picWhere_->isVisible(); }

QImage Transitions::renderPicture(const std::function<bool(double z)>& keep) {
  QGraphicsScene& scene = game_.scene();
  const QRectF area = scene.sceneRect();
  QImage image(area.size().toSize(), QImage::Format_RGB32);
  if (image.isNull()) throw PlatformError(7, QStringLiteral("Out of memory"));
  image.fill(Qt::black);
  // Left out by full transparency: hiding would take the mouse or the focus from them.
  std::vector<std::pair<QGraphicsItem*, double>> leftOut;
  for (QGraphicsItem* item : scene.items()) {
    if (item->parentItem() || !item->isVisible() || keep(item->zValue())) continue;
    leftOut.emplace_back(item, item->opacity());
    item->setOpacity(0);
  }
  {
    QPainter p(&image);
    scene.render(&p, QRectF(QPointF(0, 0), area.size()), area);
  }
  for (auto& [item, opacity] : leftOut) item->setOpacity(opacity);
  return image;
}

QImage Transitions::CaptureActualFrame() {
  // What the player sees below the running transitions and the message bar, without the
  // inventory.
  QImage image =
      renderPicture([](double z) { return z < layer::Inventory || (z >= layer::Dialogue && z < layer::Transition); });
  if (!game_.module().settings.MenuAlwaysVisible || !DesktopWorkArea.isValid() || !game_.PictureBox) return image;
  // With the menu bar always shown the window may reach past the work area; what lies
  // outside it was not seen and stays black.
  // Where the picture lies on the game's display.
  const Placement p = game_.placement();
  const QPoint topLeft(twipsToPixels(p.windowLeft + p.pictureLeft),
                       twipsToPixels(p.windowTop + (p.windowHeight - p.innerHeight) + p.pictureTop));
  const QRect kept = CaptureClip(QRect(topLeft, image.size()), DesktopWorkArea);
  if (kept == image.rect()) return image;
  QImage clipped(image.size(), QImage::Format_RGB32);
  clipped.fill(Qt::black);
  if (!kept.isEmpty()) {
    QPainter p(&clipped);
    p.drawImage(kept.topLeft(), image, kept);
  }
  return clipped;
}

QImage Transitions::CaptureCurrentFrame() {
  // Background, water and texts, then the hotspot pictures and the first pictures of the
  // animated ones; no videos, inventory or dialogue.
  const AnimatedPictures::FirstPictures firstPictures(game_.animatedPictures());
  return renderPicture([](double z) { return z < layer::Videos || (z >= layer::Hotspots && z < layer::Inventory); });
}

void Transitions::TransitionStep1(int iTransNumber) {
  (void)iTransNumber;
  if (skipped()) return;
  picStart = CaptureActualFrame();
  picEnd = QImage();
  captured_ = true;
  // The old frame stays on screen while the new one is built underneath.
  picWhere_->showPicture(&picStart);
  picWhere_->show();
}

void Transitions::TransitionStep2(int iTransNumber, double dTransitionDuration) {
  if (skipped()) {
    release();
    return;
  }
  const bool frameTimerOn = game_.Timer1.isActive();
  if (game_.messageBar().TimerMessageBox().isActive()) game_.messageBar().TimerMessageBox_Timer();
  game_.Timer1.stop();
  if (captured_) {
    runSkippingErrors(QStringLiteral("transition: the new frame"), [&] { picEnd = CaptureCurrentFrame(); });
    RunTransition(iTransNumber, dTransitionDuration);
  }
  if (frameTimerOn) game_.Timer1.start();
  release();
  game_.animatedPictures().RestartAniGifs();
  if (isCrossFade(iTransNumber))
    runSkippingErrors(QStringLiteral("transition: the temporary picture"), [&] {
      game_.module().DeleteFileIfExists(game_.module().paths.ProjectPath + QStringLiteral("Temp001.dat"));
    });
}

void Transitions::DrawStep(int number, double progress) {
  if (picStart.isNull() || picEnd.isNull()) return;
  if (isCrossFade(number)) {
    BlendFrames(blend_, picStart, picEnd, CrossFadeAlpha(progress));
    picWhere_->showPicture(&blend_);
  } else {
    const SlidePositions at = SlideOffsets(number, progress, picStart.size());
    picWhere_->showSlide(&picStart, at.oldFrame, &picEnd, at.newFrame);
  }
  picWhere_->show();
}

void Transitions::AudioFadeStep(double progress) { game_.audio().AudioFadeStep(progress); }

void Transitions::RunTransition(int Number, double Duration) {
  EditorAndGame& module = game_.module();
  const bool animate = Duration > 0 && Number >= 0 && Number <= TransitionCount && !TransitionRunning &&
                       !picStart.isNull() && !picEnd.isNull() && picStart.size() == picEnd.size();
  if (animate) {
    Run run;
    run.number = Number;
    run.seconds = Duration;
    TransitionRunning = true;
    module.UserInterrupt = false;
    bool ended = false;
    qApp->installEventFilter(this);
    try {
      QElapsedTimer clock;
      clock.start();
      for (;;) {
        const qint64 stepStart = clock.nsecsElapsed();
        const double elapsed = stepStart / 1e9;
        const double progress = TransitionProgress(elapsed, Duration);
        DrawStep(Number, progress);
        ++run.steps;
        AudioFadeStep(progress);
        if (game_.PictureBox) game_.PictureBox->viewport()->repaint();
        QCoreApplication::processEvents();
        if (module.UserInterrupt) {
          module.UserInterrupt = false;
          run.interrupted = true;
          break;
        }
        if (elapsed > Duration) break;
        const qint64 spent = clock.nsecsElapsed() - stepStart;
        if (spent < kStepNanoseconds) QThread::usleep(static_cast<unsigned long>((kStepNanoseconds - spent) / 1000));
      }
      lastRun_ = run;
      ended = true;
    } catch (const std::exception& e) {
      if (!game_.TransitionErrorShown) {
        game_.TransitionErrorShown = true;
        module.ReportError(QStringLiteral(" Error rendering the full-screen alphablending transitions. Make sure "
                                          "that the file 'Msimg32.dll' is in your Windows\\System directory. This "
                                          "message will not reappear until you restart the program. "),
                           QString::fromUtf8(e.what()));
      }
    }
    qApp->removeEventFilter(this);
    TransitionRunning = false;
    if (ended && finished) finished(run);
  }
  picWhere_->clear();
  picWhere_->hide();
  AudioFadeStep(1);
}

bool Transitions::eventFilter(QObject* watched, QEvent* event) {
  // Any click or key in the game window ends a running animation.
  if (TransitionRunning && (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)) {
    if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == &game_) game_.module().UserInterrupt = true;
  }
  return false;
}

void Transitions::release() {
  picWhere_->clear();
  picWhere_->hide();
  picStart = QImage();
  picEnd = QImage();
  blend_ = QImage();
  captured_ = false;
}

Transitions::FrameChange::FrameChange(Transitions& transitions, bool withTransition)
    : transitions_(transitions), withTransition_(withTransition) {
  transitions_.lastRun_.reset();
}

Transitions::FrameChange::~FrameChange() {
  if (withTransition_ && transitions_.captured_ && !transitions_.TransitionRunning) transitions_.release();
}

}  // namespace storyloom
