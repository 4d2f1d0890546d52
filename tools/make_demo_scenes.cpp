// Draws the demo's scenes and objects: a 640 x 480 JPEG picture for each frame of the route
// (Frames/<Frame>.jpg) and the hotspots' objects as GIF pictures with a clear background
// (Areas/<Object>.gif). Build and run from the source tree:
//   g++ -std=c++20 -fPIC tools/make_demo_scenes.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_demo_scenes
//   QT_QPA_PLATFORM=offscreen /tmp/make_demo_scenes examples/demo
// The frame files that name these pictures come from the make_demo_*.py scripts.
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QSet>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int kWidth = 640, kHeight = 480;

// --- GIF writing (Qt reads GIF but does not write it) ---------------------------------

QByteArray lzwCompress(const QByteArray& pixels) {
  constexpr int kClear = 256, kEnd = 257;
  QByteArray out;
  quint32 acc = 0;
  int bits = 0, codeSize = 9, next = 258;
  QHash<quint32, int> table;
  const auto put = [&](int code) {
    acc |= quint32(code) << bits;
    bits += codeSize;
    while (bits >= 8) {
      out.append(char(acc & 0xff));
      acc >>= 8;
      bits -= 8;
    }
  };
  put(kClear);
  int prefix = uchar(pixels[0]);
  for (qsizetype i = 1; i < pixels.size(); ++i) {
    const int c = uchar(pixels[i]);
    const quint32 key = quint32(prefix) << 8 | quint32(c);
    if (const auto it = table.constFind(key); it != table.cend()) {
      prefix = *it;
      continue;
    }
    put(prefix);
    const int entry = next++;
    table.insert(key, entry);
    if (entry >= (1 << codeSize) && codeSize < 12) ++codeSize;
    if (entry == 4095) {
      put(kClear);
      table.clear();
      next = 258;
      codeSize = 9;
    }
    prefix = c;
  }
  put(prefix);
  put(kEnd);
  if (bits > 0) out.append(char(acc & 0xff));
  return out;
}

// Index 0 is the clear colour; the others are the picture's own colours, or, when it has
// more than 255, its colours rounded to a 6 x 7 x 6 cube.
bool saveGif(const QImage& picture, const QString& path) {
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  QSet<QRgb> own;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) >= 128) own.insert(image.pixel(x, y) | 0xff000000);
  const bool exact = own.size() <= 255;
  QVector<QRgb> palette{qRgb(255, 0, 255)};
  QHash<QRgb, int> indexOf;
  QByteArray pixels;
  pixels.reserve(image.width() * image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (qAlpha(c) < 128) {
        pixels.append(char(0));
        continue;
      }
      const QRgb rounded = exact ? (c | 0xff000000)
                                 : qRgb((qRed(c) * 5 + 127) / 255 * 51, (qGreen(c) * 6 + 127) / 255 * 255 / 6,
                                        (qBlue(c) * 5 + 127) / 255 * 51);
      int index = indexOf.value(rounded, -1);
      if (index < 0) {
        index = int(palette.size());
        palette.append(rounded);
        indexOf.insert(rounded, index);
      }
      pixels.append(char(index));
    }
  palette.resize(256);
  QByteArray out("GIF89a");
  const auto le16 = [&](int v) {
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
  };
  le16(image.width());
  le16(image.height());
  out.append(char(0xf7)).append(char(0)).append(char(0));
  for (QRgb c : palette) out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
  out.append("\x21\xf9\x04\x01\x00\x00\x00\x00", 8);  // index 0 is clear
  out.append(char(0x2c));
  le16(0);
  le16(0);
  le16(image.width());
  le16(image.height());
  out.append(char(0)).append(char(8));
  const QByteArray data = lzwCompress(pixels);
  for (qsizetype i = 0; i < data.size(); i += 255) {
    const QByteArray block = data.mid(i, 255);
    out.append(char(block.size())).append(block);
  }
  out.append(char(0)).append(char(0x3b));
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(out) != out.size()) return false;
  f.close();
  // Read it back: what Qt reads must be what was drawn.
  const QImage back(path);
  return back.size() == image.size() && (qAlpha(back.pixel(0, 0)) < 128) == (qAlpha(image.pixel(0, 0)) < 128);
}

// --- Drawing helpers -----------------------------------------------------------------

void sky(QPainter& p, int bottom, QColor top, QColor horizon) {
  QLinearGradient g(0, 0, 0, bottom);
  g.setColorAt(0, top);
  g.setColorAt(1, horizon);
  p.fillRect(0, 0, kWidth, bottom, g);
}

