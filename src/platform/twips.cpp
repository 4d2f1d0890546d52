#include "platform/twips.h"

#include <QApplication>
#include <QPalette>

namespace storyloom {

QColor colorFromNumber(qint64 number) {
  if (number < 0 || number > 0xFFFFFF) {
    const qint64 index = number & 0xFF;
    const QPalette pal = QApplication::palette();
    switch (index) {
      case 5: return pal.color(QPalette::Base);         // window background
      case 8: return pal.color(QPalette::Text);         // window text
      case 15: return pal.color(QPalette::Button);      // button face
      case 18: return pal.color(QPalette::ButtonText);  // button text
      case 13: return pal.color(QPalette::Highlight);
      case 14: return pal.color(QPalette::HighlightedText);
      case 24: return pal.color(QPalette::ToolTipBase);
      case 23: return pal.color(QPalette::ToolTipText);
      default: return pal.color(QPalette::Window);
    }
  }
  return QColor(static_cast<int>(number & 0xFF), static_cast<int>((number >> 8) & 0xFF),
                static_cast<int>((number >> 16) & 0xFF));
}

qint64 numberFromColor(const QColor& c) { return c.red() + 256 * c.green() + 65536 * c.blue(); }

}  // namespace storyloom
