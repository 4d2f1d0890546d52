#include "effects/water.h"

#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "game/game.h"
#include "game/picture_items.h"
#include "platform/platform_error.h"
#include "platform/skipped_steps.h"
#include "shell/editor_and_game.h"
#include "shell/field_reader.h"

namespace storyloom {

// PicRipplingWater: the water as the player sees it, between the background and the texts.
// Clicks and the pointer pass through to the picture below.
class WaterItem : public QGraphicsItem {
 public:
  WaterItem() {
    setAcceptedMouseButtons(Qt::NoButton);
    setZValue(layer::Water);
  }
  QImage surface;

  void setSurface(QImage image) {
    if (image.size() != surface.size()) prepareGeometryChange();
    surface = std::move(image);
    update();
  }
  QRectF boundingRect() const override { return {QPointF(0, 0), QSizeF(surface.size())}; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    painter->drawImage(QPoint(0, 0), surface);
  }
};

void WaterFile::read(FieldReader& file) {
  file.skip(6);
  Left = file.readInteger();
  Top = file.readInteger();
  Width = file.readInteger();
  Height = file.readInteger();
  WaterWaveSize = file.readInteger();
  WaterSpeed = file.readInteger();
  // Older files end here.
  WaterReverse = file.atEnd() ? false : file.readBoolean();
}

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr quint32 kOpaque = 0xff000000u;

QImage asRgb32(const QImage& image) {
  return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

void requireSameSize(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) throw PlatformError::invalidProcedureCall();
}

// a + (b - a) x t / 256 for each colour of two pixels, t from 0 to 256.
inline quint32 mix(quint32 a, quint32 b, quint32 t) {
  const quint32 s = 256 - t;
  const quint32 rb = (((a & 0xff00ffu) * s + (b & 0xff00ffu) * t) >> 8) & 0xff00ffu;
  const quint32 g = (((a & 0x00ff00u) * s + (b & 0x00ff00u) * t) >> 8) & 0x00ff00u;
  return kOpaque | rb | g;
}

// 0 at an edge, rising smoothly to 1 at `margin` pixels from it.
float edgeFade(int fromEdge, float margin) {
  const float u = std::min(1.0f, static_cast<float>(fromEdge) / margin);
  return u * u * (3 - 2 * u);
}

}  // namespace

qint32 WaterTimeCount() {
  static QElapsedTimer clock = [] {
    QElapsedTimer c;
    c.start();
    return c;
  }();
  return static_cast<qint32>(static_cast<quint32>(clock.elapsed()));
}

double WavePhase(qint32 timeCount, qint16 speed, bool reverse) {
  const double factor = std::pow((speed + 2) / 10.0, 4) / 300.0;
  return (reverse ? -1.0 : 1.0) * timeCount * factor;
}

