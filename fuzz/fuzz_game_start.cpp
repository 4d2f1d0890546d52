// A whole game start on a copy of the demo in which the input replaces one project file,
// chosen by the first byte: the game window is made, loaded and reset, the new game starts
// at the initial frame, the frame that reads the file is opened and drawn, and all is
// destroyed.
#include <QImage>
#include <QPainter>

#include "fuzz_support.h"
#include "game/game.h"

namespace {

struct Replaced {
  const char* file;
  const char* frame;  // opened after the initial frame; nullptr: the initial frame only
};

const Replaced kFiles[] = {
    {"Config/General", nullptr},
    {"Config/Variables", nullptr},
    {"Config/Procedures", nullptr},
    {"Config/Texts", nullptr},
    {"Config/More", nullptr},
    {"Schemes/Classic/Scheme.txt", nullptr},
    {"Frames/Shore.fme", nullptr},
    {"Frames/Shore.lks", nullptr},
    {"FramesData/Shore.fm1", nullptr},
    {"Icons/Arrow.cur", nullptr},
    {"Frames/Boathouse.fme", "Boathouse"},
    {"FramesData/Boathouse.fm0", "Boathouse"},
    {"FramesData/Boathouse.fm2", "Boathouse"},
    {"FramesData/Boathouse.fm3", "Boathouse"},
    {"FramesData/Boathouse.fm4", "Boathouse"},
    {"Frames/Pier.chn", "Pier"},
    {"Frames/Harbour.rwe", "Harbour"},
    {"Frames/Harbour.rwm", "Harbour"},
    {"FramesData/Keeper.dlg", "Keeper"},
    {"FramesData/Lamproom.mr2", "Lamproom"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace storyloom;
  if (size < 1) return 0;
  fuzz::ensureApplication();
  static fuzz::DemoCopy* demo = new fuzz::DemoCopy;
  const Replaced& replaced = kFiles[data[0] % std::size(kFiles)];
  const QString file = QString::fromLatin1(replaced.file);
  demo->writeBytes(file, fuzz::inputBytes(data + 1, size - 1));
  if (demo->module->InitProject(demo->root()) == EditorAndGame::InitResult::EndProgram) {
    demo->restore(file);
    return 0;
  }
  {
    Game game(*demo->module);
    game.Form_Load();
    game.ResetAll();
    game.StartNewGame();
    if (replaced.frame) game.OpenFrame(QString::fromLatin1(replaced.frame), false, 0, 0);
    // What the player would see, drawn at a fixed size whatever size the project asks for.
    QImage seen(320, 240, QImage::Format_RGB32);
    QPainter painter(&seen);
    game.scene().render(&painter, QRectF(seen.rect()), game.scene().sceneRect());
  }
  fuzz::settleDeletions();
  demo->restore(file);
  return 0;
}