void stars(QPainter& p, int bottom, int count, quint32 seed) {
  QRandomGenerator rnd(seed);
  for (int i = 0; i < count; ++i) {
    const int x = rnd.bounded(kWidth), y = rnd.bounded(bottom);
    const int a = 120 + rnd.bounded(135);
    p.fillRect(x, y, 1 + (i % 7 == 0), 1 + (i % 7 == 0), QColor(255, 255, 230, a));
  }
}

void sea(QPainter& p, int top, int bottom, QColor near, QColor far) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, far);
  g.setColorAt(1, near);
  p.fillRect(0, top, kWidth, bottom - top, g);
  p.setPen(QPen(far.lighter(140), 1));
  QRandomGenerator rnd(top * 31 + bottom);
  for (int y = top + 4; y < bottom; y += 6 + (y - top) / 12) {
    const int len = 8 + (y - top) / 3;
    for (int x = rnd.bounded(40); x < kWidth; x += len * 3 + rnd.bounded(30)) p.drawLine(x, y, x + len, y);
  }
}

void stoneWall(QPainter& p, QRect area, QColor base, int rows = 12) {
  p.fillRect(area, base);
  p.setPen(QPen(base.darker(140), 2));
  const int h = area.height() / rows;
  for (int r = 0; r <= rows; ++r) {
    const int y = area.top() + r * h;
    p.drawLine(area.left(), y, area.right(), y);
    for (int x = area.left() + (r % 2) * 30; x < area.right(); x += 60) p.drawLine(x, y, x, y + h);
  }
}

void planks(QPainter& p, QRect area, QColor base, bool vertical) {
  p.fillRect(area, base);
  QRandomGenerator rnd(area.width() * 7 + area.top());
  const int step = 32;
  for (int i = 0;
       (vertical ? area.left() + i * step : area.top() + i * step) < (vertical ? area.right() : area.bottom()); ++i) {
    const QColor shade = base.darker(100 + rnd.bounded(25));
    const QRect board = vertical ? QRect(area.left() + i * step, area.top(), step - 2, area.height())
                                 : QRect(area.left(), area.top() + i * step, area.width(), step - 2);
    p.fillRect(board.intersected(area), shade);
  }
}

void lighthouse(QPainter& p, QPointF base, double height, double width, bool lit) {
  QPainterPath tower;
  tower.moveTo(base.x() - width / 2, base.y());
  tower.lineTo(base.x() - width * 0.32, base.y() - height);
  tower.lineTo(base.x() + width * 0.32, base.y() - height);
  tower.lineTo(base.x() + width / 2, base.y());
  tower.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(235, 235, 230));
  p.drawPath(tower);
  p.setClipPath(tower);
  for (int band = 1; band < 4; band += 2)
    p.fillRect(QRectF(base.x() - width, base.y() - height * (band + 1) / 4, width * 2, height / 4),
               QColor(190, 40, 40));
  p.setClipping(false);
  const double top = base.y() - height;
  p.setBrush(QColor(40, 40, 50));
  p.drawRect(QRectF(base.x() - width * 0.4, top - 4, width * 0.8, 4));
  p.setBrush(lit ? QColor(255, 230, 120) : QColor(90, 110, 130));
  p.drawRect(QRectF(base.x() - width * 0.22, top - height * 0.12, width * 0.44, height * 0.12));
  QPainterPath roof;
  roof.moveTo(base.x() - width * 0.3, top - height * 0.12);
  roof.lineTo(base.x(), top - height * 0.22);
  roof.lineTo(base.x() + width * 0.3, top - height * 0.12);
  p.setBrush(QColor(40, 40, 50));
  p.drawPath(roof);
  if (lit) {
    const QPointF lamp(base.x(), top - height * 0.06);
    for (int side : {-1, 1}) {
      QPainterPath beam;
      beam.moveTo(lamp);
      beam.lineTo(lamp + QPointF(side * 420, -60));
      beam.lineTo(lamp + QPointF(side * 420, 40));
      beam.closeSubpath();
      QLinearGradient g(lamp, lamp + QPointF(side * 420, 0));
      g.setColorAt(0, QColor(255, 240, 170, 150));
      g.setColorAt(1, QColor(255, 240, 170, 0));
      p.setBrush(g);
      p.drawPath(beam);
    }
  }
}

