#pragma once
#include <Qt>

namespace storyloom {

// The platform's button number of a mouse button, as mouse-down handlers receive it:
// 1 left, 2 right, 4 middle.
inline int windowsButton(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 1;
  }
}

}  // namespace storyloom