void DrawWave(QImage& into, const QImage& source, int amplitude, int waves, float phase, double angle) {
  const QImage src = asRgb32(source);
  const int w = src.width(), h = src.height();
  if (into.size() != src.size() || into.format() != QImage::Format_RGB32)
    into = QImage(src.size(), QImage::Format_RGB32);
  if (into.isNull() && !src.isNull()) throw PlatformError(7, QStringLiteral("Out of memory"));
  if (w == 0 || h == 0) return;
  if (amplitude == 0) {
    for (int y = 0; y < h; ++y) std::copy_n(src.constScanLine(y), w * 4, into.scanLine(y));
    return;
  }
  const float a = static_cast<float>(amplitude);
  // Far enough from the edges that no displaced sample reaches past them, where the
  // rectangle is large enough for it.
  const float margin = std::max(1.0f, std::min({2 * std::abs(a), w / 2.0f, h / 2.0f}));
  const double vertical = angle * std::numbers::pi / 180;
  std::vector<float> fadeX(w), fadeY(h), rowShift(h), columnShift(w);
  for (int x = 0; x < w; ++x) {
    fadeX[x] = edgeFade(std::min(x, w - 1 - x), margin);
    columnShift[x] = a * static_cast<float>(std::sin(kTwoPi * waves * x / w + phase + vertical));
  }
  for (int y = 0; y < h; ++y) {
    fadeY[y] = edgeFade(std::min(y, h - 1 - y), margin);
    rowShift[y] = a * static_cast<float>(std::sin(kTwoPi * waves * y / h + phase));
  }
  // Positions in 1/256 of a pixel; each sample is blended from the four pixels nearest to it.
  std::vector<const quint32*> rows(h);
  for (int y = 0; y < h; ++y) rows[y] = reinterpret_cast<const quint32*>(src.constScanLine(y));
  std::vector<float> sidewaysAt(w), downAt(w);
  for (int x = 0; x < w; ++x) {
    sidewaysAt[x] = 256 * fadeX[x];
    downAt[x] = 256 * fadeX[x] * columnShift[x];
  }
  const int maxX = (w - 1) * 256, maxY = (h - 1) * 256;
  for (int y = 0; y < h; ++y) {
    auto* out = reinterpret_cast<quint32*>(into.scanLine(y));
    const float sideways = rowShift[y] * fadeY[y];
    const float down = fadeY[y];
    for (int x = 0; x < w; ++x) {
      const int sx = std::clamp(x * 256 + static_cast<int>(sideways * sidewaysAt[x]), 0, maxX);
      const int sy = std::clamp(y * 256 + static_cast<int>(down * downAt[x]), 0, maxY);
      const int ix = sx >> 8, iy = sy >> 8;
      const int ix1 = std::min(ix + 1, w - 1);
      const quint32* upper = rows[iy];
      const quint32* lower = rows[std::min(iy + 1, h - 1)];
      const auto tx = static_cast<quint32>(sx & 255);
      out[x] = mix(mix(upper[ix], upper[ix1], tx), mix(lower[ix], lower[ix1], tx), static_cast<quint32>(sy & 255));
    }
  }
}

void DrawThroughMask(QImage& into, const QImage& source, const QImage& mask) {
  requireSameSize(into, source);
  requireSameSize(into, mask);
  if (into.format() != QImage::Format_RGB32) into = into.convertToFormat(QImage::Format_RGB32);
  const QImage s = asRgb32(source), m = asRgb32(mask);
  for (int y = 0; y < into.height(); ++y) {
    auto* out = reinterpret_cast<quint32*>(into.scanLine(y));
    const auto* from = reinterpret_cast<const quint32*>(s.constScanLine(y));
    const auto* through = reinterpret_cast<const quint32*>(m.constScanLine(y));
    for (int x = 0; x < into.width(); ++x) out[x] = kOpaque | (out[x] & ~through[x]) | (from[x] & through[x]);
  }
}

void MergeMask(QImage& picture, const QImage& mask) {
  requireSameSize(picture, mask);
  if (picture.format() != QImage::Format_RGB32) picture = picture.convertToFormat(QImage::Format_RGB32);
  const QImage m = asRgb32(mask);
  for (int y = 0; y < picture.height(); ++y) {
    auto* out = reinterpret_cast<quint32*>(picture.scanLine(y));
    const auto* through = reinterpret_cast<const quint32*>(m.constScanLine(y));
    for (int x = 0; x < picture.width(); ++x) out[x] = kOpaque | out[x] | ~through[x];
  }
}

Water::Water(Game& game) : game_(game) {
  item_ = new WaterItem;
  item_->hide();
  game.scene().addItem(item_);
  TimerRipplingWater.setInterval(kTickMilliseconds);
  connect(&TimerRipplingWater, &QTimer::timeout, this, [this] { TimerRipplingWater_Timer(); });
}

Water::~Water() { delete item_; }

bool Water::FrameTakesWater() const { return game_.frame.FrameType == 1 && !game_.frame.FrameTiled; }

QImage Water::frameAreaPixels(const QRect& area) const {
  QImage pixels(area.size(), QImage::Format_RGB32);
  if (pixels.isNull()) throw PlatformError(7, QStringLiteral("Out of memory"));
  pixels.fill(Qt::black);
  QPainter p(&pixels);
  p.translate(-area.topLeft());
  game_.BackImage->paint(&p, nullptr, nullptr);
  return pixels;
}

