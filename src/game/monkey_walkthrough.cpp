// A long random play: visible hotspots and texts clicked, items dragged onto each other and
// onto the picture, the game's keys pressed, message boxes answered at random. Each action
// is one line of the log ("monkey N: ..."), so a run that goes wrong can be followed.
#include "game/monkey_walkthrough.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>
#include <memory>

#include "game/frame_texts.h"
#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "hotspots/hotspot_item.h"
#include "platform/message_boxes.h"
#include "shell/application.h"
#include "shell/editor_and_game.h"
#include "shell/frm_welcome.h"
#include "shell/walkthrough.h"
#include "state/inventory.h"
#include "state/inventory_walkthrough.h"

namespace storyloom {

namespace {

using Step = WalkthroughRunner::Step;

struct KeyChoice {
  int key;
  Qt::KeyboardModifiers modifiers;
  const char* name;
};
// The keys the game window answers; Ctrl+Q and Escape may end the game, which the monkey
// then starts again from the welcome window.
constexpr KeyChoice kKeys[] = {
    {Qt::Key_Escape, Qt::NoModifier, "Escape"}, {Qt::Key_F9, Qt::NoModifier, "F9"},
    {Qt::Key_F10, Qt::NoModifier, "F10"},       {Qt::Key_F11, Qt::NoModifier, "F11"},
    {Qt::Key_F12, Qt::NoModifier, "F12"},       {Qt::Key_L, Qt::ControlModifier, "Ctrl+L"},
    {Qt::Key_S, Qt::ControlModifier, "Ctrl+S"}, {Qt::Key_Q, Qt::ControlModifier, "Ctrl+Q"},
};
constexpr int kAnswers[] = {msg::OK, msg::Cancel, msg::Yes, msg::No, msg::Retry, msg::Ignore, msg::Abort};
// Names typed into a window's text boxes (the save window refuses some of them).
constexpr const char* kNames[] = {"monkey game", "", "a,b", "x", "Saved by the monkey", "1234567"};
// A window or menu the monkey has done this much in is closed, so that the play goes on.
constexpr int kActionsPerWindow = 6;

struct Monkey {
  Application& application;
  WalkthroughRunner& runner;
  QRandomGenerator random;
  qint64 endsAt = 0;
  qint64 nextAt = 0;  // a player's pace: frame timers and timed events get their turn
  bool running = false;
  bool acting = false;  // an action is on the stack (its waits let the ticks run)
  int actions = 0;
  // The modal windows and popup menus being answered, innermost last: an action that opens
  // one waits inside it, so the monkey answers it from the ticks its loop lets through.
  std::vector<QPointer<QWidget>> answering;

  Monkey(Application& app, WalkthroughRunner& r) : application(app), runner(r) {}

  int below(int n) { return n <= 0 ? 0 : static_cast<int>(random.bounded(n)); }
  void say(const QString& what) { runner.log(QStringLiteral("monkey %1: %2").arg(actions).arg(what)); }

  void clickScene(Game& game, QPointF scenePos, Qt::MouseButton button) {
    QGraphicsView* view = game.PictureBox;
    sendWalkthroughClick(view->viewport(), view->mapFromScene(scenePos), button);
  }

  // The window or popup menu that an action is waiting in, if the monkey is not already
  // answering it.
  QWidget* windowToAnswer() const {
    QWidget* w = QApplication::activePopupWidget();
    if (!w) w = QApplication::activeModalWidget();
    if (!w) return nullptr;
    for (const QPointer<QWidget>& a : answering)
      if (a == w) return nullptr;
    return w;
  }

  template <typename T>
  T* anyVisible(QWidget* window) {
    std::vector<T*> found;
    for (T* child : window->findChildren<T*>())
      if (child->isVisible() && child->isEnabled()) found.push_back(child);
    return found.empty() ? nullptr : found[static_cast<size_t>(below(static_cast<int>(found.size())))];
  }

  void sendKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
  }

