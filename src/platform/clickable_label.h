#pragma once
#include <QLabel>
#include <QMouseEvent>

// A label that reports clicks and, when asked, drags its window (borderless windows are
// moved by their labels).
namespace storyloom {

class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
  void setDragsWindow(bool drags) { dragsWindow_ = drags; }

 Q_SIGNALS:
  void clicked();
  void pressed(Qt::MouseButton button, QPoint pos);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool dragsWindow_ = false;
  bool down_ = false;
  bool dragged_ = false;
  QPoint grab_;
};

}  // namespace storyloom
