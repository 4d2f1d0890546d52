// Writes the lighthouse's bricks and the sounds of examples/demo (the scenes come from
// tools/make_demo_scenes.cpp). Build and run from the source tree:
//   g++ -std=c++20 -fPIC tools/make_demo_media.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_demo_media
//   QT_QPA_PLATFORM=offscreen /tmp/make_demo_media examples/demo
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QtEndian>
#include <cmath>

static void writeWave(const QString& path, double seconds, double freq, bool surf) {
  const int rate = 8000;
  const int n = static_cast<int>(seconds * rate);
  QByteArray data(n, '\0');
  unsigned seed = 12345;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / rate;
    double v = std::sin(2 * M_PI * freq * t) * std::exp(-3 * t);
    if (surf) {
      seed = seed * 1103515245 + 12345;
      const double noise = ((seed >> 16) & 0xff) / 127.5 - 1;
      v = noise * 0.3 * (0.6 + 0.4 * std::sin(2 * M_PI * 0.5 * t));
    }
    data[i] = static_cast<char>(128 + static_cast<int>(v * 100));
  }
  QByteArray out("RIFF");
  auto le32 = [&](quint32 x) {
    char b[4];
    qToLittleEndian(x, b);
    out.append(b, 4);
  };
  auto le16 = [&](quint16 x) {
    char b[2];
    qToLittleEndian(x, b);
    out.append(b, 2);
  };
  le32(36 + n);
  out.append("WAVEfmt ");
  le32(16);
  le16(1);
  le16(1);
  le32(rate);
  le32(rate);
  le16(1);
  le16(8);
  out.append("data");
  le32(n);
  out.append(data);
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(out);
}

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString root = argc > 1 ? argv[1] : "examples/demo";
  QImage bricks(100, 70, QImage::Format_RGB32);
  {
    QPainter p(&bricks);
    p.fillRect(bricks.rect(), QColor(150, 60, 40));
    p.setPen(QPen(QColor(200, 190, 170), 3));
    p.drawLine(0, 35, 100, 35);
    p.drawLine(0, 69, 100, 69);
    p.drawLine(50, 0, 50, 35);
    p.drawLine(0, 35, 0, 70);
  }
  bricks.save(root + "/Frames/Bricks.bmp", "BMP");
  writeWave(root + "/Areas/Surf.wav", 2.0, 0, true);
  writeWave(root + "/Frames/Bell.wav", 0.5, 880, false);
  return 0;
}
