// Walkthrough commands that work on any window of the program.
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "platform/message_boxes.h"
#include "shell/application.h"
#include "shell/walkthrough.h"
#include "shell/display.h"

namespace storyloom {
namespace {

using Step = WalkthroughRunner::Step;

// The window that input goes to: the modal one when there is one, else the active one,
// else the last visible top-level window.
QWidget* targetWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  QWidget* last = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && !w->inherits("QMenu")) last = w;
  return last;
}

QWidget* findVisibleWidget(const QString& name) {
  QList<QWidget*> roots;
  if (QWidget* modal = QApplication::activeModalWidget()) roots.append(modal);
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && !roots.contains(w)) roots.append(w);
  for (QWidget* root : roots) {
    if (root->objectName() == name) return root;
    const auto found = root->findChildren<QWidget*>(name);
    for (QWidget* w : found)
      if (w->isVisible()) return w;
  }
  return nullptr;
}

QWidget* findWidgetAnywhere(const QString& name) {
  for (QWidget* w : QApplication::allWidgets())
    if (w->objectName() == name) return w;
  return nullptr;
}

// A click where a real one would land: on the deepest visible control under the point.
void clickAt(QWidget* surface, QPoint at, Qt::MouseButton button) {
  QWidget* target = surface->childAt(at);
  if (!target) target = surface;
  sendWalkthroughClick(target, target->mapFrom(surface, at), button);
}

Qt::MouseButton buttonNamed(const QString& name) {
  if (name == QLatin1String("right")) return Qt::RightButton;
  if (name == QLatin1String("middle")) return Qt::MiddleButton;
  return Qt::LeftButton;
}

bool isInteger(const QString& s) {
  bool ok = false;
  s.toInt(&ok);
  return ok;
}

QString plainText(QString s) {
  s.remove('&');
  return s.trimmed();
}

}  // namespace

