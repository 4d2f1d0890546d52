#pragma once
#include <QGraphicsView>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <optional>

// The display a game sees, and how the game window shows it on the real screen.
//
// The real display mode is never switched. The game sees a virtual display: the real
// screen's size at start, or 640x480, 800x600 or 1024x768 once a game asks for one of
// them. The game window lays its picture out on that virtual display and shows the result
// scaled to fit the real window or screen, aspect kept, with black borders.
namespace storyloom {

class EditorAndGame;

class Display : public QObject {
  Q_OBJECT
 public:
  explicit Display(EditorAndGame& module);

  // The real screen's size and refresh rate when the program started.
  qint32 StartupDisplayWidth = 0;
  qint32 StartupDisplayHeight = 0;
  qint32 StartupDisplayFrequency = 0;

  void RecordStartupDisplayMode();
  // The virtual display's size in pixels (the real screen until a mode was chosen).
  qint32 DesktopWidth() const { return size().width(); }
  qint32 DesktopHeight() const { return size().height(); }
  QSize size() const;
  // Switches the virtual display; an unknown size is reported and changes nothing.
  void ChangeDisplayMode(double width, double height, bool restore);
  // Mode 1 = 640x480, 2 = 800x600, 3 = 1024x768; any other value does nothing.
  void ChangeResolutionToMode(int mode);
  // Whether the screen the program started on already has the size of ResolutionMode
  // (0 = 640x480, 1 = 800x600, 2 = 1024x768).
  bool ResolutionMatchesProject(int resolutionMode) const;
  // At the end of a game: back to the real screen when a mode was chosen.
  void RestoreDisplayModeIfChanged();

  // The size of a mode number 1-3; nothing for other numbers.
  static std::optional<QSize> ModeSize(int mode);

 Q_SIGNALS:
  // A game's change of mode took place; the game window lays itself out again.
  void modeChanged();

 private:
  static QSize realScreenSize();

  EditorAndGame& module_;
  std::optional<QSize> chosen_;  // empty: the real screen
};

// Whether text laid out by the runtime fits the small-fonts layout: the default font, sized
// as the runtime sizes every text (points at 96 dots per inch), is less than 17 pixels high.
bool SmallFontsCheck();

// How a virtual area of virtualSize pixels is shown in an area of available pixels: the
// largest whole factor that fits (measured in device pixels, so that every virtual pixel
// becomes a block of whole device pixels), else the largest factor that fits (smooth).
// shown is where the virtual area lies, centred, in the available area.
struct DisplayScale {
  double factor = 1;  // logical pixels per virtual pixel
  bool whole = true;  // a whole number of device pixels per virtual pixel
  QRect shown;
};
DisplayScale ChooseDisplayScale(QSize virtualSize, QSize available, double devicePixelRatio = 1.0);

// The black area of the game window that shows the virtual display scaled. Its one view
// (the game picture) is placed and scaled in it whenever either changes size.
class ScaledScreen : public QWidget {
  Q_OBJECT
 public:
  explicit ScaledScreen(QWidget* parent);
  void setView(QGraphicsView* view);
  // The virtual area shown (the window's inner area on the virtual display) and where the
  // picture lies in it, in virtual pixels.
  void setVirtualArea(QSize area, QRect picture);
  QSize virtualArea() const { return area_; }
  QRect pictureRect() const { return picture_; }
  // Pixels at the top covered by a menu bar shown over the picture: the picture keeps its
  // place and size under it.
  void setCoveredTop(int pixels);
  const DisplayScale& scale() const { return scale_; }

 Q_SIGNALS:
  void scaleChanged();

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void layOut();

  QGraphicsView* view_ = nullptr;
  QSize area_{640, 480};
  QRect picture_{0, 0, 640, 480};
  DisplayScale scale_;
  int coveredTop_ = 0;
};

// The point of a view's viewport that a click on picture pixel (x, y) goes to: the first
// viewport pixel that shows that picture pixel. Below full size not every picture pixel
// has one of its own; the nearest one that has is taken.
QPoint ViewPointOfPicturePixel(const QGraphicsView& view, QPoint pixel);
// The picture pixel shown at a scene position (positions inside a pixel belong to it).
QPoint PicturePixelAt(QPointF scenePos);

}  // namespace storyloom