void moon(QPainter& p, QPointF at, double r) {
  QRadialGradient glow(at, r * 3);
  glow.setColorAt(0, QColor(255, 255, 220, 90));
  glow.setColorAt(1, QColor(255, 255, 220, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(at, r * 3, r * 3);
  p.setBrush(QColor(245, 240, 210));
  p.drawEllipse(at, r, r);
}

void window(QPainter& p, QRect r, std::function<void(QPainter&)> view) {
  p.save();
  p.setClipRect(r);
  view(p);
  p.restore();
  p.setPen(QPen(QColor(60, 40, 25), 8));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);
  p.setPen(QPen(QColor(60, 40, 25), 4));
  p.drawLine(r.center().x(), r.top(), r.center().x(), r.bottom());
  p.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
}

void shadowFloor(QPainter& p, int top, QColor base) {
  QLinearGradient g(0, top, 0, kHeight);
  g.setColorAt(0, base.darker(150));
  g.setColorAt(1, base);
  p.fillRect(0, top, kWidth, kHeight - top, g);
}

void vignette(QPainter& p) {
  QRadialGradient g(QPointF(kWidth / 2, kHeight / 2), 420);
  g.setColorAt(0.6, QColor(0, 0, 0, 0));
  g.setColorAt(1, QColor(0, 0, 0, 140));
  p.fillRect(0, 0, kWidth, kHeight, g);
}

using Painter = std::function<void(QPainter&)>;

// --- Scenes ---------------------------------------------------------------------------

void shore(QPainter& p) {
  sky(p, 290, QColor(70, 130, 210), QColor(250, 205, 160));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 225, 150));
  p.drawEllipse(QPointF(200, 280), 30, 30);  // the sun going down
  sea(p, 290, 400, QColor(30, 80, 140), QColor(80, 130, 190));
  p.setBrush(QColor(90, 85, 75));
  QPainterPath headland;
  headland.moveTo(400, 400);
  headland.cubicTo(430, 300, 520, 300, 640, 280);
  headland.lineTo(640, 400);
  headland.closeSubpath();
  p.drawPath(headland);
  lighthouse(p, QPointF(540, 300), 170, 44, false);
  QLinearGradient sand(0, 380, 0, 480);
  sand.setColorAt(0, QColor(230, 210, 160));
  sand.setColorAt(1, QColor(205, 180, 130));
  QPainterPath beach;
  beach.moveTo(0, 400);
  beach.cubicTo(200, 370, 420, 410, 640, 380);
  beach.lineTo(640, 480);
  beach.lineTo(0, 480);
  beach.closeSubpath();
  p.setBrush(sand);
  p.drawPath(beach);
  p.setPen(QPen(QColor(170, 150, 110), 3, Qt::DotLine));
  p.drawLine(80, 470, 480, 395);  // footprints along the shore
}

void quay(QPainter& p) {
  sky(p, 260, QColor(60, 90, 160), QColor(245, 180, 130));
  lighthouse(p, QPointF(390, 250), 170, 44, false);
  sea(p, 250, 480, QColor(20, 60, 100), QColor(70, 110, 160));
  stoneWall(p, QRect(0, 60, 220, 300), QColor(150, 140, 125), 10);  // the tower's foot
  stoneWall(p, QRect(0, 360, 560, 120), QColor(130, 125, 115), 4);  // the quay
  p.fillRect(0, 356, 560, 6, QColor(90, 85, 80));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(50, 45, 40));
  p.drawRoundedRect(QRectF(470, 330, 16, 30), 5, 5);  // a mooring post
}

void stairs(QPainter& p) {
  stoneWall(p, QRect(0, 0, kWidth, kHeight), QColor(120, 110, 100), 16);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 9; ++i) {  // the spiral of steps up the middle
    const double t = i / 8.0;
    const double y = 440 - i * 46;
    const double w = 220 - 60 * std::sin(t * M_PI);
    p.setBrush(QColor(90 + i * 8, 80 + i * 7, 70 + i * 6));
    p.drawRect(QRectF(320 - w / 2 + 50 * std::sin(t * 2 * M_PI), y, w, 20));
    p.setBrush(QColor(50, 45, 40));
    p.drawRect(QRectF(320 - w / 2 + 50 * std::sin(t * 2 * M_PI), y + 20, w, 6));
  }
  p.setBrush(QColor(255, 220, 150, 60));
  p.drawEllipse(QPointF(580, 120), 50, 50);  // light from a slit window
  p.fillRect(570, 80, 20, 80, QColor(200, 220, 255));
  vignette(p);
}