void sendWalkthroughClick(QWidget* w, QPoint at, Qt::MouseButton button) {
  const QPointF local(at);
  const QPointF global(w->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

void registerStandardWalkthroughCommands(WalkthroughRunner& runner, MessageBoxes& messages) {
  // click X Y [left|right|middle]: at pixel (X, Y) of the game picture ("PictureBox") when
  // the window with input shows one, else of that window's inner area.
  // click NAME [left|right|middle]: at the centre of the visible control NAME.
  runner.addCommand(QStringLiteral("click"), 1, 3, [](const QStringList& a) {
    if (a.size() >= 2 && isInteger(a[0]) && isInteger(a[1])) {
      QWidget* win = targetWindow();
      if (!win) return Step::again(QStringLiteral("no window"));
      QWidget* surface = win;
      for (QWidget* w : win->findChildren<QWidget*>(QStringLiteral("PictureBox")))
        if (w->isVisible()) surface = w;
      QPoint at(a[0].toInt(), a[1].toInt());
      // The picture may be shown at any scale: the point is a pixel of the picture.
      if (auto* view = qobject_cast<QGraphicsView*>(surface)) {
        at = view->viewport()->mapTo(view, ViewPointOfPicturePixel(*view, at));
      }
      clickAt(surface, at, buttonNamed(a.value(2)));
      return Step::done();
    }
    if (a.size() > 2) return Step::fail(QStringLiteral("click takes X Y [button] or NAME [button]"));
    QWidget* w = findVisibleWidget(a[0]);
    if (!w) return Step::again(QStringLiteral("no visible widget \"%1\"").arg(a[0]));
    const Qt::MouseButton button = buttonNamed(a.value(1));
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && button == Qt::LeftButton) {
      b->click();
    } else {
      clickAt(w, w->rect().center(), button);
    }
    return Step::done();
  });
  // button TEXT: clicks the button, or the label, with that caption in the window that has
  // input (blanks around the caption and "&" marks do not count).
  runner.addCommand(QStringLiteral("button"), 1, 1, [](const QStringList& a) {
    QWidget* win = targetWindow();
    if (!win) return Step::again(QStringLiteral("no window"));
    const QString wanted = plainText(a[0]);
    for (QAbstractButton* b : win->findChildren<QAbstractButton*>()) {
      if (b->isVisible() && b->isEnabled() && plainText(b->text()).compare(wanted, Qt::CaseInsensitive) == 0) {
        b->click();
        return Step::done();
      }
    }
    // A button placed in a picture (the widget of a proxy item in the scene).
    for (QGraphicsView* view : win->findChildren<QGraphicsView*>()) {
      if (!view->isVisible() || !view->scene()) continue;
      for (QGraphicsItem* item : view->scene()->items()) {
        auto* proxy = qgraphicsitem_cast<QGraphicsProxyWidget*>(item);
        auto* b = proxy ? qobject_cast<QAbstractButton*>(proxy->widget()) : nullptr;
        if (b && proxy->isVisible() && b->isEnabled() &&
            plainText(b->text()).compare(wanted, Qt::CaseInsensitive) == 0) {
          b->click();
          return Step::done();
        }
      }
    }
    // A label, or a picture that stands for a button (its accessible name is the caption).
    for (QLabel* l : win->findChildren<QLabel*>()) {
      const bool named =
          plainText(l->text()).compare(wanted, Qt::CaseInsensitive) == 0 ||
          (!l->accessibleName().isEmpty() && l->accessibleName().compare(wanted, Qt::CaseInsensitive) == 0);
      if (l->isVisible() && named) {
        clickAt(l, l->rect().center(), Qt::LeftButton);
        return Step::done();
      }
    }
    return Step::again(QStringLiteral("no button \"%1\"").arg(a[0]));
  });
  // key KEYS: a key press such as Escape, Return, Ctrl+L, F1.
  runner.addCommand(QStringLiteral("key"), 1, 1, [](const QStringList& a) {
    const QKeySequence seq = QKeySequence::fromString(a[0]);
    if (seq.isEmpty()) return Step::fail(QStringLiteral("unknown key \"%1\"").arg(a[0]));
    QWidget* win = targetWindow();
    if (!win) return Step::again(QStringLiteral("no window"));
    QWidget* target = win->focusWidget() ? win->focusWidget() : win;
    const QKeyCombination combo = seq[0];
    // A printable key without Ctrl or Alt also carries its text, as typing does.
    QString text;
    const int key = combo.key();
    if (!(combo.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier)) && key >= 0x20 && key < 0x7f)
      text = (combo.keyboardModifiers() & Qt::ShiftModifier) ? QString(QChar(key)) : QString(QChar(key)).toLower();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) text = QStringLiteral("\r");
    QKeyEvent press(QEvent::KeyPress, combo.key(), combo.keyboardModifiers(), text);
    // Shortcuts are tried first, as when a key is really pressed.
    QKeyEvent shortcut(QEvent::ShortcutOverride, combo.key(), combo.keyboardModifiers());
    QApplication::sendEvent(target, &shortcut);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, combo.key(), combo.keyboardModifiers());
    QApplication::sendEvent(target, &release);
    return Step::done();
  });
  // type TEXT: types the text into the widget that has the focus.
  runner.addCommand(QStringLiteral("type"), 1, 1, [](const QStringList& a) {
    QWidget* win = targetWindow();
    QWidget* target = win ? (win->focusWidget() ? win->focusWidget() : win) : nullptr;
    if (!target) return Step::again(QStringLiteral("no window"));
    for (QChar c : a[0]) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(target, &press);
    }
    return Step::done();
  });
  // answer BUTTON: the next message box is answered with that button (OK, Cancel, Yes, No...);
  // any other text is the label of a button of the next question with buttons of its own.
  runner.addCommand(QStringLiteral("answer"), 1, 1, [&messages](const QStringList& a) {
    const int r = MessageBoxes::resultFromName(a[0]);
    if (r)
      messages.queueAnswer(r);
    else
      messages.queueAnswer(a[0]);
    return Step::done();
  });
  // answer-input TEXT: the next input box is answered with the text.
  runner.addCommand(QStringLiteral("answer-input"), 1, 1, [&messages](const QStringList& a) {
    messages.queueInput(a[0]);
    return Step::done();
  });
  // expect-message TEXT: the last message box shown held TEXT (waits for one to be shown).
  auto last = std::make_shared<QString>();
  runner.addCommand(QStringLiteral("expect-message"), 1, 1, [&messages, last](const QStringList& a) {
    const QStringList shown = messages.takeShown();
    if (!shown.isEmpty()) *last = shown.back();
    if (last->contains(a[0])) return Step::done();
    return Step::again(last->isEmpty() ? QStringLiteral("no message box was shown")
                                       : QStringLiteral("the last message box was \"%1\"").arg(*last));
  });
  // expect-widget NAME visible|hidden [TEXT]: the widget's state, and its text when given.
  runner.addCommand(QStringLiteral("expect-widget"), 2, 3, [](const QStringList& a) {
    QWidget* w = findWidgetAnywhere(a[0]);
    if (!w) return Step::fail(QStringLiteral("no widget \"%1\"").arg(a[0]));
    const bool wantVisible = a[1] == QLatin1String("visible");
    if (w->isVisible() != wantVisible)
      return Step::again(QStringLiteral("widget \"%1\" is %2").arg(a[0], w->isVisible() ? "visible" : "hidden"));
    if (a.size() > 2) {
      QString text;
      if (auto* l = qobject_cast<QLabel*>(w))
        text = l->text();
      else if (auto* b = qobject_cast<QAbstractButton*>(w))
        text = b->text();
      else
        text = w->windowTitle();
      if (text != a[2]) return Step::again(QStringLiteral("widget \"%1\" shows \"%2\"").arg(a[0], text));
    }
    return Step::done();
  });
  // screenshot FILE: a picture of the window that has input; screenshot FILE picture: the
  // game picture alone at its own size, whatever the window's size.
  runner.addCommand(QStringLiteral("screenshot"), 1, 2, [](const QStringList& a) {
    QImage image;
    if (a.size() == 2) {
      if (a[1] != QLatin1String("picture")) return Step::fail(QStringLiteral("unknown screenshot kind"));
      auto* view = qobject_cast<QGraphicsView*>(findVisibleWidget(QStringLiteral("PictureBox")));
      if (!view || !view->scene()) return Step::again(QStringLiteral("no game picture"));
      const QRectF area = view->scene()->sceneRect();
      image = QImage(area.size().toSize(), QImage::Format_RGB32);
      image.fill(Qt::black);
      QPainter painter(&image);
      view->scene()->render(&painter, QRectF(QPointF(0, 0), area.size()), area);
    } else {
      QWidget* win = targetWindow();
      if (!win) return Step::again(QStringLiteral("no window"));
      image = win->grab().toImage();
    }
    if (!image.save(a[0], "PNG")) return Step::fail(QStringLiteral("cannot write \"%1\"").arg(a[0]));
    return Step::done();
  });
}

}  // namespace storyloom