void Water::LoadWaveEffectIfAny(const QString& FrameName) {
  EditorAndGame& module = game_.module();
  WaterActive = false;
  WaterReverse = false;
  const QString base = module.paths.FramesPath + FrameName;
  const QString maskFile = base + QStringLiteral(".rwm");
  if (!module.FileExists(base + QStringLiteral(".rwe")) || !module.FileExists(maskFile)) return;
  try {
    WaterFile file;
    {
      FieldReader f = module.OpenFieldFile(base + QStringLiteral(".rwe"));
      file.read(f);
    }
    WaterWaveSize = file.WaterWaveSize;
    WaterSpeed = file.WaterSpeed;
    WaterReverse = file.WaterReverse;
    // A surface of no size, or of a negative one, cannot be placed.
    if (file.Width <= 0 || file.Height <= 0) throw PlatformError::invalidPropertyValue();
    // The water lies on the picture: a rectangle reaching beyond it is cut to it (a damaged
    // file could otherwise ask for gigabytes of surfaces), one wholly outside it is refused.
    const QRect placed(file.Left, file.Top, file.Width, file.Height);
    const QRect area = placed.intersected(game_.BackImage->boundingRect().toAlignedRect());
    if (area.isEmpty()) throw PlatformError::invalidPropertyValue();
    item_->setPos(area.topLeft());

    QImageReader reader(module.hostPathOf(maskFile));
    reader.setAutoTransform(false);
    const QImage mask = reader.read();
    if (mask.isNull()) return;
    // The mask covers the file's rectangle from its top left; what it does not cover keeps
    // the picture.
    PicMask = QImage(area.size(), QImage::Format_RGB32);
    if (PicMask.isNull()) throw PlatformError(7, QStringLiteral("Out of memory"));
    PicMask.fill(Qt::white);
    {
      QPainter p(&PicMask);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(placed.topLeft() - area.topLeft(), mask);
    }

    PicOriginal = frameAreaPixels(area);
    PicMasked = PicOriginal.copy();
    MergeMask(PicMasked, PicMask);
    item_->setSurface(PicOriginal.copy());
    drawStep();
    WaterActive = true;
    item_->show();
    TimerRipplingWater.setInterval(kTickMilliseconds);
  } catch (...) {
    TimerRipplingWater.stop();
    module.ReportError(QStringLiteral(" Error initializing the Rippling Water effect. "), PlatformError::current());
  }
}

void Water::StartRipplingWater() {
  if (!WaterActive) return;
  routines.timeCount();
  TimerRipplingWater.start(kTickMilliseconds);
}

void Water::StopWaterEffect() {
  TimerRipplingWater.stop();
  // A step that is still being drawn can only lie below this call on the one thread (it let
  // events run, and they brought us here): waiting for it would only freeze the game, as it
  // cannot go on before we return. It finds the water inactive when it does, and stops.
  WaterActive = false;
  item_->hide();
}

void Water::ApplyEffectsSetting() {
  if (game_.mnuDisableEffects->isChecked()) {
    runSkippingErrors(QStringLiteral("effects off: the water"), [&] { StopWaterEffect(); });
    return;
  }
  if (!FrameTakesWater()) return;
  runSkippingErrors(QStringLiteral("effects on: the water"), [&] {
    LoadWaveEffectIfAny(game_.frame.CurrentFrameName);
    StartRipplingWater();
  });
}

void Water::drawStep() {
  const double phase = std::fmod(WavePhase(routines.timeCount(), WaterSpeed, WaterReverse), kTwoPi);
  routines.wave(item_->surface, PicOriginal, WaterWaveSize, 4, static_cast<float>(phase), 90.0);
  routines.mask(item_->surface, PicMasked, PicMask);
  item_->update();
}

void Water::TimerRipplingWater_Timer() {
  if (game_.module().EverythingStopped) {
    TimerRipplingWater.stop();
    return;
  }
  // A tick that comes while a step lets events run is not a second step.
  if (!TimerRipplingWater.isActive() || !WaterActive || !WaterTickIdle) return;
  WaterTickIdle = false;
  try {
    drawStep();
  } catch (...) {
    WaterActive = false;
    TimerRipplingWater.stop();
    WaterTickIdle = true;
    game_.module().ReportError(QStringLiteral(" Error rendering rippling water. "), PlatformError::current());
    return;
  }
  if (!WaterActive) TimerRipplingWater.stop();
  WaterTickIdle = true;
}

bool Water::surfaceShown() const { return item_->isVisible(); }

QRect Water::surfaceRect() const { return {item_->pos().toPoint(), item_->surface.size()}; }

const QImage& Water::PicRipplingWater() const { return item_->surface; }

}  // namespace storyloom
