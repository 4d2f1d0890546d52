// Custom pointers drawn at the size of the scaled picture. A bitmap pointer set on a
// watched widget, or brought to the picture's viewport by the hotspot or text under the
// mouse, is shown as many times larger as the picture is, its hot spot moved with it;
// when the scale changes, the pointers shown change with it.
#pragma once
#include <QCursor>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <initializer_list>
#include <vector>

class QWidget;

namespace storyloom {

class ScaledScreen;

// The pointer drawn `factor` times its size. Pointers are never made smaller than their
// own size, and the system's pointer shapes are left as they are.
QCursor PointerAtScale(const QCursor& pointer, double factor);

class PointerScaling : public QObject {
 public:
  // Follows `screen`'s scale for the pointers of the watched widgets (a child of `screen`).
  PointerScaling(ScaledScreen& screen, std::initializer_list<QWidget*> watched);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void follow(QWidget* widget);
  // The pointer to show for the one a widget has now.
  QCursor shown(const QCursor& pointer);

  ScaledScreen& screen_;
  std::vector<QPointer<QWidget>> watched_;
  double factor_ = 1;
  QHash<qint64, QCursor> originalOf_;  // by the picture of each pointer made here
  QHash<qint64, QCursor> scaledOf_;    // at the present factor, by the original's picture
  bool applying_ = false;
};

}  // namespace storyloom
