// Writes the pictures of the demo's Harbour, the frame with rippling water: its background
// (Frames/Harbour.jpg) and the water's mask (Frames/Harbour.rwm, black where the water
// ripples, white where a boat and the pier's posts stand still). Build and run from the
// source tree:
//   g++ -std=c++20 -fPIC tools/make_demo_water.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_demo_water
//   QT_QPA_PLATFORM=offscreen /tmp/make_demo_water examples/demo
// The text files of the frame come from tools/make_demo_water.py.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

// The water rectangle (as Harbour.rwe gives it) and what stands in it.
static const QRect kWater(120, 270, 400, 200);
static const QRect kBoat(300, 300, 110, 34);
static const int kPosts[] = {150, 190, 230};

static QPainterPath boatHull(QPointF at) {
  QPainterPath p;
  p.moveTo(at + QPointF(0, 0));
  p.lineTo(at + QPointF(110, 0));
  p.lineTo(at + QPointF(92, 34));
  p.lineTo(at + QPointF(16, 34));
  p.closeSubpath();
  return p;
}

static QImage background() {
  QImage image(640, 480, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient sky(0, 0, 0, 270);
  sky.setColorAt(0, QColor(40, 70, 140));
  sky.setColorAt(1, QColor(240, 190, 140));
  p.fillRect(0, 0, 640, 270, sky);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 230, 170));
  p.drawEllipse(QPointF(470, 200), 36, 36);
  p.setBrush(QColor(50, 60, 70));
  QPainterPath hills;
  hills.moveTo(0, 270);
  for (int x = 0; x <= 640; x += 20) hills.lineTo(x, 240 - 18 * std::sin(x / 70.0) - 8 * std::sin(x / 23.0));
  hills.lineTo(640, 270);
  hills.closeSubpath();
  p.drawPath(hills);
  // The water: bands of blue, the sun's reflection and the reflections of the posts.
  for (int y = 270; y < 480; ++y) {
    const int band = (y / 6) % 3;
    const QColor c(20 + band * 12 + (y - 270) / 12, 60 + band * 15 + (y - 270) / 8, 110 + band * 20);
    p.fillRect(0, y, 640, 1, c);
  }
  for (int y = 272; y < 480; y += 5) {
    const int w = 26 + (y * 37) % 30;
    p.fillRect(470 - w / 2, y, w, 2, QColor(240, 200, 140));
  }
  // The pier and its posts, standing in the water.
  p.setBrush(QColor(110, 75, 40));
  p.drawRect(0, 250, 250, 14);
  for (int x : kPosts) {
    p.setBrush(QColor(90, 60, 30));
    p.drawRect(x, 264, 10, 150);
    p.fillRect(x, 414, 10, 60, QColor(40, 50, 70));
  }
  // A moored boat.
  p.setBrush(QColor(200, 40, 40));
  p.drawPath(boatHull(kBoat.topLeft()));
  p.fillRect(kBoat.left() + 50, kBoat.top() - 60, 4, 60, QColor(230, 230, 230));
  return image;
}

static QImage mask() {
  QImage image(kWater.size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  p.translate(-kWater.topLeft());
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(boatHull(kBoat.topLeft()));
  p.drawRect(kBoat.left() + 50, kBoat.top() - 60, 4, 60);
  for (int x : kPosts) p.drawRect(x, 264, 10, 150);
  p.end();
  return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("examples/demo");
  const bool ok =
      background().save(root + "/Frames/Harbour.jpg", "JPG", 80) && mask().save(root + "/Frames/Harbour.rwm", "BMP");
  return ok ? 0 : 1;
}
