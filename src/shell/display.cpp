#include "shell/display.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "shell/editor_and_game.h"

namespace storyloom {

Display::Display(EditorAndGame& module) : module_(module) {
  if (QGuiApplication::instance()) RecordStartupDisplayMode();
}

QSize Display::realScreenSize() {
  const QScreen* screen = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
  return screen ? screen->geometry().size() : QSize(0, 0);
}

void Display::RecordStartupDisplayMode() {
  chosen_.reset();
  const QSize real = realScreenSize();
  StartupDisplayWidth = real.width();
  StartupDisplayHeight = real.height();
  const QScreen* screen = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
  StartupDisplayFrequency = screen ? static_cast<qint32>(std::lround(screen->refreshRate())) : 0;
}

QSize Display::size() const { return chosen_ ? *chosen_ : realScreenSize(); }

std::optional<QSize> Display::ModeSize(int mode) {
  switch (mode) {
    case 1: return QSize(640, 480);
    case 2: return QSize(800, 600);
    case 3: return QSize(1024, 768);
    default: return std::nullopt;
  }
}

void Display::ChangeDisplayMode(double width, double height, bool restore) {
  const QSize target(static_cast<int>(roundHalfEven(width)), static_cast<int>(roundHalfEven(height)));
  const QSize startup(StartupDisplayWidth, StartupDisplayHeight);
  // The virtual display offers the three game sizes and the size the program started with.
  bool offered = target == startup || target == realScreenSize();
  for (int mode = 1; mode <= 3; ++mode) offered = offered || target == *ModeSize(mode);
  if (!offered || target.isEmpty()) {
    module_.ReportError(QStringLiteral(" Unable to change display resolution. Mode not supported."));
    return;
  }
  if (restore || target == realScreenSize())
    chosen_.reset();
  else
    chosen_ = target;
}

void Display::ChangeResolutionToMode(int mode) {
  const std::optional<QSize> target = ModeSize(mode);
  if (!target) return;
  try {
    if (DesktopWidth() == target->width()) return;  // the height is not compared
    const QSize before = size();
    ChangeDisplayMode(target->width(), target->height(), false);
    // A real mode change needs a second to settle; the virtual display is there at once.
    if (size() != before) Q_EMIT modeChanged();
  } catch (...) {
    module_.ReportError(QStringLiteral(" Error changing display resolution. "), PlatformError::current());
  }
}

bool Display::ResolutionMatchesProject(int resolutionMode) const {
  const std::optional<QSize> s = ModeSize(resolutionMode + 1);
  return s && *s == QSize(StartupDisplayWidth, StartupDisplayHeight);
}

void Display::RestoreDisplayModeIfChanged() {
  if (DesktopWidth() != StartupDisplayWidth || DesktopHeight() != StartupDisplayHeight)
    ChangeDisplayMode(StartupDisplayWidth, StartupDisplayHeight, true);
}

bool SmallFontsCheck() {
  QFont font = QGuiApplication::font();
  // Every text of the runtime is sized in pixels from its points at 96 dots per inch.
  const int pixels =
      font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
  if (pixels <= 0) return true;
  font.setPixelSize(pixels);
  return QFontMetrics(font).height() < 17;
}

DisplayScale ChooseDisplayScale(QSize virtualSize, QSize available, double devicePixelRatio) {
  DisplayScale s;
  if (virtualSize.isEmpty() || available.isEmpty()) {
    s.shown = QRect(QPoint(0, 0), virtualSize);
    return s;
  }
  const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  const double fitLogical = std::min(static_cast<double>(available.width()) / virtualSize.width(),
                                     static_cast<double>(available.height()) / virtualSize.height());
  const int wholeDevice = static_cast<int>(std::floor(fitLogical * ratio + 1e-9));
  if (wholeDevice >= 1) {
    s.factor = wholeDevice / ratio;
    s.whole = true;
  } else {
    s.factor = fitLogical;
    s.whole = false;
  }
  const int w = static_cast<int>(std::lround(virtualSize.width() * s.factor));
  const int h = static_cast<int>(std::lround(virtualSize.height() * s.factor));
  s.shown = QRect((available.width() - w) / 2, (available.height() - h) / 2, w, h);
  return s;
}

ScaledScreen::ScaledScreen(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("GameArea"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
}

void ScaledScreen::setView(QGraphicsView* view) {
  view_ = view;
  // The scene's top left stays at the view's top left whatever the scale.
  view_->setTransformationAnchor(QGraphicsView::NoAnchor);
  view_->setResizeAnchor(QGraphicsView::NoAnchor);
  layOut();
}

void ScaledScreen::setVirtualArea(QSize area, QRect picture) {
  area_ = area;
  picture_ = picture;
  layOut();
}

void ScaledScreen::setCoveredTop(int pixels) {
  if (pixels == coveredTop_) return;
  coveredTop_ = pixels;
  layOut();
}

void ScaledScreen::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  layOut();
}

void ScaledScreen::layOut() {
  const double before = scale_.factor;
  scale_ = ChooseDisplayScale(area_, QSize(width(), height() + coveredTop_), devicePixelRatioF());
  scale_.shown.translate(0, -coveredTop_);
  if (view_) {
    const double f = scale_.factor;
    const QRect r(scale_.shown.x() + static_cast<int>(std::lround(picture_.x() * f)),
                  scale_.shown.y() + static_cast<int>(std::lround(picture_.y() * f)),
                  static_cast<int>(std::ceil(picture_.width() * f - 1e-9)),
                  static_cast<int>(std::ceil(picture_.height() * f - 1e-9)));
    // Only what changed: a layout during a running animation repaints nothing needlessly.
    if (view_->geometry() != r) view_->setGeometry(r);
    const QTransform t = QTransform::fromScale(f, f);
    if (view_->transform() != t) view_->setTransform(t);
    if (view_->renderHints().testFlag(QPainter::SmoothPixmapTransform) == scale_.whole)
      view_->setRenderHint(QPainter::SmoothPixmapTransform, !scale_.whole);
    view_->horizontalScrollBar()->setValue(view_->horizontalScrollBar()->minimum());
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->minimum());
  }
  if (before != scale_.factor) Q_EMIT scaleChanged();
}

QPoint PicturePixelAt(QPointF scenePos) {
  return {static_cast<int>(std::floor(scenePos.x())), static_cast<int>(std::floor(scenePos.y()))};
}

QPoint ViewPointOfPicturePixel(const QGraphicsView& view, QPoint pixel) {
  const QPoint guess = view.mapFromScene(QPointF(pixel) + QPointF(0.5, 0.5));
  const int span = static_cast<int>(std::ceil(std::abs(view.transform().m11()))) + 2;
  // Along each axis, the first viewport pixel whose picture pixel is the one wanted.
  auto along = [&](bool horizontal) {
    const int g = horizontal ? guess.x() : guess.y();
    const int want = horizontal ? pixel.x() : pixel.y();
    for (int v = g - span; v <= g + span; ++v) {
      const QPointF s = view.mapToScene(horizontal ? QPoint(v, 0) : QPoint(0, v));
      const QPoint p = PicturePixelAt(s);
      if ((horizontal ? p.x() : p.y()) == want) return v;
    }
    return g;
  };
  return {along(true), along(false)};
}

}  // namespace storyloom