  void actOn(QWidget* window) {
    ++actions;
    MessageBoxes& messages = application.module().messages();
    messages.queueAnswer(kAnswers[below(std::size(kAnswers))]);
    const int done = window->property("monkeyActions").toInt();
    window->setProperty("monkeyActions", done + 1);
    const bool closeNow = done >= kActionsPerWindow || QDateTime::currentMSecsSinceEpoch() >= endsAt;
    if (auto* menu = qobject_cast<QMenu*>(window)) {
      if (closeNow || below(3) == 0) {
        say(QStringLiteral("close the menu"));
        sendKey(menu, Qt::Key_Escape);
      } else {
        const int downs = 1 + below(6);
        say(QStringLiteral("menu: down %1 times and Enter").arg(downs));
        for (int i = 0; i < downs; ++i) sendKey(menu, Qt::Key_Down);
        sendKey(menu, Qt::Key_Return);
      }
      messages.clearAnswers();
      return;
    }
    const int kind = below(100);
    if (closeNow || kind < 20) {
      say(QStringLiteral("close the window \"%1\"").arg(window->windowTitle()));
      if (auto* dialog = qobject_cast<QDialog*>(window))
        dialog->reject();
      else
        window->close();
    } else if (QLineEdit* edit = kind < 40 ? anyVisible<QLineEdit>(window) : nullptr) {
      const QString name = QString::fromLatin1(kNames[below(std::size(kNames))]);
      say(QStringLiteral("type \"%1\" in %2").arg(name, edit->objectName()));
      edit->setText(name);
    } else if (QListWidget* list = kind < 55 ? anyVisible<QListWidget>(window) : nullptr; list && list->count() > 0) {
      const int row = below(list->count());
      say(QStringLiteral("choose line %1 of %2").arg(row).arg(list->objectName()));
      list->setCurrentRow(row);
    } else if (QAbstractButton* button = anyVisible<QAbstractButton>(window)) {
      say(QStringLiteral("press \"%1\" in \"%2\"").arg(button->text(), window->windowTitle()));
      button->click();
    } else {
      say(QStringLiteral("Escape in \"%1\"").arg(window->windowTitle()));
      sendKey(window, Qt::Key_Escape);
    }
    messages.clearAnswers();
  }

  void act() {
    ++actions;
    MessageBoxes& messages = application.module().messages();
    const int answer = kAnswers[below(std::size(kAnswers))];
    messages.queueAnswer(answer);
    Game* game = application.game();
    if (!game || !game->isVisible()) {
      // The welcome window comes back once the game window has closed.
      if (!application.welcome().isVisible()) {
        --actions;
        messages.clearAnswers();
        return;
      }
      say(QStringLiteral("start a game"));
      application.welcome().ClickButton(0);
      messages.clearAnswers();
      return;
    }
    const int kind = below(100);
    // The debug keys in their order show the debug menu, which leads to any frame.
    if (kind < 3) {
      say(QStringLiteral("keys F9 F10 F11 F12"));
      for (int key : {Qt::Key_F9, Qt::Key_F10, Qt::Key_F11, Qt::Key_F12})
        sendKey(game->focusWidget() ? game->focusWidget() : game, key);
      messages.clearAnswers();
      return;
    }
    if (kind < 8 && game->mnuDebug->menuAction()->isVisible() && !game->mnuFrameName.empty()) {
      QAction* item = game->mnuFrameName[static_cast<size_t>(below(static_cast<int>(game->mnuFrameName.size())))];
      say(QStringLiteral("menu %1").arg(item->data().toString()));
      item->trigger();
      messages.clearAnswers();
      return;
    }
    if (kind < 45) {
      std::vector<HotspotItem*> visible;
      for (int i = 1; i <= game->areas().AreaCount(); ++i)
        if (HotspotItem* a = game->areas().Area(i); a && a->isVisible()) visible.push_back(a);
      if (!visible.empty()) {
        HotspotItem* area = visible[static_cast<size_t>(below(static_cast<int>(visible.size())))];
        const bool right = below(10) == 0;
        say(QStringLiteral("click-hotspot %1 %2 in %3, answering %4")
                .arg(area->index())
                .arg(right ? QStringLiteral("right") : QStringLiteral("left"), game->frame.CurrentFrameName)
                .arg(answer));
        clickScene(*game, area->sceneBoundingRect().center(), right ? Qt::RightButton : Qt::LeftButton);
        messages.clearAnswers();
        return;
      }
    }
    if (kind < 55) {
      std::vector<TextLabel*> texts;
      for (int i = 1; i <= game->texts().highestIndex(); ++i)
        if (TextLabel* t = game->texts().Text(i); t && t->isVisible()) texts.push_back(t);
      if (!texts.empty()) {
        TextLabel* text = texts[static_cast<size_t>(below(static_cast<int>(texts.size())))];
        say(QStringLiteral("click text \"%1\"").arg(text->text()));
        clickScene(*game, text->sceneBoundingRect().center(), Qt::LeftButton);
        messages.clearAnswers();
        return;
      }
    }
    Inventory& inventory = game->inventory();
    if (kind < 70 && inventory.count() > 0 && !inventory.dragging()) {
      const int n = 1 + below(inventory.count());
      const int m = 1 + below(inventory.count());
      if (n != m && below(2) == 0) {
        say(QStringLiteral("drag-item-on-item %1 %2").arg(n).arg(m));
        dragInventoryItem(*game, n, [&inventory, m] {
          InventoryPart* target = inventory.PickedObject(m);
          return target ? target->sceneBoundingRect().center() : QPointF();
        });
      } else {
        const QRectF r = game->scene().sceneRect();
        const QPointF to(r.left() + below(int(r.width())), r.top() + below(int(r.height())));
        say(QStringLiteral("drag-item %1 %2 %3").arg(n).arg(to.x()).arg(to.y()));
        dragInventoryItem(*game, n, [to] { return to; });
      }
      messages.clearAnswers();
      return;
    }
    if (kind < 85) {
      const KeyChoice& k = kKeys[below(std::size(kKeys))];
      // Quitting is rare, so that the frames get played.
      if (k.key == Qt::Key_Q && below(4) != 0) return;
      say(QStringLiteral("key %1, answering %2").arg(QString::fromLatin1(k.name)).arg(answer));
      QWidget* target = game->focusWidget() ? game->focusWidget() : game;
      QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers);
      QApplication::sendEvent(target, &press);
      QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers);
      QApplication::sendEvent(target, &release);
      messages.clearAnswers();
      return;
    }
    const QRectF r = game->scene().sceneRect();
    const QPointF at(r.left() + below(int(r.width())), r.top() + below(int(r.height())));
    say(QStringLiteral("click %1 %2").arg(at.x()).arg(at.y()));
    clickScene(*game, at, below(5) == 0 ? Qt::RightButton : Qt::LeftButton);
    messages.clearAnswers();
  }
};

}  // namespace