void boathouse(QPainter& p) {
  planks(p, QRect(0, 0, kWidth, 340), QColor(110, 80, 50), true);
  planks(p, QRect(0, 340, kWidth, 140), QColor(90, 65, 40), false);
  p.setPen(QPen(QColor(60, 40, 25), 10));
  p.drawLine(0, 40, kWidth, 40);  // a beam
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 60, 90));
  p.drawRect(200, 20, 120, 20);  // the slot of sea light under the doors
  QRadialGradient lamp(QPointF(360, 60), 260);
  lamp.setColorAt(0, QColor(255, 200, 120, 70));
  lamp.setColorAt(1, QColor(255, 200, 120, 0));
  p.setBrush(lamp);
  p.drawRect(0, 0, kWidth, kHeight);
  vignette(p);
}

void lamproom(QPainter& p) {
  sky(p, kHeight, QColor(10, 15, 40), QColor(40, 50, 90));
  stars(p, 300, 120, 7);
  sea(p, 300, 360, QColor(15, 25, 50), QColor(30, 45, 80));
  p.setPen(QPen(QColor(40, 40, 50), 6));
  for (int x = 0; x <= kWidth; x += 128) p.drawLine(x, 0, x, 360);  // the lantern's panes
  p.drawLine(0, 20, kWidth, 20);
  stoneWall(p, QRect(0, 360, kWidth, 120), QColor(100, 95, 90), 3);
  p.setPen(QPen(QColor(180, 140, 60), 6));
  p.drawLine(0, 350, kWidth, 350);  // the brass rail
}

void balcony(QPainter& p) {
  sky(p, 300, QColor(15, 20, 60), QColor(70, 80, 130));
  stars(p, 260, 90, 11);
  moon(p, QPointF(120, 90), 26);
  sea(p, 300, 480, QColor(10, 20, 40), QColor(40, 60, 100));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(25, 25, 30));
  QPainterPath reef;  // the reef and the wreck on it
  reef.moveTo(380, 312);
  reef.quadTo(430, 296, 480, 312);
  p.drawPath(reef);
  p.drawRect(438, 282, 3, 20);
  p.setPen(QPen(QColor(30, 30, 35), 8));
  p.drawLine(0, 400, kWidth, 400);
  for (int x = 10; x < kWidth; x += 40) p.drawLine(x, 400, x, 480);
}

void night(QPainter& p) {
  sky(p, 320, QColor(5, 10, 35), QColor(30, 40, 80));
  stars(p, 300, 160, 3);
  moon(p, QPointF(520, 80), 20);
  lighthouse(p, QPointF(140, 330), 200, 50, false);
  sea(p, 320, 480, QColor(5, 15, 35), QColor(25, 40, 75));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 20, 25));
  p.drawRect(0, 330, 240, 150);  // the rocks under the tower
}

void keeper(QPainter& p) {
  planks(p, QRect(0, 0, kWidth, 330), QColor(120, 90, 60), true);
  shadowFloor(p, 330, QColor(100, 75, 50));
  window(p, QRect(60, 120, 140, 120), [](QPainter& q) {
    sky(q, 240, QColor(20, 30, 70), QColor(70, 80, 130));
    stars(q, 200, 40, 5);
  });
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 45, 25));
  p.drawRect(250, 250, 200, 20);  // the keeper's table
  p.drawRect(262, 270, 12, 90);
  p.drawRect(426, 270, 12, 90);
  p.setBrush(QColor(230, 220, 190));
  p.drawRect(300, 236, 60, 14);  // his logbook
  p.setBrush(QColor(60, 50, 45));
  p.drawEllipse(QPointF(540, 300), 40, 70);  // the stove
  p.setBrush(QColor(255, 140, 40));
  p.drawEllipse(QPointF(540, 320), 16, 12);
  vignette(p);
}

void cove(QPainter& p) {
  sky(p, 240, QColor(110, 160, 220), QColor(220, 230, 240));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(110, 100, 90));
  QPainterPath cliffs;
  cliffs.moveTo(0, 300);
  cliffs.lineTo(0, 60);
  cliffs.cubicTo(80, 70, 120, 180, 200, 250);
  cliffs.lineTo(200, 300);
  cliffs.closeSubpath();
  p.drawPath(cliffs);
  sea(p, 240, 340, QColor(40, 110, 150), QColor(60, 130, 180));
  QLinearGradient sand(0, 330, 0, 480);
  sand.setColorAt(0, QColor(225, 205, 160));
  sand.setColorAt(1, QColor(200, 175, 125));
  QPainterPath beach;
  beach.moveTo(0, 340);
  beach.cubicTo(200, 320, 400, 350, 640, 330);
  beach.lineTo(640, 480);
  beach.lineTo(0, 480);
  beach.closeSubpath();
  p.setBrush(sand);
  p.drawPath(beach);
  p.setBrush(QColor(90, 85, 80));
  p.drawEllipse(QPointF(90, 420), 50, 26);
  p.drawEllipse(QPointF(580, 440), 36, 18);
}

