#pragma once
#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <vector>

// Where the game window and its picture go, the game's mouse pointers, and the stored
// position of the last click.
namespace storyloom {

// Window and picture placement, all in twips.
struct Placement {
  int windowLeft = 0, windowTop = 0, windowWidth = 0, windowHeight = 0;
  int pictureLeft = 0, pictureTop = 0, pictureWidth = 0, pictureHeight = 0;
  int innerWidth = 0, innerHeight = 0;
};

struct PlacementInput {
  bool menuAlwaysVisible = false;
  int desktopWidth = 0, desktopHeight = 0;  // twips
  // What borders, caption and menu bar take from the window (outer minus inner), twips.
  int chromeWidth = 0, chromeHeight = 0;
  int screenWidth = 0, screenHeight = 0;  // the game's size in pixels
};

// The window covers the desktop, or (menu always visible) has an inner area of exactly the
// game's size; it is centred on the desktop; the picture is centred in the inner area, its
// top never above the inner area (its left may be).
Placement ComputePlacement(const PlacementInput& in);

// The last click or drop, in pixels of the picture: twips / 15, half to even.
QPoint ClickPositionFromTwips(double sglLeft, double sglTop);

// A pointer read from a .cur, .ico or .ani file with its hot spot. An animated pointer
// has more than one frame and a delay between them.
struct PointerFile {
  std::vector<QCursor> frames;
  int frameMilliseconds = 0;
  bool isNull() const { return frames.empty(); }
};
PointerFile LoadPointerFile(const QString& hostPath);
// The same from the file's bytes.
PointerFile ReadPointerData(const QByteArray& data);

// The project's default pointer: the system pointer when DefaultPointer is empty or
// "default" (any case), else the pointer file in IconsPath. An animated pointer steps
// through its frames by a timer; changed() tells the holder to hand the new frame out.
class DefaultPointer : public QObject {
  Q_OBJECT
 public:
  DefaultPointer();
  // Returns false when a custom pointer is asked for and cannot be loaded.
  bool load(const QString& defaultPointerSetting, const QString& hostPath);
  bool isCustom() const { return !file_.isNull(); }
  QCursor cursor() const;

 Q_SIGNALS:
  void changed();

 private:
  PointerFile file_;
  size_t frame_ = 0;
  QTimer animation_;
};

bool IsSystemPointerName(const QString& defaultPointerSetting);

}  // namespace storyloom
