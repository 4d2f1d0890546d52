#pragma once
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QTimer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <memory>

#include "game/game.h"
#include "support/test_support.h"

namespace storyloom::test {

// A project on disk with a game window loaded and reset, as Start leaves it before the
// first frame.
struct GameFixture {
  TempProject project;
  std::unique_ptr<Game> game;

  explicit GameFixture(const QString& initialFrame = QStringLiteral("Start")) { project.writeGeneral(initialFrame); }
  Game& start() {
    project.init();
    project.log.clear();
    game = std::make_unique<Game>(*project.module);
    game->Form_Load();
    game->ResetAll();
    return *game;
  }
  EditorAndGame& module() { return *project.module; }
  // A frame file of the given first line (and more lines when given).
  void frame(const QString& name, const QString& text) { project.write("Frames/" + name + ".fme", text); }
  QImage render() {
    QImage image(game->scene().sceneRect().size().toSize(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    game->scene().render(&p, QRectF(), game->scene().sceneRect());
    return image;
  }
};

// The next modal dialog that opens within two seconds is handed to `act` (which should
// close it).
inline void onNextDialog(std::function<void(QDialog&)> act) {
  auto* poll = new QTimer(qApp);
  QElapsedTimer since;
  since.start();
  QObject::connect(poll, &QTimer::timeout, poll, [poll, since, act = std::move(act)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog && since.elapsed() > 2000) poll->deleteLater();
    if (!dialog) return;
    poll->stop();
    poll->deleteLater();
    act(*dialog);
  });
  poll->start(5);
}

// Lets events run for about the given time.
inline void runEventsFor(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace storyloom::test
