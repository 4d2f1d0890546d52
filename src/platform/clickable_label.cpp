#include "platform/clickable_label.h"

namespace storyloom {

void ClickableLabel::mousePressEvent(QMouseEvent* e) {
  Q_EMIT pressed(e->button(), e->position().toPoint());
  if (e->button() == Qt::LeftButton) {
    down_ = true;
    dragged_ = false;
    grab_ = e->globalPosition().toPoint() - window()->frameGeometry().topLeft();
  }
  e->accept();
}

void ClickableLabel::mouseMoveEvent(QMouseEvent* e) {
  if (dragsWindow_ && down_ && (e->buttons() & Qt::LeftButton)) {
    dragged_ = true;
    window()->move(e->globalPosition().toPoint() - grab_);
  }
  e->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* e) {
  const bool wasDown = down_;
  down_ = false;
  if (wasDown && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && !dragged_)
    Q_EMIT clicked();
  e->accept();
}

}  // namespace storyloom