void pier(QPainter& p) {
  sky(p, 250, QColor(100, 140, 200), QColor(240, 210, 180));
  lighthouse(p, QPointF(560, 250), 110, 28, false);
  sea(p, 250, 480, QColor(30, 80, 120), QColor(80, 130, 170));
  p.setPen(Qt::NoPen);
  QPainterPath boards;  // the pier running out to sea
  boards.moveTo(180, 480);
  boards.lineTo(300, 260);
  boards.lineTo(340, 260);
  boards.lineTo(460, 480);
  boards.closeSubpath();
  p.setBrush(QColor(130, 95, 55));
  p.drawPath(boards);
  p.setPen(QPen(QColor(80, 55, 30), 2));
  for (int i = 0; i < 14; ++i) {
    const double t = std::pow(i / 13.0, 1.7);
    const double y = 260 + 220 * t;
    p.drawLine(QPointF(300 - 120 * t, y), QPointF(340 + 120 * t, y));
  }
}

void ending(QPainter& p) {
  sky(p, 330, QColor(5, 10, 40), QColor(40, 50, 100));
  stars(p, 300, 200, 17);
  sea(p, 330, 480, QColor(5, 15, 40), QColor(30, 50, 90));
  lighthouse(p, QPointF(320, 340), 210, 56, true);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(15, 15, 20));
  p.drawEllipse(QPointF(320, 350), 140, 24);  // the rock it stands on
}

// --- Objects --------------------------------------------------------------------------