void registerMonkeyWalkthroughCommand(WalkthroughRunner& runner, Application& application) {
  auto monkey = std::make_shared<Monkey>(application, runner);
  runner.addCommand(QStringLiteral("monkey"), 2, 2, [monkey](const QStringList& a) {
    bool okSeconds = false, okSeed = false;
    const int seconds = a[0].toInt(&okSeconds);
    const quint32 seed = a[1].toUInt(&okSeed);
    if (!okSeconds || !okSeed || seconds < 0) return Step::fail(QStringLiteral("monkey takes SECONDS and SEED"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!monkey->running) {
      monkey->running = true;
      monkey->random.seed(seed);
      monkey->actions = 0;
      monkey->endsAt = now + qint64(seconds) * 1000;
    }
    // The actions run from the event loop, not from inside this tick; while one waits, the
    // ticks that its waits let through come back here and find it still acting.
    // A window or popup menu is open (an action waits in it, or a timer's script opened it):
    // it is answered first, from the event loop it runs.
    if (QWidget* window = monkey->windowToAnswer()) {
      monkey->answering.emplace_back(window);
      QTimer::singleShot(0, &monkey->runner, [monkey, w = QPointer<QWidget>(window)] {
        if (w) monkey->actOn(w);
        std::erase_if(monkey->answering, [&w](const QPointer<QWidget>& a) { return a == w || !a; });
      });
      return Step::more();
    }
    if (monkey->acting || !monkey->answering.empty() || now < monkey->nextAt) return Step::more();
    if (now >= monkey->endsAt) {
      monkey->running = false;
      monkey->runner.log(QStringLiteral("monkey: %1 actions").arg(monkey->actions));
      return Step::done();
    }
    monkey->acting = true;
    QTimer::singleShot(0, &monkey->runner, [monkey] {
      monkey->act();
      monkey->acting = false;
      monkey->nextAt = QDateTime::currentMSecsSinceEpoch() + monkey->below(400);
    });
    return Step::more();
  });
}

}  // namespace storyloom
