#include "shell/pointer_scaling.h"

#include <QEvent>
#include <QPixmap>
#include <QWidget>
#include <cmath>

#include "shell/display.h"

namespace storyloom {

namespace {
constexpr qsizetype kRemembered = 256;
}  // namespace

QCursor PointerAtScale(const QCursor& pointer, double factor) {
  if (pointer.shape() != Qt::BitmapCursor || factor <= 1.0) return pointer;
  const QPixmap own = pointer.pixmap();
  if (own.isNull()) return pointer;
  const QSize size(static_cast<int>(std::lround(own.width() * factor)),
                   static_cast<int>(std::lround(own.height() * factor)));
  // Whole factors give sharp pixels, as the picture has them.
  QPixmap larger = own.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  larger.setDevicePixelRatio(own.devicePixelRatio());
  const QPoint hot = pointer.hotSpot();
  return QCursor(larger, static_cast<int>(std::lround(hot.x() * factor)),
                 static_cast<int>(std::lround(hot.y() * factor)));
}

PointerScaling::PointerScaling(ScaledScreen& screen, std::initializer_list<QWidget*> watched)
    : QObject(&screen), screen_(screen), factor_(screen.scale().factor) {
  for (QWidget* w : watched) {
    watched_.emplace_back(w);
    w->installEventFilter(this);
    follow(w);
  }
  connect(&screen_, &ScaledScreen::scaleChanged, this, [this] {
    factor_ = screen_.scale().factor;
    scaledOf_.clear();
    for (const QPointer<QWidget>& w : watched_)
      if (w) follow(w);
  });
}

QCursor PointerScaling::shown(const QCursor& pointer) {
  if (pointer.shape() != Qt::BitmapCursor) return pointer;
  const qint64 key = pointer.pixmap().cacheKey();
  const QCursor original = originalOf_.value(key, pointer);
  const qint64 originalKey = original.pixmap().cacheKey();
  auto it = scaledOf_.constFind(originalKey);
  if (it != scaledOf_.constEnd()) return *it;
  const QCursor scaled = PointerAtScale(original, factor_);
  // Every frame loads its pointers anew: the tables are emptied now and then so that a long
  // game does not keep every pointer it ever showed.
  if (scaledOf_.size() >= kRemembered) {
    scaledOf_.clear();
    originalOf_.clear();
  }
  scaledOf_.insert(originalKey, scaled);
  originalOf_.insert(scaled.pixmap().cacheKey(), original);
  return scaled;
}

void PointerScaling::follow(QWidget* widget) {
  if (applying_ || !widget->testAttribute(Qt::WA_SetCursor)) return;
  const QCursor now = widget->cursor();
  if (now.shape() != Qt::BitmapCursor) return;
  const QCursor wanted = shown(now);
  if (wanted.pixmap().cacheKey() == now.pixmap().cacheKey()) return;
  applying_ = true;
  widget->setCursor(wanted);
  applying_ = false;
}

bool PointerScaling::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::CursorChange && watched->isWidgetType()) follow(static_cast<QWidget*>(watched));
  return false;
}

}  // namespace storyloom
