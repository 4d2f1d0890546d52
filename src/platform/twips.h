#pragma once
#include <QColor>
#include <QRect>
#include <QWidget>
#include <cmath>

// Positions and sizes of windows and controls are kept in twips, 15 to the pixel.
namespace storyloom {

constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(double twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); }
inline int pixelsToTwips(double pixels) { return static_cast<int>(std::nearbyint(pixels * kTwipsPerPixel)); }

inline void setTwipsGeometry(QWidget* w, double left, double top, double width, double height) {
  w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}
inline void setTwipsTop(QWidget* w, double top) { w->move(w->x(), twipsToPixels(top)); }
inline void setTwipsLeft(QWidget* w, double left) { w->move(twipsToPixels(left), w->y()); }
inline int twipsTop(const QWidget* w) { return pixelsToTwips(w->y()); }
inline int twipsHeight(const QWidget* w) { return pixelsToTwips(w->height()); }
inline int twipsWidth(const QWidget* w) { return pixelsToTwips(w->width()); }

// A colour number: red + 256 x green + 65536 x blue. Numbers with the top bit set name a
// system colour; the usual ones are mapped to the palette.
QColor colorFromNumber(qint64 number);
qint64 numberFromColor(const QColor& color);

}  // namespace storyloom
