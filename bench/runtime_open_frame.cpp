// OpenFrame of a 1024 x 768 JPEG frame with 30 texts, up to the picture painted on screen.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include "game/game.h"
#include "platform/message_boxes.h"
#include "platform/user_settings.h"
#include "shell/editor_and_game.h"

namespace {

using namespace storyloom;

void write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(bytes);
}

void BM_OpenFrameJpegWithThirtyTexts(benchmark::State& state) {
  QTemporaryDir dir;
  const QString root = dir.path();
  write(root + "/Config/General", "\"Bench\",\"\",\"Bench\",0,\"A\",\"1.0\",1024,768,\"\",\"\",\"\"\r\n");
  QDir().mkpath(root + "/Frames");
  QImage picture(1024, 768, QImage::Format_RGB32);
  {
    QPainter p(&picture);
    QLinearGradient g(0, 0, 1024, 768);
    g.setColorAt(0, Qt::darkBlue);
    g.setColorAt(1, Qt::yellow);
    p.fillRect(picture.rect(), g);
    for (int i = 0; i < 200; ++i)
      p.fillRect((i * 37) % 1000, (i * 53) % 740, 24, 24, QColor::fromHsv(i % 360, 200, 200));
  }
  picture.save(root + "/Frames/scene.jpg", "JPEG", 85);
  // Two frames on the same picture, opened in turn, so that each open is a real change.
  QByteArray texts;
  for (int i = 1; i <= 30; ++i)
    texts +=
        QString("\"T\",%1,,,,,,,,,\"Text number %1\",%2,%3,#FALSE#,#FALSE#,\"%4\",12,#FALSE#,#FALSE#,16777215,\"\"\r\n")
            .arg(i)
            .arg(300 + (i % 5) * 3000)
            .arg(300 + (i / 5) * 1500)
            .arg(i % 2 ? "Arial" : "Times New Roman")
            .toLatin1();
  for (const char* name : {"A", "B"}) {
    write(root + "/Frames/" + name + ".fme", "1,\"scene.jpg\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
    write(root + "/FramesData/" + name + ".fm1", texts);
  }
  MessageBoxes messages;
  QStringList shown;
  messages.setAutomatic([&](const QString& line) { shown << line; });
  UserSettings settings(root + "/user.ini");
  EditorAndGame module(messages, settings);
  module.InitProject(root);
  Game game(module);
  game.Form_Load();
  game.ResetAll();
  game.show();
  bool second = false;
  for (auto _ : state) {
    game.OpenFrame(second ? "B" : "A", false, 0, 0);
    game.PictureBox->viewport()->repaint();
    second = !second;
  }
  if (!shown.isEmpty()) state.SkipWithError(shown.first().toStdString().c_str());
}
BENCHMARK(BM_OpenFrameJpegWithThirtyTexts)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
