#include "platform/conversions.h"
#include "game/placement.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <cmath>
#include <optional>

#include "shell/field_reader.h"

namespace storyloom {

Placement ComputePlacement(const PlacementInput& in) {
  Placement p;
  const int gameWidth = in.screenWidth * 15;
  const int gameHeight = in.screenHeight * 15;
  if (!in.menuAlwaysVisible) {
    p.windowHeight = in.desktopHeight;
    p.windowWidth = in.desktopWidth;
  } else {
    p.windowHeight = in.chromeHeight + gameHeight;
    p.windowWidth = in.chromeWidth + gameWidth;
  }
  p.innerWidth = p.windowWidth - in.chromeWidth;
  p.innerHeight = p.windowHeight - in.chromeHeight;
  p.windowTop = in.desktopHeight / 2 - p.windowHeight / 2;
  p.windowLeft = in.desktopWidth / 2 - p.windowWidth / 2;
  p.pictureWidth = gameWidth;
  p.pictureHeight = gameHeight;
  auto intDiv2 = [](int v) { return static_cast<int>(std::floor(v / 2.0)); };
  p.pictureLeft = intDiv2(p.innerWidth) - intDiv2(p.pictureWidth);
  const int top = intDiv2(p.innerHeight) - intDiv2(p.pictureHeight);
  p.pictureTop = top < 0 ? 0 : top;
  return p;
}

QPoint ClickPositionFromTwips(double sglLeft, double sglTop) {
  return {static_cast<int>(roundHalfEven(sglLeft / 15.0)), static_cast<int>(roundHalfEven(sglTop / 15.0))};
}

namespace {

quint16 le16(const QByteArray& b, int at) {
  return static_cast<quint16>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
quint32 le32(const QByteArray& b, int at) { return le16(b, at) | static_cast<quint32>(le16(b, at + 2)) << 16; }

// One icon or cursor resource (ICO/CUR file form) as a pointer; the hot spot of an icon is
// its centre.
std::optional<QCursor> cursorFromIconData(const QByteArray& data) {
  if (data.size() < 22) return std::nullopt;
  const quint16 type = le16(data, 2);
  if (le16(data, 0) != 0 || (type != 1 && type != 2) || le16(data, 4) == 0) return std::nullopt;
  QByteArray asIcon = data;
  // Qt reads the icon form; a cursor differs only in the type and the hot spot fields.
  asIcon[2] = 1;
  asIcon[10] = 1;
  asIcon[11] = 0;
  asIcon[12] = 0;
  asIcon[13] = 0;
  QBuffer buffer(&asIcon);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  const QImage image = reader.read();
  if (image.isNull()) return std::nullopt;
  int hotX = image.width() / 2, hotY = image.height() / 2;
  if (type == 2) {
    hotX = le16(data, 10);
    hotY = le16(data, 12);
  }
  return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

}  // namespace

PointerFile LoadPointerFile(const QString& hostPath) {
  QFile f(hostPath);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return ReadPointerData(f.readAll());
}

PointerFile ReadPointerData(const QByteArray& data) {
  constexpr quint32 kMaxJiffies = 60 * 60 * 60;
  PointerFile result;
  if (data.startsWith("RIFF") && data.mid(8, 4) == "ACON") {
    // Animated pointer: "anih" gives the display rate in 1/60 s, "LIST" "fram" holds the
    // frames as "icon" chunks.
    int jiffies = 10;
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
      const QByteArray id = data.mid(at, 4);
      const quint32 size = le32(data, static_cast<int>(at + 4));
      const qsizetype body = at + 8;
      if (body + static_cast<qsizetype>(size) > data.size()) break;
      if (id == "anih" && size >= 36) {
        // A rate beyond an hour a picture is damage, not timing: keep the default.
        const quint32 rate = le32(data, static_cast<int>(body + 28));
        if (rate > 0 && rate <= kMaxJiffies) jiffies = static_cast<int>(rate);
      } else if (id == "LIST" && data.mid(body, 4) == "fram") {
        const qsizetype end = body + static_cast<qsizetype>(size);
        qsizetype in = body + 4;
        while (in + 8 <= end) {
          const qsizetype isize = le32(data, static_cast<int>(in + 4));
          // Every length is checked against what is left before it is used.
          if (isize > end - (in + 8)) break;
          if (data.mid(in, 4) == "icon")
            if (auto c = cursorFromIconData(data.mid(in + 8, isize))) result.frames.push_back(*c);
          in += 8 + isize + (isize % 2);
        }
      }
      at = body + size + (size % 2);
    }
    result.frameMilliseconds = jiffies * 1000 / 60;
    return result;
  }
  if (auto c = cursorFromIconData(data)) {
    result.frames.push_back(*c);
    return result;
  }
  // Any other picture the image readers know, hot spot at the top left.
  QPixmap picture;
  if (picture.loadFromData(data)) result.frames.push_back(QCursor(picture, 0, 0));
  return result;
}

bool IsSystemPointerName(const QString& setting) {
  return setting.isEmpty() || setting.toLower() == QLatin1String("default");
}

DefaultPointer::DefaultPointer() {
  connect(&animation_, &QTimer::timeout, this, [this] {
    if (file_.frames.size() < 2) return;
    frame_ = (frame_ + 1) % file_.frames.size();
    Q_EMIT changed();
  });
}

bool DefaultPointer::load(const QString& setting, const QString& hostPath) {
  animation_.stop();
  file_ = PointerFile{};
  frame_ = 0;
  if (IsSystemPointerName(setting)) return true;
  file_ = LoadPointerFile(hostPath);
  if (file_.frames.size() > 1 && file_.frameMilliseconds > 0) animation_.start(file_.frameMilliseconds);
  return !file_.isNull();
}

QCursor DefaultPointer::cursor() const {
  if (file_.isNull()) return QCursor(Qt::ArrowCursor);
  return file_.frames[frame_];
}

}  // namespace storyloom