QImage object(int w, int h, const Painter& draw) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(QColor(30, 25, 20), 2));
  draw(p);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("examples/demo");
  bool ok = true;
  const std::pair<const char*, Painter> scenes[] = {
      {"Shore", shore},       {"Quay", quay},       {"Stairs", stairs}, {"Boathouse", boathouse},
      {"Lamproom", lamproom}, {"Balcony", balcony}, {"Night", night},   {"Keeper", keeper},
      {"Cove", cove},         {"Pier", pier},       {"End", ending},
  };
  for (const auto& [name, draw] : scenes) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    ok &= image.save(root + "/Frames/" + name + ".jpg", "JPEG", 70);
  }

  const auto fill = [](QColor c) { return QBrush(c); };
  const std::tuple<const char*, int, int, Painter> objects[] = {
      {"Door", 60, 96,
       [&](QPainter& p) {
         QPainterPath arch;
         arch.moveTo(2, 95);
         arch.lineTo(2, 28);
         arch.arcTo(2, 2, 56, 52, 180, -180);
         arch.lineTo(58, 95);
         arch.closeSubpath();
         p.setBrush(fill(QColor(120, 75, 35)));
         p.drawPath(arch);
         for (int x = 16; x < 58; x += 14) p.drawLine(x, 10, x, 95);
         p.setBrush(fill(QColor(220, 180, 60)));
         p.drawEllipse(44, 56, 7, 7);
       }},
      {"Shell", 60, 40,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(245, 215, 195)));
         p.drawChord(4, 4, 52, 60, 0, 180 * 16);
         for (int i = 1; i < 6; ++i) p.drawLine(30, 34, 4 + i * 9, 10 - (i == 3) * 4);
       }},
      {"Boat", 120, 80,
       [&](QPainter& p) {
         QPainterPath hull;
         hull.moveTo(4, 50);
         hull.lineTo(116, 50);
         hull.lineTo(98, 76);
         hull.lineTo(20, 76);
         hull.closeSubpath();
         p.setBrush(fill(QColor(200, 45, 40)));
         p.drawPath(hull);
         p.drawLine(60, 50, 60, 4);
         QPainterPath sail;
         sail.moveTo(62, 6);
         sail.lineTo(100, 46);
         sail.lineTo(62, 46);
         sail.closeSubpath();
         p.setBrush(fill(QColor(240, 235, 220)));
         p.drawPath(sail);
       }},
      {"Sign", 80, 50,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(230, 210, 130)));
         p.drawRect(4, 4, 72, 30);
         p.drawLine(40, 34, 40, 49);
         p.setPen(QPen(QColor(60, 40, 20), 2));
         for (int y = 13; y < 30; y += 8) p.drawLine(14, y, 66, y);
       }},
      {"Lamp", 80, 80,
       [&](QPainter& p) {
         QRadialGradient glow(QPointF(40, 38), 38);
         glow.setColorAt(0, QColor(255, 240, 150));
         glow.setColorAt(1, QColor(255, 170, 40));
         p.setBrush(glow);
         p.drawEllipse(16, 12, 48, 52);
         p.setBrush(fill(QColor(160, 120, 40)));
         p.drawRect(22, 62, 36, 14);
         p.drawRect(30, 2, 20, 10);
       }},
      {"Telescope", 80, 60,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(170, 130, 50)));
         QPolygonF tube({QPointF(6, 30), QPointF(70, 6), QPointF(76, 20), QPointF(12, 42)});
         p.drawPolygon(tube);
         p.drawLine(40, 30, 28, 58);
         p.drawLine(40, 30, 52, 58);
       }},
      {"Steps", 120, 80,
       [&](QPainter& p) {
         for (int i = 0; i < 4; ++i) {
           p.setBrush(fill(QColor(150 - i * 15, 140 - i * 15, 125 - i * 15)));
           p.drawRect(4 + i * 10, 60 - i * 18, 112 - i * 20, 18);
         }
       }},
      {"Gull", 120, 80,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(250, 250, 250)));
         QPainterPath wings;
         wings.moveTo(6, 30);
         wings.quadTo(34, 6, 60, 40);
         wings.quadTo(86, 6, 114, 30);
         wings.quadTo(86, 22, 60, 52);
         wings.quadTo(34, 22, 6, 30);
         p.drawPath(wings);
         p.setBrush(fill(QColor(240, 170, 40)));
         p.drawEllipse(56, 40, 8, 6);
       }},
      {"Plank", 160, 80,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(150, 110, 60)));
         p.drawRect(4, 28, 152, 24);
         p.drawLine(20, 40, 140, 40);
         p.setBrush(fill(QColor(60, 60, 60)));
         p.drawEllipse(10, 36, 6, 6);
         p.drawEllipse(144, 36, 6, 6);
       }},
      {"Net", 100, 60,
       [&](QPainter& p) {
         p.setPen(QPen(QColor(200, 180, 130), 2));
         for (int x = 0; x <= 100; x += 12) p.drawLine(x, 4, 50 + (x - 50) / 2, 58);
         for (int y = 4; y <= 58; y += 10) p.drawLine(y / 2, y, 100 - y / 2, y);
         p.setBrush(fill(QColor(200, 160, 90)));
         p.setPen(QPen(QColor(90, 60, 20), 2));
         p.drawEllipse(64, 34, 26, 20);  // the coil of rope
       }},
      {"Crate", 80, 80,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(170, 120, 60)));
         p.drawRect(4, 14, 72, 62);
         p.drawLine(4, 14, 76, 76);
         p.drawLine(76, 14, 4, 76);
       }},
      {"Locker", 100, 140,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(80, 100, 110)));
         p.drawRect(6, 4, 88, 132);
         p.drawLine(50, 4, 50, 136);
         for (int y = 16; y < 40; y += 6) p.drawLine(16, y, 40, y);
         p.setBrush(fill(QColor(200, 180, 80)));
         p.drawRect(54, 66, 8, 14);
       }},
      {"Trapdoor", 100, 50,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(80, 55, 30)));
         p.drawRect(4, 4, 92, 42);
         for (int x = 20; x < 96; x += 16) p.drawLine(x, 4, x, 46);
         p.setBrush(fill(QColor(40, 40, 40)));
         p.drawEllipse(44, 18, 12, 12);
       }},
      {"OilCan", 60, 80,
       [&](QPainter& p) {
         p.setBrush(fill(QColor(60, 110, 60)));
         p.drawRect(10, 24, 40, 52);
         p.drawLine(50, 30, 58, 8);
         p.drawArc(14, 6, 28, 30, 0, 180 * 16);
       }},
  };
  for (const auto& [name, w, h, draw] : objects) ok &= saveGif(object(w, h, draw), root + "/Areas/" + name + ".gif");
  if (!ok) std::fprintf(stderr, "some pictures could not be written\n");
  return ok ? 0 : 1;
}
